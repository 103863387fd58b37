// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvepainter.h"

#include "clipsegment.h"
#include "doc/criterion.h"
#include "doc/numtext.h"
#include "doc/tredoc.h"
#include "gdilines.h"
#include "rastertarget.h"
#include "textstamps.h"
#include "verdictpaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <utility>

namespace {

const QColor kEinColor = PaletteColour(CurveOnColour());
const QColor kAusColor = PaletteColour(CurveOffColour());
const QColor kDiffColor = PaletteColour(CurveDiffColour());
const QColor kAxisColor(0, 0, 0);
const QColor kCommentColor(128, 128, 128);
const QColor kCompareColor = PaletteColour(ComparisonCurveColour());

// Pixel coordinates from floating point, truncated toward zero. Values far
// outside the picture are held at a bound that still leaves room for the
// clipping arithmetic.
int TruncPixel(double v)
{
    constexpr double lim = 1 << 28;
    if (!(v > -lim)) return -(1 << 28); // also NaN
    if (v > lim) return 1 << 28;
    return static_cast<int>(v);
}

// The pane's texts: through the stamp cache when there is one, else drawn
// by the painter.
class CTexts {
public:
    CTexts(QPainter& p, const CRasterTarget& target, CTextStamps* stamps)
        : m_p(p)
        , m_target(target)
        , m_stamps(stamps)
    { }
    int Width(const QFont& font, const QFontMetrics& fm, const QString& s) const
    {
        return m_stamps ? m_stamps->Advance(font, s) : fm.horizontalAdvance(s);
    }
    // Text with its top-left, top-centre or top-right corner at (x, y).
    enum class EAlign { Left, Centre, Right };
    void At(const QFont& font, const QFontMetrics& fm, int x, int y, const QString& s, EAlign a) const
    {
        const int w = Width(font, fm, s);
        if (a == EAlign::Centre) x -= w / 2;
        else if (a == EAlign::Right) x -= w;
        if (m_stamps) m_stamps->Draw(m_p, m_target, font, s, x, y, fm.ascent(), CTextStamps::EDirection::Across);
        else m_p.drawText(x, y + fm.ascent(), s);
    }
    // Text running upwards from (x, y), its top at the right.
    void Upward(const QFont& font, const QFontMetrics& fm, int x, int y, const QString& s) const
    {
        if (m_stamps) {
            m_stamps->Draw(m_p, m_target, font, s, x, y, fm.ascent(), CTextStamps::EDirection::Upward);
            return;
        }
        m_p.save();
        m_p.translate(x, y);
        m_p.rotate(-90);
        m_p.drawText(0, fm.ascent(), s);
        m_p.restore();
    }

private:
    QPainter& m_p;
    const CRasterTarget& m_target;
    CTextStamps* m_stamps;
};

// The verdict's shades under the potential curves, over the plot's height
// inside the axes. Each span covers the pixel columns from its start to
// its end (a span narrower than a column keeps one), and the findings are
// laid over what is proven, so a single failing point never hides under
// its neighbours' shade.
void PaintShades(QPainter& p, const CCurveOverlay& o, int left, int top, int right, int bottom,
                 const std::function<int(double)>& mapX)
{
    p.save();
    p.setClipRect(QRect(QPoint(left + 1, top), QPoint(right, bottom - 1)), Qt::IntersectClip);
    for (const bool findings : {false, true}) {
        for (const SVerdictSpan& s : o.spans) {
            const bool finding = s.status != EVerdictStatus::Protected && s.status != EVerdictStatus::Protected100;
            if (finding != findings) continue;
            const int x1 = std::max(mapX(s.from), left + 1);
            const int x2 = std::min(std::max(mapX(s.to), mapX(s.from) + 1), right + 1);
            if (x2 <= x1) continue;
            PaintVerdictShade(p, QRect(x1, top, x2 - x1, bottom - top), s.status, kVerdictShadeAlpha);
        }
    }
    p.restore();
}

// The defects' triangles standing on the metre axis, each with its
// category ("I" ... "IV", "?" without one) above its tip.
void PaintMarks(QPainter& p, const CTexts& texts, const QFont& font, const CCurveOverlay& o, int64_t start, int64_t end,
                int bottom, const std::function<int(double)>& mapX)
{
    // Bold and black in a box framed in the mark's colour: a thin "I" in
    // orange was lost beside the curves.
    QFont bold(font);
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QPen pen = p.pen();
    const QColor mark = PaletteColour(DefectMarkColour());
    for (const CCurveOverlay::Mark& m : o.marks) {
        if (!(m.at >= static_cast<double>(start) && m.at <= static_cast<double>(end))) continue; // also NaN
        const int x = mapX(m.at);
        PaintDefectTriangle(p, x, bottom - 1);
        // The gradient peaks right above a defect: the label gets a clear
        // ground of its own.
        const QString label = DefectCategoryNumeral(m.category);
        const int w = texts.Width(bold, fm, label), y = bottom - 1 - kDefectMarkHeight - fm.height() - 1;
        const QRect box(x - w / 2 - 2, y - 1, w + 4, fm.height() + 1);
        p.fillRect(box, mark);
        p.fillRect(box.adjusted(1, 1, -1, 0), Qt::white);
        p.setPen(Qt::black);
        p.setFont(bold);
        texts.At(bold, fm, x, y, label, CTexts::EAlign::Centre);
    }
    p.setPen(pen);
    p.setFont(font);
}

// The rows of `doc` a window S..E shows: from the first row at or after S to
// one past the first later row at or after E; L is 0 when no row reaches S.
std::pair<int, int> RowsInWindow(const CTreDoc& doc, int64_t S, int64_t E)
{
    const int n = doc.GetRowCount();
    int L = 0;
    for (int r = 1; r <= n; ++r)
        if (doc.GetMeter(r) >= S) {
            L = r;
            break;
        }
    int R = n;
    if (L > 0) {
        for (int r = L + 1; r <= n; ++r)
            if (doc.GetMeter(r) >= E) {
                R = std::min(r + 1, n);
                break;
            }
    }
    return {L, R};
}

// The rows a window S..E shows when each is drawn at its own position (NaN:
// not drawn), in either direction along the rows: from the row before the
// first one inside to the row after the last one inside, or the two rows
// whose segment spans the whole window; L is 0 when nothing shows.
std::pair<int, int> RowsAtPositions(const std::vector<double>& pos, int64_t S, int64_t E)
{
    const int n = static_cast<int>(pos.size());
    const double lo = static_cast<double>(S), hi = static_cast<double>(E);
    int first = 0, last = 0;
    for (int r = 1; r <= n; ++r) {
        const double x = pos[static_cast<size_t>(r - 1)];
        if (!(x >= lo && x <= hi)) continue;
        if (!first) first = r;
        last = r;
    }
    if (first) return {std::max(1, first - 1), std::min(n, last + 1)};
    int before = 0; // the last drawn row
    for (int r = 1; r <= n; ++r) {
        const double x = pos[static_cast<size_t>(r - 1)];
        if (std::isnan(x)) continue;
        if (before) {
            const double y = pos[static_cast<size_t>(before - 1)];
            if (std::min(x, y) < lo && std::max(x, y) > hi) return {before, r};
        }
        before = r;
    }
    return {0, 0};
}

// The comparison survey's potential off through the same mapping and
// clipping as the document's curves. The painter's own dash pattern runs on
// along each unbroken piece, where a pattern restarted per segment would
// draw a solid line wherever the points lie a pixel apart.
// Rows L..R, each at metreOf(r) (NO_VALUE: a gap).
template <typename MetreOf, typename MapX, typename MapY>
void PaintComparison(QPainter& p, const CTreDoc& doc, bool native, const CClipRect& clip, int L, int R, MetreOf metreOf,
                     MapX mapX, MapY mapY)
{
    if (L == 0) return;
    p.save();
    // Its wider pen must not reach over the axes either.
    p.setClipRect(QRect(QPoint(clip.left, clip.top), QPoint(clip.right, clip.bottom)), Qt::IntersectClip);
    QPen pen(kCompareColor, kComparisonCurveWidth, native ? Qt::DashLine : Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPolygon piece;
    const auto flush = [&] {
        if (piece.size() >= 2) p.drawPolyline(piece);
        piece.clear();
    };
    CClipPoint prev{0, 0};
    bool gap = true;
    for (int r = L; r <= R; ++r) {
        const int32_t v = doc.GetPotOff(r), m = metreOf(r);
        const CClipPoint cur{mapX(m), mapY(IsPresent(v) ? -int64_t{v} : v)};
        if (!IsPresent(v) || !IsPresent(m)) {
            gap = true;
            prev = cur;
            continue;
        }
        const CClipResult c = ClipSegmentInside(prev, cur, clip);
        if (gap || (c.bPrevClipped && c.bThisClipped)) {
            flush();
            piece << QPoint(c.cur.x, c.cur.y);
        } else {
            if (piece.isEmpty() || piece.last() != QPoint(c.prev.x, c.prev.y)) {
                flush();
                piece << QPoint(c.prev.x, c.prev.y);
            }
            piece << QPoint(c.cur.x, c.cur.y);
        }
        if (c.bThisClipped) flush();
        gap = false;
        prev = cur;
    }
    flush();
    p.restore();
}

// The frame's mappings from metres and values to pixels, and where each
// row is drawn: at its chainage with pipeline data, else at its recorded
// metre; a row without a chainage is not drawn.
struct CPlot {
    const CTreDoc& doc;
    const CCurveFrame& f;
    const std::vector<double>* pos; // null: the recorded metres
    int64_t S, E, T, B;
    double xs, ys;

    int X(int64_t m) const { return TruncPixel(static_cast<double>(m - S) * xs + f.left); }
    int Metre(double m) const { return TruncPixel((m - static_cast<double>(S)) * xs + f.left); }
    int Y(int64_t v) const { return TruncPixel(f.bottom - static_cast<double>(v - B) * ys); }
    int RowX(int r) const { return pos ? Metre((*pos)[static_cast<size_t>(r - 1)]) : X(doc.GetMeter(r)); }
    bool Drawn(int r) const { return !pos || !std::isnan((*pos)[static_cast<size_t>(r - 1)]); }
    bool InWindow(int r) const
    {
        if (!pos) return doc.GetMeter(r) >= S && doc.GetMeter(r) <= E;
        const double at = (*pos)[static_cast<size_t>(r - 1)];
        return at >= static_cast<double>(S) && at <= static_cast<double>(E);
    }
};

// 1.-2. The x axis, its ticks and labels, each label only where it clears
// the last one; the axis says what it shows when that is the chainage, at
// its right end, where the labels give way to it.
void PaintMetreAxis(QPainter& p, CGdiLines& g, const CTexts& texts, const CPlot& pl)
{
    const CCurveFrame& f = pl.f;
    g.SetColor(kAxisColor);
    g.MoveTo(f.left, f.bottom);
    g.LineTo(f.right, f.bottom);
    p.setFont(f.axisFont);
    p.setPen(kAxisColor);
    const QFontMetrics afm(f.axisFont);
    const int labelY = f.bottom + static_cast<int>(13 * 0.25);
    const QString title = pl.pos ? QString::fromUtf8(kChainageAxisTitle) : QString();
    const int titleLeft = pl.pos ? f.right - texts.Width(f.axisFont, afm, title) : f.right + (1 << 20);
    if (f.nMeterLabelStep > 0) {
        bool first = true;
        int lastX = 0;
        // Ticks on whole label steps, wherever the window starts.
        const int64_t step = f.nMeterLabelStep, over = ((pl.S % step) + step) % step;
        for (int64_t m = over ? pl.S + step - over : pl.S; m <= pl.E; m += step) {
            const int x = pl.X(m);
            g.MoveTo(x, f.bottom + 3);
            g.LineTo(x, f.bottom - 3);
            const QString text = QString::fromStdString(tresnum::FormatInt(m, 0, true));
            const int w = texts.Width(f.axisFont, afm, text);
            if ((first || x + 2 >= lastX + w) && x + w / 2 + 4 < titleLeft) {
                texts.At(f.axisFont, afm, x, labelY, text, CTexts::EAlign::Centre);
                lastX = x;
                first = false;
            }
        }
    }
    if (pl.pos) texts.At(f.axisFont, afm, f.right, labelY, title, CTexts::EAlign::Right);
}

// 4. The curves of rows L..R.
void PaintRowCurves(CGdiLines& g, const CPlot& pl, int L, int R)
{
    const CCurveFrame& f = pl.f;
    const CClipRect clip{f.left, f.top, f.right, f.bottom};
    struct Curve {
        QColor color;
        int32_t (CTreDoc::*get)(int) const;
    };
    const Curve gradient[3]
        = {{kEinColor, &CTreDoc::GetGradOn}, {kAusColor, &CTreDoc::GetGradOff}, {kDiffColor, &CTreDoc::GetGradDiff}};
    const Curve potential[2] = {{kEinColor, &CTreDoc::GetPotOn}, {kAusColor, &CTreDoc::GetPotOff}};
    const Curve* curves = f.bGradient ? gradient : potential;
    const int curveCount = f.bGradient ? 3 : 2;
    const bool negate = !f.bGradient;
    for (int k = 0; k < curveCount; ++k) {
        g.SetColor(curves[k].color);
        CClipPoint prev{0, 0};
        bool gap = true;
        // A point's three-pixel mark (y - 1 .. y + 1) goes into a run on its
        // pixel column. The points after it that fall on the same column,
        // with nothing clipped, add only their vertical segments and marks
        // there, which together cover exactly the heights from the lowest
        // minus one to the highest plus one, all in this curve's colour:
        // so the column is drawn once as that run (a zoomed-out survey
        // puts dozens of points on one column).
        bool column = false;
        int colX = 0, colLo = 0, colHi = 0;
        const auto flushColumn = [&] {
            if (column) g.Column(colX, colLo - 1, colHi + 1);
            column = false;
        };
        for (int r = L; r <= R; ++r) {
            const int32_t v = (pl.doc.*curves[k].get)(r);
            const CClipPoint cur{pl.RowX(r), pl.Y(IsPresent(v) && negate ? -int64_t{v} : v)};
            if (!IsPresent(v) || !pl.Drawn(r)) {
                gap = true;
                prev = cur;
                continue;
            }
            const CClipResult c = ClipSegmentInside(prev, cur, clip);
            const bool unclipped = !gap && !c.bPrevClipped && !c.bThisClipped && c.prev == prev && c.cur == cur;
            if (f.bMergeColumns && unclipped && column && cur.x == colX && prev.x == colX) {
                colLo = std::min(colLo, cur.y);
                colHi = std::max(colHi, cur.y);
                prev = cur;
                continue;
            }
            flushColumn();
            if ((c.bPrevClipped && c.bThisClipped) || gap) {
                g.MoveTo(c.cur.x, c.cur.y);
            } else {
                g.MoveTo(c.prev.x, c.prev.y);
                g.LineTo(c.cur.x, c.cur.y);
            }
            if (!c.bThisClipped && f.bMergeColumns) {
                column = true;
                colX = cur.x;
                colLo = colHi = cur.y;
            } else if (!c.bThisClipped) {
                // the point mark: a three-pixel upright stroke
                g.MoveTo(cur.x, cur.y);
                g.LineTo(cur.x, cur.y + 1);
                g.LineTo(cur.x, cur.y - 2);
                g.MoveTo(cur.x, cur.y);
            }
            gap = false;
            prev = cur;
        }
        flushColumn();
    }
}

// 5. The comments of rows L..R, running upwards, from left to right (also
// where the chainage falls along the rows); one that would overlap the last
// written comment keeps only its dotted line, up to the plot's top.
void PaintComments(QPainter& p, CGdiLines& g, const CTexts& texts, const CPlot& pl, int L, int R)
{
    const CCurveFrame& f = pl.f;
    const QFontMetrics cfm(f.commentFont);
    p.setFont(f.commentFont);
    g.SetColor(kCommentColor);
    g.SetDotted(true);
    int lastPos = f.left;
    const int h = cfm.height();
    // A comment without its text draws the same dotted line as the one
    // before it when both sit on one pixel column with no text between.
    int lastLineX = 0;
    bool lastLineBare = false;
    int firstDrawn = L, lastDrawn = R;
    while (firstDrawn < lastDrawn && !pl.Drawn(firstDrawn)) ++firstDrawn;
    while (lastDrawn > firstDrawn && !pl.Drawn(lastDrawn)) --lastDrawn;
    const bool leftward = pl.pos && pl.RowX(lastDrawn) < pl.RowX(firstDrawn);
    for (int k = L; k <= R; ++k) {
        const int r = leftward ? L + R - k : k;
        if (!pl.doc.HasComment(r) || !pl.Drawn(r) || !pl.InWindow(r)) continue;
        const int x = pl.RowX(r);
        int len = 0;
        if (f.left < x && h + lastPos + 1 < x) {
            const QString text = QString::fromStdString(pl.doc.GetComment(r));
            len = texts.Width(f.commentFont, cfm, text);
            texts.Upward(f.commentFont, cfm, x - 5, f.top + len - 4, text);
            lastPos = x - 5;
        } else if (lastLineBare && lastLineX == x) {
            continue;
        }
        g.MoveTo(x, f.bottom);
        g.LineTo(x, f.top + len);
        lastLineX = x;
        lastLineBare = len == 0;
    }
    g.SetDotted(false);
}

// 6.-9. The y axis, the zero line, the criterion (potential pane) dashed -
// black as the survey states it, or in the palette's colours with the
// limiting potential as the verdict laid over the curves used them - and
// the y ticks and labels, each label only where it clears the last one.
void PaintValueAxis(QPainter& p, CGdiLines& g, const CTexts& texts, const CPlot& pl)
{
    const CCurveFrame& f = pl.f;
    const int64_t T = pl.T, B = pl.B;
    p.setFont(f.axisFont);
    g.SetColor(kAxisColor);
    g.MoveTo(f.left, f.bottom);
    g.LineTo(f.left, f.top);
    if (B < 0 && 0 < T) {
        const int y0 = pl.Y(0);
        g.MoveTo(f.left, y0);
        g.LineTo(f.right, y0);
    }
    if (!f.bGradient) {
        // Dashes in columns x0 .. x1 - 1, on the period that starts at the
        // plot's left edge.
        const auto dashedAt = [&](int64_t c, int x0 = INT_MIN, int x1 = INT_MAX) {
            const SDashes d = LineDashes(f.right - f.left);
            // A pane too narrow for one period has no room for dashes.
            if (!(B < c && c < T) || d.period <= 0) return;
            const int y = pl.Y(c);
            for (int x = f.left; x < f.right - d.dash; x += d.period) {
                const int a = std::max(x, x0), b = std::min(x + d.dash, x1);
                if (a >= b) continue;
                g.MoveTo(a, y);
                g.LineTo(b, y);
            }
        };
        // A section's own value over its range, joined to its neighbours by
        // an upright stroke at the step.
        const auto stepped = [&](const std::vector<trespipeline::SLimitRun>& runs) {
            const int lo = f.left + 1, hi = f.right;
            for (size_t i = 0; i < runs.size(); ++i) {
                const int x0 = std::max(pl.Metre(runs[i].from), lo), x1 = std::min(pl.Metre(runs[i].to), hi);
                if (x0 >= x1) continue;
                dashedAt(-int64_t{runs[i].mv}, x0, x1);
                if (i == 0 || runs[i - 1].mv == runs[i].mv || x0 <= lo) continue;
                const int y0 = std::clamp(pl.Y(-int64_t{runs[i - 1].mv}), f.top, f.bottom - 1);
                const int y1 = std::clamp(pl.Y(-int64_t{runs[i].mv}), f.top, f.bottom - 1);
                g.Column(x0, std::min(y0, y1), std::max(y0, y1));
            }
        };
        if (f.pOverlay && IsPresent(f.pOverlay->protection)) {
            const CCurveOverlay& o = *f.pOverlay;
            g.SetColor(PaletteColour(LimitLineColour()));
            if (!o.limitRuns.empty()) stepped(o.limitRuns);
            else if (IsPresent(o.limit)) dashedAt(-int64_t{o.limit});
            g.SetColor(PaletteColour(ProtectionLineColour()));
            if (!o.protectionRuns.empty()) stepped(o.protectionRuns);
            else dashedAt(-int64_t{o.protection});
            g.SetColor(kAxisColor);
        } else {
            dashedAt(-int64_t{SurveyProtectionCriterion(pl.doc).protection});
        }
    }
    if (f.nValueLabelStep > 0) {
        const QFontMetrics afm(f.axisFont);
        bool first = true;
        int lastY = 0;
        for (int64_t v = B; v <= T; v += f.nValueLabelStep) {
            const int y = pl.Y(v);
            g.MoveTo(f.left - 3, y);
            g.LineTo(f.left + 3, y);
            const QString text = f.bGradient
                                     ? QString::fromStdString(tresnum::FormatInt(v / 10, 6, true))
                                     : QString::fromStdString(tresnum::FormatFixed(static_cast<double>(-v) * 0.001, 2));
            if (first || y < lastY - afm.height()) {
                texts.At(f.axisFont, afm, f.left - 4, static_cast<int>(y - 13 * 0.4), text, CTexts::EAlign::Right);
                lastY = y;
                first = false;
            }
        }
    }
    // With the verdict over the curves the axis says what it shows, in the
    // plot's top left corner on a clear ground of its own.
    if (f.pOverlay) {
        const QFontMetrics afm(f.axisFont);
        const QString title = f.bGradient ? GradientAxisTitle() : PotentialAxisTitle(f.pOverlay->electrode);
        const int w = texts.Width(f.axisFont, afm, title);
        const QRect box(f.left + 2, f.top + 1, w + 4, afm.height());
        if (box.right() < f.right && box.bottom() < f.bottom) {
            p.fillRect(box, Qt::white);
            p.setPen(kAxisColor);
            texts.At(f.axisFont, afm, box.left() + 2, box.top(), title, CTexts::EAlign::Left);
        }
    }
}

} // namespace

QString PotentialAxisTitle(const std::string& electrode)
{
    QString t = QStringLiteral("Potential in V");
    if (!electrode.empty()) t += QStringLiteral(" (") + QString::fromStdString(electrode) + QLatin1Char(')');
    return t;
}

QString GradientAxisTitle() { return QStringLiteral("Gradient in mV"); }

void PaintCurves(QPainter& p, const CTreDoc& doc, const CCurveFrame& f)
{
    const int n = doc.GetRowCount();
    if (n <= 0 || f.nSpan <= 0 || f.nValueSpan <= 0) return;
    const std::vector<double>* pos
        = f.pPositions && f.pPositions->size() == static_cast<size_t>(n) ? f.pPositions : nullptr;
    const CPlot pl{doc,
                   f,
                   pos,
                   f.nStart,
                   f.nStart + f.nSpan,
                   f.nValueTop,
                   f.nValueTop - f.nValueSpan,
                   static_cast<double>(f.right - f.left) / f.nSpan,
                   static_cast<double>(f.bottom - f.top) / f.nValueSpan};
    const auto mapX = [&pl](int64_t m) { return pl.X(m); };
    const auto mapMetre = [&pl](double m) { return pl.Metre(m); };
    const auto mapY = [&pl](int64_t v) { return pl.Y(v); };

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setBackgroundMode(Qt::TransparentMode);
    const CRasterTarget target = CRasterTarget::Of(p);
    CGdiLines g(p, target);
    const CTexts texts(p, target, f.pStamps);

    PaintMetreAxis(p, g, texts, pl);

    // 3. the rows in the window
    const auto [L, R] = pos ? RowsAtPositions(*pos, pl.S, pl.E) : RowsInWindow(doc, pl.S, pl.E);

    // The verdict's shades lie under everything drawn from the rows.
    if (f.pOverlay && !f.bGradient) PaintShades(p, *f.pOverlay, f.left, f.top, f.right, f.bottom, mapMetre);

    // The comparison survey first, so the document's curves lie on top.
    if (!f.bGradient && f.pCompare) {
        const CClipRect clip{f.left, f.top, f.right, f.bottom};
        const CTreDoc& c = *f.pCompare;
        const std::vector<int32_t>* aligned = f.pCompareMetres;
        if (aligned && aligned->size() == static_cast<size_t>(c.GetRowCount())) {
            // Aligned metres need not rise with the rows: every row, the clipping keeps what shows.
            PaintComparison(
                p, c, f.bCompareNative, clip, c.GetRowCount() > 0 ? 1 : 0, c.GetRowCount(),
                [aligned](int r) { return (*aligned)[static_cast<size_t>(r - 1)]; }, mapX, mapY);
        } else {
            const auto [cl, cr] = RowsInWindow(c, pl.S, pl.E);
            PaintComparison(
                p, c, f.bCompareNative, clip, cl, cr, [&c](int r) { return c.GetMeter(r); }, mapX, mapY);
        }
    }

    if (!f.bGradient && f.pEarlier)
        PaintEarlierCurves(p, *f.pEarlier, QRect(QPoint(f.left, f.top), QPoint(f.right, f.bottom)),
                           static_cast<double>(pl.S), static_cast<double>(pl.E), mapMetre, mapY);

    if (L > 0) {
        PaintRowCurves(g, pl, L, R);
        PaintComments(p, g, texts, pl, L, R);
    }

    // The suspected defects' triangles stand over the curves.
    if (f.pOverlay && f.bGradient) PaintMarks(p, texts, f.axisFont, *f.pOverlay, pl.S, pl.E, f.bottom, mapMetre);

    PaintValueAxis(p, g, texts, pl);
}
