#include "treprintview.h"

#include "clipsegment.h"
#include "gdilines.h"
#include "numtext.h"
#include "tredoc.h"
#include "zoombutton.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor kEinColor(0, 0, 255);
const QColor kAusColor(255, 0, 0);
const QColor kDiffColor(0, 255, 0);
const QColor kAxisColor(0, 0, 0);
const QColor kCommentColor(128, 128, 128);

// The pane's fonts are asked for by cell height (ascent + descent + leading)
// as the curve layout counts in cell heights; the face is Arial or whatever
// the system puts in its place, drawn without smoothing so that the picture
// is the same pixel for pixel everywhere.
QFont FontByCellHeight(int cellHeight)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setWeight(QFont::Normal);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferOutline));
    int best = 1;
    for (int px = 1; px <= cellHeight; ++px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).height() <= cellHeight) best = px;
    }
    f.setPixelSize(best);
    return f;
}

// Pixel coordinates from floating point, truncated toward zero. Values far
// outside the picture are held at a bound that still leaves room for the
// clipping arithmetic.
int TruncPixel(double v)
{
    constexpr double lim = 1 << 28;
    if (!(v > -lim)) return -(1 << 28);   // also NaN
    if (v > lim) return 1 << 28;
    return static_cast<int>(v);
}

int ClampScroll(int pos, int max, int page)
{
    const int hi = std::max(0, page > 0 ? max - page + 1 : max);
    return std::clamp(pos, 0, hi);
}

int64_t Snap(int64_t pos, int step) { return step > 0 ? step * (pos / step) : pos; }

// Text drawn with its top-left, top-centre or top-right corner at (x, y).
enum class EAlign { Left, Centre, Right };
void TextAt(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& s, EAlign a)
{
    const int w = fm.horizontalAdvance(s);
    if (a == EAlign::Centre) x -= w / 2;
    else if (a == EAlign::Right) x -= w;
    p.drawText(x, y + fm.ascent(), s);
}

} // namespace

CTrePrintView::CTrePrintView(CTreDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setAttribute(Qt::WA_OpaquePaintEvent);   // the pane paints every pixel itself
    setMinimumSize(0, 0);
}

CTrePrintView::~CTrePrintView() = default;

void CTrePrintView::CreateResources()
{
    m_pHScroll = new QScrollBar(Qt::Horizontal, this);
    m_pVScroll = new QScrollBar(Qt::Vertical, this);
    m_pHScroll->setObjectName(QString::number(IdHScroll));
    m_pVScroll->setObjectName(QString::number(IdVScroll));
    for (QScrollBar* sb : {m_pHScroll, m_pVScroll}) {
        sb->setRange(0, 100);
        sb->setFocusPolicy(Qt::NoFocus);
        sb->hide();
    }
    // The scroll bar's own movement is replaced by the pane's rules: the
    // pane sets the position inside the action, before the bar applies it.
    connect(m_pHScroll, &QAbstractSlider::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub: OnHScroll(EScroll::LineUp); break;
        case QAbstractSlider::SliderSingleStepAdd: OnHScroll(EScroll::LineDown); break;
        case QAbstractSlider::SliderPageStepSub: OnHScroll(EScroll::PageUp); break;
        case QAbstractSlider::SliderPageStepAdd: OnHScroll(EScroll::PageDown); break;
        case QAbstractSlider::SliderMove: OnHScroll(EScroll::ThumbTrack, m_pHScroll->sliderPosition()); break;
        default: OnHScroll(EScroll::Top); break;
        }
    });
    connect(m_pVScroll, &QAbstractSlider::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub: OnVScroll(EScroll::LineUp); break;
        case QAbstractSlider::SliderSingleStepAdd: OnVScroll(EScroll::LineDown); break;
        case QAbstractSlider::SliderPageStepSub: OnVScroll(EScroll::PageUp); break;
        case QAbstractSlider::SliderPageStepAdd: OnVScroll(EScroll::PageDown); break;
        case QAbstractSlider::SliderMove: OnVScroll(EScroll::ThumbTrack, m_pVScroll->sliderPosition()); break;
        default: OnVScroll(EScroll::Top); break;
        }
    });

    const struct { EControlId id; CZoomButton::EGlyph glyph; void (CTrePrintView::*slot)(); } buttons[4] = {
        {IdMeterZoomIn, CZoomButton::EGlyph::Plus, &CTrePrintView::OnMeterZoomIn},
        {IdMeterZoomOut, CZoomButton::EGlyph::Minus, &CTrePrintView::OnMeterZoomOut},
        {IdValueZoomIn, CZoomButton::EGlyph::Plus, &CTrePrintView::OnValueZoomIn},
        {IdValueZoomOut, CZoomButton::EGlyph::Minus, &CTrePrintView::OnValueZoomOut},
    };
    for (int i = 0; i < 4; ++i) {
        auto* b = new CZoomButton(buttons[i].glyph, this);
        b->setObjectName(QString::number(buttons[i].id));
        b->hide();
        connect(b, &QAbstractButton::clicked, this, buttons[i].slot);
        m_pButtons[i] = b;
    }
    m_axisFont = FontByCellHeight(13);
    m_bResources = true;
}

