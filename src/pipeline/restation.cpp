// SPDX-License-Identifier: GPL-3.0-or-later
#include "restation.h"

#include "doc/commentkey.h"
#include "doc/tredoc.h"
#include "numbers.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_map>

namespace trespipeline {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

std::string Quoted(const std::string& s) { return "„" + s + "“"; }

std::string Named(const SFixpoint& fp, int row) { return Quoted(fp.name) + " (Zeile " + std::to_string(row) + ")"; }

// The rows naming each fixed point, in row order.
std::vector<std::vector<int>> RowsNaming(const CTreDoc& doc, const std::vector<SFixpoint>& fixpoints)
{
    std::unordered_map<std::string, size_t> byKey;
    for (size_t i = 0; i < fixpoints.size(); ++i) byKey.emplace(CommentKey(fixpoints[i].match), i);
    std::vector<std::vector<int>> rows(fixpoints.size());
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        if (!doc.HasComment(r)) continue;
        const auto it = byKey.find(CommentKey(doc.GetRow(r)->m_strComment.Str()));
        if (it != byKey.end()) rows[it->second].push_back(r);
    }
    return rows;
}

double Sign(double v) { return v < 0 ? -1.0 : 1.0; }

} // namespace

SRestation Restation(const CTreDoc& doc, const std::vector<SFixpoint>& fixpoints, double stretchTolerance)
{
    SRestation out;
    const std::vector<std::vector<int>> rows = RowsNaming(doc, fixpoints);
    std::vector<std::pair<int, size_t>> tieRows; // row, fixed point
    for (size_t i = 0; i < fixpoints.size(); ++i) {
        const SFixpoint& fp = fixpoints[i];
        if (rows[i].empty()) {
            out.unmatched.push_back(i);
            continue;
        }
        if (rows[i].size() > 1) {
            std::string list;
            for (int r : rows[i]) list += (list.empty() ? "" : ", ") + std::to_string(r);
            out.errors.push_back("Festpunkt " + Quoted(fp.name) + " (Merkmal " + std::to_string(fp.feature)
                                 + ") passt zu mehreren Zeilen: " + list);
            continue;
        }
        const int r = rows[i][0];
        if (!IsPresent(doc.GetMeter(r))) {
            out.warnings.push_back("Festpunkt " + Named(fp, r)
                                   + ": die Zeile hat keinen Meter; der Festpunkt wird nicht verwendet");
            continue;
        }
        tieRows.emplace_back(r, i);
    }
    std::sort(tieRows.begin(), tieRows.end());
    for (const auto& [r, i] : tieRows) out.ties.push_back({r, doc.GetMeter(r), i, fixpoints[i].chainage});

    if (out.errors.empty() && out.ties.empty())
        out.errors.push_back("Kein Festpunkt der Leitungsdaten passt zu einem Kommentar der Messung; die Stationierung "
                             "lässt sich nicht anpassen.");
    const double direction = out.ties.size() >= 2 ? Sign(out.ties[1].chainage - out.ties[0].chainage) : 1;
    bool implausible = false;
    for (size_t k = 0; k + 1 < out.ties.size(); ++k) {
        const STie &a = out.ties[k], &b = out.ties[k + 1];
        const std::string an = Named(fixpoints[a.fixpoint], a.row), bn = Named(fixpoints[b.fixpoint], b.row);
        if (a.metre == b.metre) {
            out.errors.push_back("Die Festpunkte " + an + " und " + bn + " haben denselben Meter "
                                 + std::to_string(a.metre) + "; die Stationierung lässt sich nicht anpassen.");
            continue;
        }
        if ((b.chainage - a.chainage) * direction <= 0) {
            out.errors.push_back("Die Stationen der Festpunkte sind in Zeilenfolge nicht streng monoton: " + an
                                 + " bei " + GermanNumber(a.chainage) + " m, danach " + bn + " bei "
                                 + GermanNumber(b.chainage) + " m.");
            continue;
        }
        const double f = (b.chainage - a.chainage) / (static_cast<double>(b.metre) - a.metre);
        out.factors.push_back(f);
        // A counter that drifts a few per cent never turns round nor halves
        // or doubles the way: such a factor is a counter set back to 0 or a
        // fixed point named at the wrong row, and re-stationing by it would
        // move findings by hundreds of metres. The first such pair refuses.
        const bool turned = Sign(f) != Sign(out.factors.front());
        if ((turned || std::fabs(f) < kMinStationingFactor || std::fabs(f) > kMaxStationingFactor) && !implausible) {
            implausible = true;
            out.errors.push_back("Zwischen " + an + " und " + bn + " ist der Stationierungsfaktor "
                                 + GermanSignedFixed(f, 3) + ": Zählerstand zurückgesetzt oder falscher Festpunkt?");
            continue;
        }
        // The bounds belong to the range: 0.94 is inside a tolerance of 0.06
        // however the binary fractions of both fall.
        if (std::fabs(std::fabs(f) - 1) > stretchTolerance + 1e-9)
            out.warnings.push_back("Zwischen " + an + " und " + bn + " ist der Maßstab " + GermanNumber(f, 4)
                                   + " (mehr als " + GermanNumber(stretchTolerance * 100, 2) + " % von 1 entfernt)");
    }
    for (size_t i : out.unmatched)
        out.warnings.push_back("Festpunkt " + Quoted(fixpoints[i].name) + " (Merkmal "
                               + std::to_string(fixpoints[i].feature)
                               + ") kommt in den Kommentaren der Messung nicht vor");
    out.ok = out.errors.empty();
    if (!out.ok) {
        out.factors.clear();
        return out;
    }

    const int n = doc.GetRowCount();
    out.chainage.assign(static_cast<size_t>(n), kNone);
    const size_t last = out.ties.size() - 1;
    const double before = out.factors.empty() ? 1 : Sign(out.factors.front());
    const double after = out.factors.empty() ? 1 : Sign(out.factors.back());
    size_t k = 0; // the tie at or before the row, once the first is passed
    for (int r = 1; r <= n; ++r) {
        while (k < last && out.ties[k + 1].row <= r) ++k;
        const int32_t m = doc.GetMeter(r);
        if (!IsPresent(m)) continue;
        const STie& t = out.ties[k];
        double s;
        if (r < out.ties[0].row) {
            s = t.chainage + (static_cast<double>(m) - t.metre) * before;
        } else if (k == last) {
            s = t.chainage + (static_cast<double>(m) - t.metre) * after;
        } else {
            // Multiplied before divided: the worked example's 100 * 205 / 200
            // is 102.5 exactly, where 100 * 1.025 is not.
            const STie& u = out.ties[k + 1];
            s = t.chainage
                + (static_cast<double>(m) - t.metre) * (u.chainage - t.chainage)
                      / (static_cast<double>(u.metre) - t.metre);
        }
        out.chainage[static_cast<size_t>(r - 1)] = RoundHalfAway(s, kChainageDecimals);
    }
    return out;
}

