// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey.h"

#include "codepage.h"
#include "errorlimits.h"
#include "numtext.h"
#include "qmline.h"
#include "random.h"
#include "tredoc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace gensurvey {

namespace {

double Bell(double x, double center, double width)
{
    const double d = (x - center) / width;
    return std::exp(-0.5 * d * d);
}

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

enum class EEvent { Landmark, Defect, Gap };

// The order the features follow along the line; it repeats.
const EEvent kPattern[] = {
    EEvent::Landmark, EEvent::Defect,   EEvent::Landmark, EEvent::Gap,
    EEvent::Defect,   EEvent::Landmark, EEvent::Gap,      EEvent::Defect,
};

const char* const kLandmarks[] = {
    "Schieber",     "Bachdüker",  "Feldweg",  "Hausanschluss",      "Weidetor, Zaun", "Übergang Acker/Wiese",
    "Bahnübergang", "Entlüftung", "Waldrand", "Brücke Gemeindeweg",
};

enum class EGap { Road, RightWall, Interrupter };
const EGap kGaps[] = {EGap::Road, EGap::RightWall, EGap::Interrupter};
// The survey team's remark at the first row of each kind of gap.
const char kRoadRemark[] = "Straßenkreuzung";
const char kRightWallRemark[] = "Mauer rechts, nur links gemessen";
const char kInterrupterRemark[] = "Unterbrecher ausgefallen";

struct Sample {
    double on, off, gOnL, gOnR, gOffL, gOffR;
};

void AddComment(CTreDoc& doc, int r, const std::string& text)
{
    const std::string old = doc.GetComment(r);
    doc.SetComment(r, old.empty() ? text : old + ", " + text);
}

} // namespace