CZoomButton* CTrePrintView::Button(EControlId id) const
{
    const int i = id - IdMeterZoomIn;
    return i >= 0 && i < 4 ? m_pButtons[i] : nullptr;
}

QFont CTrePrintView::CommentFont() const { return FontByCellHeight(10); }

void CTrePrintView::OnInitialUpdate()
{
    if (!m_bResources) CreateResources();
    m_nKind = m_doc.NextViewNumber();
    if (m_doc.GetRowCount() > 0) {
        FitMeterWindow();
        SetInitialVerticalState();
    }
    if (!m_bLogosLoaded) LoadLogos();
    EnsureBacking();
    update();
}

void CTrePrintView::LoadLogos()
{
    m_bTableLogo = m_tableLogo.load(QStringLiteral("tabelle.bmp"));
    m_bPlotLogo = m_plotLogo.load(QStringLiteral("plot.bmp"));
    m_bLogosLoaded = true;
}

void CTrePrintView::EnsureBacking()
{
    // At least 1024 x 768, and as large as the window when it is larger, so
    // that a large screen is covered too.
    const int w = std::max(kBackingWidth, width());
    const int h = std::max(kBackingHeight, height());
    if (m_backing.width() < w || m_backing.height() < h) {
        m_backing = QImage(std::max(w, m_backing.width()), std::max(h, m_backing.height()), QImage::Format_RGB32);
        m_backing.fill(palette().color(QPalette::Base));
    }
}

void CTrePrintView::FitMeterWindow()
{
    const int n = m_doc.GetRowCount();
    if (n <= 0) return;
    const int64_t first = m_doc.GetMeter(1);
    const int64_t last = m_doc.GetMeter(n);
    const CZoomStep current{m_doc.m_nMeterSpan, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep,
                            m_doc.m_nMeterLabelStep};
    CZoomStep z = SnapMeterSpan(last - first, current);
    // A first fit of a survey longer than the largest zoom row keeps the
    // document's steps, which are still 0 then; without a label step the
    // start is not rounded rather than divided by zero.
    m_nFittedStart = static_cast<int>(z.nLabelStep > 0 ? z.nLabelStep * (first / z.nLabelStep) : first);
    m_nHPos = 0;
    m_doc.m_nMeterScrollPos = 0;
    m_nHMax = z.nSpan / 10;
    if (z.nSpan > 1000) z = SnapMeterSpan(1000, z);
    m_doc.m_nMeterSpan = z.nSpan;
    m_doc.m_nMeterLineStep = z.nLineStep;
    m_doc.m_nMeterPageStep = z.nPageStep;
    m_doc.m_nMeterLabelStep = z.nLabelStep;
    m_doc.m_nMeterPageSize = z.nSpan / 10 + 1;
    if (IsGradientPane()) m_doc.m_bRefitGrad = false;
    else m_doc.m_bRefitPot = false;
    SyncHScrollBar();
}

void CTrePrintView::SetInitialVerticalState()
{
    const CZoomStep none{};
    if (IsGradientPane()) {
        m_nTopAtZero = 15000;
        m_nVMax = 25000;   // wider than the value table: not snapped
        m_nVPos = 13000;
    } else {
        m_nTopAtZero = 10000;
        m_nVMax = SnapValueSpan(15000, none).nSpan;
        m_nVPos = 8000;
    }
    m_value = SnapValueSpan(2000, none);
    m_nVPage = m_value.nSpan + 1;
    m_nVPos = ClampV(m_nVPos);
    SyncVScrollBar();
}