SWholeMetres RestationedMetres(const std::vector<double>& chainage)
{
    SWholeMetres out;
    out.metres.assign(chainage.size(), NO_VALUE);
    for (size_t i = 0; i < chainage.size(); ++i) {
        if (!HasChainage(chainage[i])) continue;
        const std::optional<int32_t> m = WholeMetre(chainage[i]);
        if (!m || !IsPresent(*m)) {
            out.badRow = static_cast<int>(i) + 1;
            return out;
        }
        out.metres[i] = *m;
    }
    return out;
}

SRestationPreview PreviewRestation(const CTreDoc& doc, const std::vector<double>& chainage)
{
    SRestationPreview p;
    p.whole = RestationedMetres(chainage);
    if (p.whole.badRow != 0) return p;
    const std::vector<int32_t>& metres = p.whole.metres;
    for (size_t i = 0; i < metres.size(); ++i) {
        // A row without a chainage keeps no metre: it is not counted as moved.
        if (!IsPresent(metres[i])) continue;
        const int32_t old = doc.GetMeter(static_cast<int>(i) + 1);
        if (metres[i] == old) continue;
        ++p.changed;
        if (const int64_t d = std::llabs(int64_t{metres[i]} - old); d > p.largest) {
            p.largest = d;
            p.largestRow = static_cast<int>(i) + 1;
        }
    }
    return p;
}

} // namespace trespipeline