void BuildSurvey(CTreDoc& doc, const SurveyOptions& options)
{
    const int n = std::max(1, options.rows);
    const int spacing = std::max(1, options.spacing);
    CRandom rnd(options.seed);

    // The undisturbed line first; defects are added on top, gaps cut out.
    CWander potWander(rnd, 80), offWander(rnd, 25);
    CWander gradOnWander(rnd, 26), gradOffWander(rnd, 6), sideWander(rnd, 8);
    std::vector<Sample> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = static_cast<double>(i) * spacing;
        Sample& p = s[static_cast<size_t>(i)];
        p.on = Squash(-1200 + potWander.Next(x, rnd), -1200, 85);
        p.off = Squash(-950 + 0.3 * (p.on + 1200) + offWander.Next(x, rnd), -950, 42);
        const double gOn = std::max(12.0, 60 + gradOnWander.Next(x, rnd));
        const double side = sideWander.Next(x, rnd);
        p.gOnL = gOn + side;
        p.gOnR = gOn - side;
        const double gOff = 10 + gradOffWander.Next(x, rnd);
        p.gOffL = gOff + 0.2 * side;
        p.gOffR = gOff - 0.2 * side;
    }

    struct Defect {
        double center, onTop, offTop, potWidth, peak, gradWidth, otherSide, offShare;
        bool left;
    };
    struct Gap {
        int first, count;
        EGap kind;
    };
    std::vector<Defect> defects;
    std::vector<Gap> gaps;
    std::vector<std::pair<int, std::string>> comments;

    // Where the features go: one of each in a short survey so every kind can
    // be seen, otherwise the repeating pattern at irregular distances.
    const double length = static_cast<double>(n - 1) * spacing;
    std::vector<std::pair<double, EEvent>> events;
    if (n < 10) {
        // Too short for features: plain rows only.
    } else if (length < 400) {
        events = {{0.2 * length, EEvent::Landmark}, {0.45 * length, EEvent::Defect}, {0.75 * length, EEvent::Gap}};
    } else {
        size_t eventNo = 0;
        for (double pos = rnd.Uniform(60, 160); pos < length - 20; pos += rnd.Uniform(90, 210))
            events.emplace_back(pos, kPattern[eventNo++ % std::size(kPattern)]);
    }
    size_t landmarkNo = 0, gapNo = 0;
    for (const auto& [pos, event] : events) {
        const int i = std::clamp(Round(pos / spacing), 0, n - 1);
        switch (event) {
        case EEvent::Landmark: comments.emplace_back(i, kLandmarks[landmarkNo++ % std::size(kLandmarks)]); break;
        case EEvent::Defect:
            defects.push_back({pos, rnd.Uniform(-1080, -1010), // on at the centre, mV
                               rnd.Uniform(-890, -845),        // off at the centre, mV
                               rnd.Uniform(8, 22),             // potential funnel, m
                               rnd.Uniform(180, 720),          // gradient peak, 0.1 mV
                               rnd.Uniform(1.5, 4.0),          // gradient peak, m
                               rnd.Uniform(0.35, 0.8),         // share on the far side
                               rnd.Uniform(0.1, 0.2),          // off gradient share
                               rnd.Uniform() < 0.5});
            break;
        case EEvent::Gap: {
            const EGap kind = kGaps[gapNo++ % std::size(kGaps)];
            const int count = kind == EGap::RightWall ? rnd.Int(20, 40) : rnd.Int(5, 12);
            gaps.push_back({i, std::min(count, n - i), kind});
            break;
        }
        }
    }

    for (const Defect& d : defects) {
        const int c = std::clamp(Round(d.center / spacing), 0, n - 1);
        const double onRise = d.onTop - s[static_cast<size_t>(c)].on;
        const double offRise = d.offTop - s[static_cast<size_t>(c)].off;
        const int reach = static_cast<int>(4 * d.potWidth / spacing) + 1;
        for (int i = std::max(0, c - reach); i <= std::min(n - 1, c + reach); ++i) {
            const double x = static_cast<double>(i) * spacing;
            Sample& p = s[static_cast<size_t>(i)];
            const double bell = Bell(x, d.center, d.potWidth);
            p.on += std::max(0.0, onRise) * bell;
            p.off += std::max(0.0, offRise) * bell;
            const double g = d.peak * Bell(x, d.center, d.gradWidth);
            const double near = g, far = g * d.otherSide;
            p.gOnL += d.left ? near : far;
            p.gOnR += d.left ? far : near;
            p.gOffL += (d.left ? near : far) * d.offShare;
            p.gOffR += (d.left ? far : near) * d.offShare;
        }
    }

    // Into the document, the way the table editor fills it.
    doc.OnNewDocument();
    for (int r = 2; r <= n; ++r) doc.InsertRowAfter(r - 1);
    for (int i = 0; i < n; ++i) {
        const int r = i + 1;
        const Sample& p = s[static_cast<size_t>(i)];
        doc.SetMeter(r, options.startMeter + i * spacing);
        doc.SetPotOn(r, Round(p.on + rnd.Noise(3)));
        doc.SetPotOff(r, Round(p.off + rnd.Noise(2)));
        doc.SetGradOnL(r, Round(p.gOnL + rnd.Noise(4)));
        doc.SetGradOnR(r, Round(p.gOnR + rnd.Noise(4)));
        doc.SetGradOffL(r, Round(p.gOffL + rnd.Noise(2)));
        doc.SetGradOffR(r, Round(p.gOffR + rnd.Noise(2)));
    }
    for (const Gap& g : gaps) {
        for (int r = g.first + 1; r <= g.first + g.count; ++r) {
            switch (g.kind) {
            case EGap::Road: // asphalt: no contact to the soil at all
                doc.SetPotOn(r, NO_VALUE);
                doc.SetPotOff(r, NO_VALUE);
                [[fallthrough]];
            case EGap::RightWall:
                doc.SetGradOnR(r, NO_VALUE);
                doc.SetGradOffR(r, NO_VALUE);
                if (g.kind == EGap::RightWall) break;
                doc.SetGradOnL(r, NO_VALUE);
                doc.SetGradOffL(r, NO_VALUE);
                break;
            case EGap::Interrupter: // the current was not switched: no off values
                doc.SetPotOff(r, NO_VALUE);
                doc.SetGradOffL(r, NO_VALUE);
                doc.SetGradOffR(r, NO_VALUE);
                break;
            }
        }
        const int r = g.first + 1;
        switch (g.kind) {
        case EGap::Road: AddComment(doc, r, kRoadRemark); break;
        case EGap::RightWall: AddComment(doc, r, kRightWallRemark); break;
        case EGap::Interrupter: AddComment(doc, r, kInterrupterRemark); break;
        }
    }
    for (const auto& [i, text] : comments) AddComment(doc, i + 1, text);
    // Test posts every 500 m, numbered on from the previous section.
    for (int i = 0; i < n; ++i) {
        const int m = options.startMeter + i * spacing;
        if (m % 500 == 0) AddComment(doc, i + 1, "Prüfstelle " + tresnum::FormatInt(10 + m / 500));
    }
    if (n > 1) AddComment(doc, n, "Isolierstück");

    doc.m_header[1] = "12.05.2025";
    doc.m_header[2] = "-850 mV";
    doc.m_header[3] = "Gasleitung Mühlbach - Oberried DN 300";
    doc.m_header[4] = "L 4712/03";
    doc.m_header[5] = tresnum::FormatInt(doc.GetMeter(1));
    doc.m_header[6] = tresnum::FormatInt(doc.GetMeter(n));
    doc.m_header[7] = "Intensivmessung nach Umlegung, Boden feucht";

    // The handheld's QM data; entries 2 to 4 appear on the printouts.
    doc.m_qm[2] = "TF-12 Nr. 3318";
    doc.m_qm[3] = "Bezugselektrode Cu/CuSO4 E-27";
    doc.m_qm[4] = "Messtrupp 2";
    doc.m_qm[5] = "Schaltzyklus 12 s / 3 s";
    doc.m_qm[6] = "Intervall " + tresnum::FormatInt(spacing) + " m";
    doc.m_qm[7] = "12.05.25";
    doc.m_qm[8] = "TS 3.018";
    doc.m_qm[9] = "Gleichrichter GR 4 in Betrieb";

    // Windows that single out the defects: off potential less negative than
    // -0.90 V together with a mean gradient on of 15 mV or more. The
    // left/right pairs take no part in the test but belong to a full file.
    doc.m_limits[POTA] = -900;
    doc.m_limits[POTA + 12] = -400;
    doc.m_limits[UEIN] = 1000;
    doc.m_limits[UEIN + 12] = 150;
    doc.m_limits[UEINL] = 1000;
    doc.m_limits[UEINL + 12] = 150;
    doc.m_limits[UEINR] = 1000;
    doc.m_limits[UEINR + 12] = 150;
}