int CTrePrintView::ClampH(int pos) const { return ClampScroll(pos, m_nHMax, m_doc.m_nMeterPageSize); }
int CTrePrintView::ClampV(int pos) const { return ClampScroll(pos, m_nVMax, m_nVPage); }

void CTrePrintView::SyncHScrollBar()
{
    m_nHPos = ClampH(m_doc.m_nMeterScrollPos);
    if (!m_pHScroll) return;
    const QSignalBlocker block(m_pHScroll);
    const int page = std::max(0, m_doc.m_nMeterPageSize);
    m_pHScroll->setRange(0, std::max(0, m_nHMax - page + 1));
    m_pHScroll->setPageStep(std::max(1, page));
    m_pHScroll->setSingleStep(std::max(1, m_doc.m_nMeterLineStep));
    m_pHScroll->setValue(m_nHPos);
}

void CTrePrintView::SyncVScrollBar()
{
    if (!m_pVScroll) return;
    const QSignalBlocker block(m_pVScroll);
    m_pVScroll->setRange(0, std::max(0, m_nVMax - m_nVPage + 1));
    m_pVScroll->setPageStep(std::max(1, m_nVPage));
    m_pVScroll->setSingleStep(std::max(1, m_value.nLineStep));
    m_pVScroll->setValue(m_nVPos);
}

// ---- zooming -------------------------------------------------------------

void CTrePrintView::OnMeterZoomIn()
{
    const CZoomStep current{m_doc.m_nMeterSpan, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep,
                            m_doc.m_nMeterLabelStep};
    const CZoomStep z = SnapMeterSpan(ZoomInRequest(current.nSpan), current);
    m_doc.m_nMeterSpan = z.nSpan;
    m_doc.m_nMeterLineStep = z.nLineStep;
    m_doc.m_nMeterPageStep = z.nPageStep;
    m_doc.m_nMeterLabelStep = z.nLabelStep;
    m_nHPos = static_cast<int>(Snap(m_nHPos, z.nLineStep));
    m_doc.m_nMeterScrollPos = m_nHPos;
    m_doc.m_nMeterPageSize = z.nSpan / 10 + 1;
    SyncHScrollBar();
    m_doc.InvalidateCurveViews();
    update();
}

void CTrePrintView::OnMeterZoomOut()
{
    const CZoomStep current{m_doc.m_nMeterSpan, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep,
                            m_doc.m_nMeterLabelStep};
    const CZoomStep z = SnapMeterSpan(ZoomOutRequest(current.nSpan), current);
    m_doc.m_nMeterSpan = z.nSpan;
    m_doc.m_nMeterLineStep = z.nLineStep;
    m_doc.m_nMeterPageStep = z.nPageStep;
    m_doc.m_nMeterLabelStep = z.nLabelStep;
    m_doc.m_nMeterPageSize = z.nSpan / 10 + 1;
    SyncHScrollBar();
    m_doc.InvalidateCurveViews();
    update();
}

void CTrePrintView::OnValueZoomIn()
{
    m_value = SnapValueSpan(ZoomInRequest(m_value.nSpan), m_value);
    m_nVPos = static_cast<int>(Snap(m_nVPos, m_value.nLineStep));
    m_nVPage = m_value.nSpan + 1;
    m_nVPos = ClampV(m_nVPos);
    SyncVScrollBar();
    update();
}

void CTrePrintView::OnValueZoomOut()
{
    m_value = SnapValueSpan(ZoomOutRequest(m_value.nSpan), m_value);
    m_nVPos = static_cast<int>(Snap(m_nVPos, m_value.nLineStep));
    m_nVPage = m_value.nSpan + 1;
    m_nVPos = ClampV(m_nVPos);
    SyncVScrollBar();
    update();
}

// ---- scrolling -----------------------------------------------------------