bool IsGapRemark(const std::string& comment)
{
    return comment == kRoadRemark || comment == kRightWallRemark || comment == kInterrupterRemark;
}

std::string OlderLayoutText(const CTreDoc& doc, uint32_t seed)
{
    std::string head;
    for (int i = 1; i <= 7; ++i) head += doc.m_header[static_cast<size_t>(i)] + "\r\n";
    head += "\r\n\r\n";
    std::string out = tresdoc::Utf8ToCp850(head);
    std::minstd_rand rng(seed == 0 ? 1 : seed);
    // The generator's own QM entries are plain text, which always encodes.
    out += tresdoc::EncodeQmLine(doc.m_qm, rng).value();
    out += "\r\n";

    auto pot = [](int32_t mv) { return IsPresent(mv) ? tresnum::VoltsText(mv, 5) : std::string(); };
    auto grad = [](int32_t tenths) { return IsPresent(tenths) ? tresnum::FormatInt(tenths / 10) : std::string(); };
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        out += tresnum::FormatInt(doc.GetMeter(r)) + ";" + pot(doc.GetPotOn(r)) + ";" + pot(doc.GetPotOff(r)) + ";"
               + grad(doc.GetGradOnL(r)) + ";" + grad(doc.GetGradOffL(r)) + ";" + grad(doc.GetGradOnR(r)) + ";"
               + grad(doc.GetGradOffR(r)) + ";" + tresdoc::Utf8ToCp850(doc.GetComment(r)) + "\r\n";
    }
    return out;
}

void BuildDenseFailures(CTreDoc& doc, int rows)
{
    doc.OnNewDocument();
    doc.DeleteRows(1, doc.GetRowCount());
    for (int r = 1; r <= rows; ++r) {
        doc.InsertRowAfter(r - 1);
        const bool odd = r % 2 == 1;
        doc.SetMeter(r, r * 2);
        doc.SetPotOn(r, odd ? -1400 : -1000);
        doc.SetPotOff(r, odd ? -700 : -1250);
        doc.SetGradOnL(r, odd ? 120 : 20);
        doc.SetGradOffL(r, 30);
        if (r % 10 == 0) doc.SetComment(r, "Mast " + std::to_string(r));
    }
}

} // namespace gensurvey