namespace {

int64_t ScrollTarget(CTrePrintView::EScroll code, int64_t pos, int line, int page, int thumb)
{
    using E = CTrePrintView::EScroll;
    switch (code) {
    case E::LineUp: return pos - line;
    case E::LineDown: return pos + line;
    case E::PageUp: return pos - page;
    case E::PageDown: return pos + page;
    case E::ThumbTrack: return Snap(thumb, line);
    default: return pos;
    }
}

int ToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

void CTrePrintView::OnHScroll(EScroll code, int thumb)
{
    m_nHPos = ClampH(ToInt(ScrollTarget(code, m_nHPos, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep, thumb)));
    m_doc.m_nMeterScrollPos = m_nHPos;
    SyncHScrollBar();
    m_doc.InvalidateCurveViews();
    update();
}

void CTrePrintView::OnVScroll(EScroll code, int thumb)
{
    m_nVPos = ClampV(ToInt(ScrollTarget(code, m_nVPos, m_value.nLineStep, m_value.nPageStep, thumb)));
    SyncVScrollBar();
    update();
}

// ---- layout and painting ---------------------------------------------------

int CTrePrintView::PlotRight() const { return width() - 35; }

int CTrePrintView::PlotBottom() const { return static_cast<int>(height() - 1.5 * 13 - 13); }

QRect CTrePrintView::PlotRect() const
{
    return QRect(QPoint(PlotLeft(), PlotTop()), QPoint(PlotRight(), PlotBottom()));
}

void CTrePrintView::LayoutControls(bool withRows)
{
    if (!m_bResources) return;
    QWidget* controls[6] = {m_pHScroll, m_pVScroll, m_pButtons[0], m_pButtons[1], m_pButtons[2], m_pButtons[3]};
    if (!withRows) {
        for (QWidget* w : controls) w->hide();
        return;
    }
    const int w = width();
    const int h = height();
    m_pHScroll->setGeometry(kBar, h - kBar, std::max(0, w - 39), kBar);
    m_pVScroll->setGeometry(0, 26, kBar, std::max(0, h - 39));
    Button(IdMeterZoomOut)->move(w - 26, h - kBar);
    Button(IdMeterZoomIn)->move(w - kBar, h - kBar);
    Button(IdValueZoomIn)->move(0, 0);
    Button(IdValueZoomOut)->move(0, kBar);
    for (QWidget* c : controls) c->show();
}

void CTrePrintView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    EnsureBacking();
    LayoutControls(m_doc.GetRowCount() > 0 && m_nKind != 0);
}

void CTrePrintView::ComposeBacking(const QRect& box)
{
    EnsureBacking();
    const QRect area = box.intersected(m_backing.rect());
    if (area.isEmpty()) return;
    QPainter p(&m_backing);
    p.setClipRect(area);
    p.fillRect(area, palette().color(QPalette::Base));
    Draw(p);
}

void CTrePrintView::paintEvent(QPaintEvent* event)
{
    // The picture sits 13 pixels right of the backing image's origin, so the
    // part of the image that lands on the dirty box is composed and copied
    // in one block; the scroll bar column and row are left to the bars.
    const QRect box = event->rect();
    const QRect source = box.translated(-kBar, 0) & QRect(0, 0, width(), height() - kBar);
    ComposeBacking(source);
    QPainter wp(this);
    if (!source.isEmpty()) wp.drawImage(source.translated(kBar, 0), m_backing, source);
    const QColor base = palette().color(QPalette::Base);
    wp.fillRect(QRect(0, 0, kBar, height()) & box, base);
    wp.fillRect(QRect(0, height() - kBar, width(), kBar) & box, base);
}

void CTrePrintView::Draw(QPainter& p)
{
    const int n = m_doc.GetRowCount();
    if (n <= 0 || m_nKind == 0) {
        LayoutControls(false);
        return;
    }
    const bool refit = IsGradientPane() ? m_doc.m_bRefitGrad : m_doc.m_bRefitPot;
    if (refit || m_doc.m_nMeterSpan <= 0) FitMeterWindow();
    LayoutControls(true);
    SyncHScrollBar();

    const int left = PlotLeft();
    const int top = PlotTop();
    const int right = PlotRight();
    const int bottom = PlotBottom();
    const CClipRect clip{left, top, right, bottom};

    const int span = m_doc.m_nMeterSpan;
    const int line10 = m_doc.m_nMeterLineStep * 10;
    const int64_t raw = int64_t{m_nFittedStart} + int64_t{m_nHPos} * 10;
    const int64_t S = line10 > 0 ? raw / line10 * line10 : raw;
    const int64_t E = S + span;
    const int64_t T = int64_t{m_nTopAtZero} - m_nVPos;
    const int64_t B = T - m_value.nSpan;
    if (span <= 0 || m_value.nSpan <= 0) return;
    const double xs = static_cast<double>(right - left) / span;
    const double ys = static_cast<double>(bottom - top) / m_value.nSpan;
    auto mapX = [&](int64_t m) { return TruncPixel(static_cast<double>(m - S) * xs + left); };
    auto mapY = [&](int64_t v) { return TruncPixel(bottom - static_cast<double>(v - B) * ys); };

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setBackgroundMode(Qt::TransparentMode);
    CGdiLines g(p);

    // 1. x axis
    g.SetColor(kAxisColor);
    g.MoveTo(left, bottom);
    g.LineTo(right, bottom);

    // 2. x ticks and labels, each label only where it clears the last one
    p.setFont(m_axisFont);
    p.setPen(kAxisColor);
    const QFontMetrics afm(m_axisFont);
    const int labelStep = m_doc.m_nMeterLabelStep;
    if (labelStep > 0) {
        bool first = true;
        int lastX = 0;
        for (int64_t m = S; m <= E; m += labelStep) {
            const int x = mapX(m);
            g.MoveTo(x, bottom + 3);
            g.LineTo(x, bottom - 3);
            const QString text = QString::fromStdString(tresnum::FormatInt(m, 0, true));
            const int w = afm.horizontalAdvance(text);
            if (first || x + 2 >= lastX + w) {
                TextAt(p, afm, x, bottom + static_cast<int>(13 * 0.25), text, EAlign::Centre);
                lastX = x;
                first = false;
            }
        }
    }

    // 3. the rows in the window: from the first row at or after S to one
    // past the first later row at or after E
    int L = 0;
    for (int r = 1; r <= n; ++r)
        if (m_doc.GetMeter(r) >= S) { L = r; break; }
    int R = n;
    if (L > 0) {
        for (int r = L + 1; r <= n; ++r)
            if (m_doc.GetMeter(r) >= E) { R = std::min(r + 1, n); break; }
    }

    if (L > 0) {
        // 4. curves
        struct Curve { QColor color; int32_t (CTreDoc::*get)(int) const; };
        const Curve gradient[3] = {{kEinColor, &CTreDoc::GetGradOn},
                                   {kAusColor, &CTreDoc::GetGradOff},
                                   {kDiffColor, &CTreDoc::GetGradDiff}};
        const Curve potential[2] = {{kEinColor, &CTreDoc::GetPotOn}, {kAusColor, &CTreDoc::GetPotOff}};
        const Curve* curves = IsGradientPane() ? gradient : potential;
        const int curveCount = IsGradientPane() ? 3 : 2;
        const bool negate = !IsGradientPane();
        for (int k = 0; k < curveCount; ++k) {
            g.SetColor(curves[k].color);
            CClipPoint prev{0, 0};
            bool gap = true;
            for (int r = L; r <= R; ++r) {
                const int32_t v = (m_doc.*curves[k].get)(r);
                const CClipPoint cur{mapX(m_doc.GetMeter(r)), mapY(IsPresent(v) && negate ? -int64_t{v} : v)};
                if (!IsPresent(v)) {
                    gap = true;
                    prev = cur;
                    continue;
                }
                const CClipResult c = ClipSegment(prev, cur, clip);
                if ((c.bPrevClipped && c.bThisClipped) || gap) {
                    g.MoveTo(c.cur.x, c.cur.y);
                } else {
                    g.MoveTo(c.prev.x, c.prev.y);
                    g.LineTo(c.cur.x, c.cur.y);
                }
                if (!c.bThisClipped) {
                    // the point mark: a three-pixel upright stroke
                    g.MoveTo(cur.x, cur.y);
                    g.LineTo(cur.x, cur.y + 1);
                    g.LineTo(cur.x, cur.y - 2);
                    g.MoveTo(cur.x, cur.y);
                }
                gap = false;
                prev = cur;
            }
        }

        // 5. comments, running upwards; one that would overlap the last
        // written comment keeps only its dotted line, up to the plot's top
        const QFont cfont = CommentFont();
        const QFontMetrics cfm(cfont);
        p.setFont(cfont);
        g.SetColor(kCommentColor);
        g.SetDotted(true);
        int lastPos = left;
        for (int r = L; r <= R; ++r) {
            const std::string comment = m_doc.GetComment(r);
            const int64_t m = m_doc.GetMeter(r);
            if (comment.empty() || m < S || m > E) continue;
            const int x = mapX(m);
            const QString text = QString::fromStdString(comment);
            int len = cfm.horizontalAdvance(text);
            const int h = cfm.height();
            if (left < x && h + lastPos + 1 < x) {
                p.save();
                p.translate(x - 5, top + len - 4);
                p.rotate(-90);
                p.drawText(0, cfm.ascent(), text);
                p.restore();
                lastPos = x - 5;
            } else {
                len = 0;
            }
            g.MoveTo(x, bottom);
            g.LineTo(x, top + len);
        }
        g.SetDotted(false);
    }

    // 6. y axis
    p.setFont(m_axisFont);
    g.SetColor(kAxisColor);
    g.MoveTo(left, bottom);
    g.LineTo(left, top);

    // 7. zero line
    if (B < 0 && 0 < T) {
        const int y0 = mapY(0);
        g.MoveTo(left, y0);
        g.LineTo(right, y0);
    }

    // 8. protection criterion (potential pane), dashed
    if (!IsGradientPane()) {
        const double parsed = std::trunc(-tresnum::ParseDoublePrefix(m_doc.m_header[2]));
        const int64_t c = static_cast<int64_t>(std::clamp(parsed, -1e15, 1e15));
        if (B < c && c < T) {
            const int dash = (right - left) / 40;
            const int period = (right - left) / 20;
            const int y = mapY(c);
            // A pane too narrow for one period has no room for dashes.
            if (period > 0)
                for (int x = left; x < right - dash; x += period) {
                    g.MoveTo(x, y);
                    g.LineTo(x + dash, y);
                }
        }
    }

    // 9. y ticks and labels, each label only where it clears the last one
    if (m_value.nLabelStep > 0) {
        bool first = true;
        int lastY = 0;
        for (int64_t v = B; v <= T; v += m_value.nLabelStep) {
            const int y = mapY(v);
            g.MoveTo(left - 3, y);
            g.LineTo(left + 3, y);
            const QString text = IsGradientPane()
                ? QString::fromStdString(tresnum::FormatInt(v / 10, 6, true))
                : QString::fromStdString(tresnum::FormatFixed(static_cast<double>(-v) * 0.001, 2));
            if (first || y < lastY - afm.height()) {
                TextAt(p, afm, left - 4, static_cast<int>(y - 13 * 0.4), text, EAlign::Right);
                lastY = y;
                first = false;
            }
        }
    }
}

// ---- print hooks -------------------------------------------------------------

int CTrePrintView::OnPreparePrinting(bool preview)
{
    if (!preview && m_fnBeforePrinting) m_fnBeforePrinting();
    CPrintContext ctx;
    ctx.plotLogo = m_bPlotLogo ? &m_plotLogo : nullptr;
    ctx.tableLogo = m_bTableLogo ? &m_tableLogo : nullptr;
    ctx.installationLabel = DefaultInstallationLabel();
    ctx.today = QDate::currentDate();
    m_pPrintJob = std::make_unique<CPrintJob>(PrintKind(), m_doc, ctx);
    return m_pPrintJob->OnPreparePrinting(preview);
}

void CTrePrintView::OnBeginPrinting(QPainter& p, const CPrintMetrics& m)
{
    if (!m_pPrintJob) OnPreparePrinting(true);
    m_pPrintJob->OnBeginPrinting(p, m);
}

void CTrePrintView::OnPrint(QPainter& p, int page)
{
    if (m_pPrintJob) m_pPrintJob->OnPrint(p, page);
}

void CTrePrintView::OnEndPrinting()
{
    if (m_pPrintJob) m_pPrintJob->OnEndPrinting();
}
