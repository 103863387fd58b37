// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvepane.h"

#include "clipsegment.h"
#include "curvecursor.h"
#include "doc/numtext.h"
#include "doc/tredoc.h"
#include "gdilines.h"
#include "zoombutton.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

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

int ClampScroll(int pos, int max, int page)
{
    const int hi = std::max(0, page > 0 ? max - page + 1 : max);
    return std::clamp(pos, 0, hi);
}

int64_t Snap(int64_t pos, int step) { return step > 0 ? step * (pos / step) : pos; }

// A scroll bar's action as the pane's scroll code; a drag tracks the thumb.
CTrePrintView::EScroll ScrollCodeOf(int action)
{
    using E = CTrePrintView::EScroll;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return E::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return E::LineDown;
    case QAbstractSlider::SliderPageStepSub: return E::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return E::PageDown;
    case QAbstractSlider::SliderMove: return E::ThumbTrack;
    default: return E::Top;
    }
}

} // namespace

CTrePrintView::CTrePrintView(CTreDoc& doc, QWidget* parent)
    : QWidget(parent)
    , m_doc(doc)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the pane paints every pixel itself
    setMinimumSize(0, 0);
    setMouseTracking(true); // the row under the pointer, without a button held
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
        const EScroll code = ScrollCodeOf(action);
        OnHScroll(code, code == EScroll::ThumbTrack ? m_pHScroll->sliderPosition() : 0);
    });
    connect(m_pVScroll, &QAbstractSlider::actionTriggered, this, [this](int action) {
        const EScroll code = ScrollCodeOf(action);
        OnVScroll(code, code == EScroll::ThumbTrack ? m_pVScroll->sliderPosition() : 0);
    });

    const struct {
        EControlId id;
        CZoomButton::EGlyph glyph;
        void (CTrePrintView::*slot)();
    } buttons[4] = {
        {IdMeterZoomIn, CZoomButton::EGlyph::Plus, &CTrePrintView::OnMeterZoomIn},
        {IdMeterZoomOut, CZoomButton::EGlyph::Minus, &CTrePrintView::OnMeterZoomOut},
        {IdValueZoomIn, CZoomButton::EGlyph::Plus, &CTrePrintView::OnValueZoomIn},
        {IdValueZoomOut, CZoomButton::EGlyph::Minus, &CTrePrintView::OnValueZoomOut},
    };
    const char* const tips[4] = {"Meterachse vergrößern: weniger Meter im Bild (Strg+Mausrad)",
                                 "Meterachse verkleinern: mehr Meter im Bild (Strg+Mausrad)",
                                 "Werteachse vergrößern: kleinerer Wertebereich im Bild",
                                 "Werteachse verkleinern: größerer Wertebereich im Bild"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new CZoomButton(buttons[i].glyph, this);
        b->setObjectName(QString::number(buttons[i].id));
        b->setToolTip(QString::fromUtf8(tips[i]));
        b->hide();
        connect(b, &QAbstractButton::clicked, this, buttons[i].slot);
        m_pButtons[i] = b;
    }
    m_axisFont = FontByCellHeight(13);
    m_commentFont = FontByCellHeight(10);
    m_bResources = true;
}

CZoomButton* CTrePrintView::Button(EControlId id) const
{
    const int i = id - IdMeterZoomIn;
    return i >= 0 && i < 4 ? m_pButtons[i] : nullptr;
}

QFont CTrePrintView::CommentFont() const { return m_bResources ? m_commentFont : FontByCellHeight(10); }

void CTrePrintView::OnInitialUpdate()
{
    if (!m_bResources) CreateResources();
    // Another survey: the earlier ones drawn were those of the last one's pipeline.
    m_earlier.clear();
    m_nKind = m_doc.NextViewNumber();
    if (m_doc.GetRowCount() > 0) {
        FitMeterWindow();
        SetInitialVerticalState();
    }
    if (!m_bLogosLoaded) LoadLogos();
    EnsureBacking();
    Refresh();
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
    // that a large screen is covered too. On a scaled screen the image has
    // the screen's pixels, so that lines and texts are drawn at its
    // resolution; the sizes stay in the window's (device-independent) pixels.
    const qreal dpr = std::max<qreal>(1.0, devicePixelRatioF());
    const QSize have = m_backing.devicePixelRatio() == dpr ? m_backing.deviceIndependentSize().toSize() : QSize();
    const int w = std::max(kBackingWidth, width());
    const int h = std::max(kBackingHeight, height());
    if (have.width() < w || have.height() < h) {
        // A line length of an even number of cache lines puts the pixels of
        // one column into only a few cache sets, and the dotted comment
        // lines run down columns: an odd number of 64-byte lines per image
        // line (a few unseen pixels more) spreads a column over all sets.
        int width = (static_cast<int>(std::ceil(std::max(w, have.width()) * dpr)) + 15) / 16 * 16;
        if (width / 16 % 2 == 0) width += 16;
        m_backing = QImage(width, static_cast<int>(std::ceil(std::max(h, have.height()) * dpr)), QImage::Format_RGB32);
        m_backing.setDevicePixelRatio(dpr);
        m_backing.fill(palette().color(QPalette::Base));
    }
}

bool CTrePrintView::DataExtent(int64_t& first, int64_t& last) const
{
    // Rows without a metre have no place on the axis: one of them at an end
    // (NO_VALUE is far out) would stretch the window over ten million metres.
    if (const std::vector<double>* pos = DrawnPositions()) {
        // The chainage may fall along the rows: the window spans it whole.
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (const double s : *pos)
            if (!std::isnan(s)) {
                lo = std::min(lo, s);
                hi = std::max(hi, s);
            }
        if (!(lo <= hi)) return false;
        first = static_cast<int64_t>(std::floor(lo));
        last = static_cast<int64_t>(std::ceil(hi));
        return true;
    }
    const int firstRow = m_doc.FirstRowWithMetre();
    if (firstRow == 0) return false;
    const int64_t a = m_doc.GetMeter(firstRow), b = m_doc.GetMeter(m_doc.LastRowWithMetre());
    first = std::min(a, b);
    last = std::max(a, b);
    return true;
}

CZoomStep CTrePrintView::CappedMeterSpan(int64_t requested, const CZoomStep& current) const
{
    CZoomStep z = SnapMeterSpan(requested, current);
    int64_t first = 0, last = 0;
    if (DataExtent(first, last) && last > first && z.nSpan > last - first)
        z.nSpan = static_cast<int32_t>(std::min<int64_t>(last - first, INT32_MAX));
    return z;
}

void CTrePrintView::SetMeterStep(const CZoomStep& z)
{
    m_doc.m_nMeterSpan = z.nSpan;
    m_doc.m_nMeterLineStep = z.nLineStep;
    m_doc.m_nMeterPageStep = z.nPageStep;
    m_doc.m_nMeterLabelStep = z.nLabelStep;
    m_doc.m_nMeterPageSize = z.nSpan / 10 + 1;
}

void CTrePrintView::UpdateScrollRange()
{
    // The range runs from the fitted start to the last metre, and is at
    // least one page: at its end the window closes with the last metre.
    int64_t first = 0, last = 0;
    const int64_t reach = DataExtent(first, last) ? (std::max<int64_t>(0, last - m_nFittedStart) + 9) / 10 : 0;
    m_nHMax = static_cast<int>(std::clamp<int64_t>(std::max<int64_t>(reach, m_doc.m_nMeterSpan / 10), 0, INT32_MAX));
}

int CTrePrintView::PositionOfStart(int64_t start) const
{
    return ClampH(static_cast<int>(std::clamp<int64_t>((start - m_nFittedStart + 9) / 10, 0, INT32_MAX)));
}

void CTrePrintView::FitMeterWindow()
{
    int64_t first = 0, last = 0;
    if (!DataExtent(first, last)) return;
    const CZoomStep current{m_doc.m_nMeterSpan, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep,
                            m_doc.m_nMeterLabelStep};
    CZoomStep z = SnapMeterSpan(last - first, current);
    // A first fit of a survey longer than the largest zoom row keeps the
    // document's steps, which are still 0 then; without a label step the
    // start is not rounded rather than divided by zero.
    m_nFittedStart = static_cast<int>(z.nLabelStep > 0 ? z.nLabelStep * (first / z.nLabelStep) : first);
    m_nHPos = 0;
    m_doc.m_nMeterScrollPos = 0;
    m_doc.m_nMeterStart = m_nFittedStart;
    if (z.nSpan > 1000) z = SnapMeterSpan(1000, z);
    SetMeterStep(z);
    UpdateScrollRange();
    if (IsGradientPane()) m_doc.m_bRefitGrad = false;
    else m_doc.m_bRefitPot = false;
    SyncHScrollBar();
}

void CTrePrintView::FitWholeSurvey()
{
    int64_t first = 0, last = 0;
    if (m_nKind == 0 || !DataExtent(first, last)) return;
    const CZoomStep current{m_doc.m_nMeterSpan, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep,
                            m_doc.m_nMeterLabelStep};
    SetMeterStep(CappedMeterSpan(last - first, current));
    UpdateScrollRange();
    SetWindowStart(first);
}

int32_t CTrePrintView::ClampStart(int64_t start) const
{
    int64_t first = 0, last = 0;
    int64_t hi = m_nFittedStart;
    if (DataExtent(first, last)) hi = std::max(hi, last - m_doc.m_nMeterSpan);
    start = std::clamp<int64_t>(start, m_nFittedStart, hi);
    return static_cast<int32_t>(std::clamp<int64_t>(start, INT32_MIN + 1, INT32_MAX - 1));
}

void CTrePrintView::SetWindowStart(int64_t start)
{
    start = ClampStart(start);
    m_doc.m_nMeterStart = static_cast<int32_t>(start);
    m_nHPos = PositionOfStart(start);
    m_doc.m_nMeterScrollPos = m_nHPos;
    SyncHScrollBar();
    m_doc.InvalidateCurveViews();
    update();
}

void CTrePrintView::SetInitialVerticalState()
{
    const CZoomStep none{};
    if (IsGradientPane()) {
        m_nTopAtZero = 15000;
        m_nVMax = 25000; // wider than the value table: not snapped
        m_nVPos = 13000;
    } else {
        m_nTopAtZero = 10000;
        m_nVMax = SnapValueSpan(15000, none).nSpan;
        m_nVPos = 8000;
    }
    m_value = SnapValueSpan(2000, none);
    m_nVPage = m_value.nSpan + 1;
    m_fittedAxis.reset(); // a new survey: the overlay's axis is fitted again
    m_unfitted.reset();
    m_nVPos = ClampV(m_nVPos);
    SyncVScrollBar();
}

int CTrePrintView::ClampH(int pos) const { return ClampScroll(pos, m_nHMax, m_doc.m_nMeterPageSize); }
int CTrePrintView::ClampV(int pos) const { return ClampScroll(pos, m_nVMax, m_nVPage); }

void CTrePrintView::SyncHScrollBar()
{
    m_nHPos = PositionOfStart(m_doc.m_nMeterStart);
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

void CTrePrintView::OnMeterZoomIn() { ZoomMeter(true); }
void CTrePrintView::OnMeterZoomOut() { ZoomMeter(false); }
void CTrePrintView::OnValueZoomIn() { ZoomValue(ZoomInRequest(m_value.nSpan)); }
void CTrePrintView::OnValueZoomOut() { ZoomValue(ZoomOutRequest(m_value.nSpan)); }

// The metre window is the document's, shared by both curve panes. The
// buttons keep the left edge, moving it onto the finer line step when
// zooming in; the wheel keeps the metre under the pointer. Never wider
// than the survey, and the window stays on it.
void CTrePrintView::ZoomMeter(bool in, int anchorX)
{
    const CZoomStep current{m_doc.m_nMeterSpan, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep,
                            m_doc.m_nMeterLabelStep};
    const CZoomStep z = CappedMeterSpan(in ? ZoomInRequest(current.nSpan) : ZoomOutRequest(current.nSpan), current);
    const int64_t oldStart = m_doc.m_nMeterStart;
    int64_t start = oldStart;
    const int width = PlotRight() - PlotLeft();
    if (anchorX >= 0 && width > 0) {
        const double along = std::clamp(anchorX - PlotLeft(), 0, width) / static_cast<double>(width);
        const double anchor = static_cast<double>(oldStart) + along * current.nSpan;
        start = std::llround(anchor - along * z.nSpan);
    } else if (in) {
        start = m_nFittedStart + Snap(m_nHPos, z.nLineStep) * 10;
    }
    SetMeterStep(z);
    UpdateScrollRange();
    SetWindowStart(start);
}

void CTrePrintView::ZoomValue(int64_t requested)
{
    m_value = SnapValueSpan(requested, m_value);
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
    const int64_t target = ScrollTarget(code, m_nHPos, m_doc.m_nMeterLineStep, m_doc.m_nMeterPageStep, thumb);
    // A drag puts the window where the thumb is; a step moves it by its
    // metres from where it is.
    if (code == EScroll::ThumbTrack) SetWindowStart(m_nFittedStart + target * 10);
    else SetWindowStart(m_doc.m_nMeterStart + (target - m_nHPos) * 10);
}

void CTrePrintView::CenterOnMetres(int64_t from, int64_t to)
{
    if (m_nKind == 0 || m_doc.GetRowCount() <= 0) return;
    SetWindowStart((from + to) / 2 - m_doc.m_nMeterSpan / 2);
}

const std::vector<double>* CTrePrintView::DrawnPositions() const
{
    return m_positions && m_positions->size() == static_cast<size_t>(m_doc.GetRowCount()) ? m_positions.get() : nullptr;
}

void CTrePrintView::SetAxisPositions(std::shared_ptr<const std::vector<double>> positions)
{
    const bool switched = (positions != nullptr) != (m_positions != nullptr);
    m_positions = std::move(positions);
    if (switched) (IsGradientPane() ? m_doc.m_bRefitGrad : m_doc.m_bRefitPot) = true;
    Refresh();
}

void CTrePrintView::SetOverlay(const CCurveOverlay* overlay)
{
    m_pOverlay = overlay;
    FitValueAxisToOverlay();
    update();
}

void CTrePrintView::wheelEvent(QWheelEvent* event)
{
    if (m_nKind == 0 || m_doc.GetRowCount() <= 0) {
        event->ignore();
        return;
    }
    // Along the metre, whichever way the wheel turns (a tilted wheel or a
    // touchpad gives sideways steps); small steps add up to whole notches.
    const QPoint a = event->angleDelta();
    m_nWheelRest += a.y() != 0 ? a.y() : a.x();
    const int notches = m_nWheelRest / QWheelEvent::DefaultDeltasPerStep;
    m_nWheelRest -= notches * QWheelEvent::DefaultDeltasPerStep;
    event->accept();
    // Away from the user (up) goes back along the metre, or zooms in.
    const bool zoom = event->modifiers() & Qt::ControlModifier;
    const int steps = zoom ? std::abs(notches) : std::abs(notches) * QApplication::wheelScrollLines();
    const int anchorX = static_cast<int>(std::floor(event->position().x())) - kBar;
    for (int i = 0; i < steps; ++i) {
        if (zoom) ZoomMeter(notches > 0, std::max(0, anchorX));
        else OnHScroll(notches > 0 ? EScroll::LineUp : EScroll::LineDown);
    }
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
    PrepareWindow();
}

void CTrePrintView::PrepareWindow()
{
    const bool withRows = m_doc.GetRowCount() > 0 && m_nKind != 0;
    if (withRows) {
        const bool refit = IsGradientPane() ? m_doc.m_bRefitGrad : m_doc.m_bRefitPot;
        if (refit || m_doc.m_nMeterSpan <= 0) FitMeterWindow();
    }
    LayoutControls(withRows);
    // The other pane may have scrolled the shared metre window, an edit
    // moved the last metre.
    if (withRows) {
        UpdateScrollRange();
        m_doc.m_nMeterStart = ClampStart(m_doc.m_nMeterStart);
        SyncHScrollBar();
    }
}

void CTrePrintView::Refresh()
{
    PrepareWindow();
    update();
}

CCurveFrame CTrePrintView::Frame()
{
    CCurveFrame f;
    if (m_nKind == 0) return f; // no rows yet: nothing but the background
    f.bGradient = IsGradientPane();
    f.left = PlotLeft();
    f.top = PlotTop();
    f.right = PlotRight();
    f.bottom = PlotBottom();
    f.nStart = m_doc.m_nMeterStart;
    f.nSpan = m_doc.m_nMeterSpan;
    f.nMeterLabelStep = m_doc.m_nMeterLabelStep;
    f.nValueTop = int64_t{m_nTopAtZero} - m_nVPos;
    f.nValueSpan = m_value.nSpan;
    f.nValueLabelStep = m_value.nLabelStep;
    f.axisFont = m_axisFont;
    f.commentFont = m_commentFont;
    f.pStamps = &m_stamps;
    f.pOverlay = m_pOverlay;
    f.pCompare = m_pCompare;
    f.bCompareNative = m_bCompareNative;
    f.pCompareMetres = m_compareMetres.empty() ? nullptr : &m_compareMetres;
    f.pPositions = DrawnPositions();
    f.pEarlier = m_earlier.empty() ? nullptr : &m_earlier;
    return f;
}

void CTrePrintView::SetComparison(const CTreDoc* compare, bool native, std::vector<int32_t> metres)
{
    m_pCompare = compare;
    m_bCompareNative = native;
    m_compareMetres = compare ? std::move(metres) : std::vector<int32_t>();
    Refresh();
}

void CTrePrintView::SetEarlier(std::vector<SEarlierCurve> curves)
{
    m_earlier = std::move(curves);
    Refresh();
}

void CTrePrintView::ComposeBacking(const QRect& box)
{
    EnsureBacking();
    const QRect area = box.intersected(QRect(QPoint(), m_backing.deviceIndependentSize().toSize()));
    if (area.isEmpty()) return;
    QPainter p(&m_backing);
    p.setClipRect(area);
    Compose(p, CRasterTarget::Of(p));
}

void CTrePrintView::Compose(QPainter& p, const CRasterTarget& target)
{
    // The background straight into the image: a painter's fill of a large
    // area hands the work to other threads and waits for them.
    const uint32_t base = CRasterTarget::Pixel(palette().color(QPalette::Base));
    if (target.Direct()) {
        for (int y = target.bounds.top(); y <= target.bounds.bottom(); ++y)
            target.Span(target.bounds.left(), y, target.bounds.width(), base);
    } else {
        p.fillRect(p.clipBoundingRect().toAlignedRect(), palette().color(QPalette::Base));
    }
    const CCurveFrame f = Frame();
    PaintCurves(p, m_doc, f);
    if (m_nCursorRow > 0 && f.nSpan > 0) PaintRowCursor(p, f, RowAxisMetre(m_doc, DrawnPositions(), m_nCursorRow));
}

// ---- the row under the pointer ---------------------------------------------

int CTrePrintView::RowAtPaneX(int x)
{
    if (m_nKind == 0 || m_doc.GetRowCount() <= 0) return 0;
    const CCurveFrame f = Frame();
    const int px = x - kBar;
    if (px < f.left || px > f.right || f.nSpan <= 0) return 0;
    const std::vector<double>* pos = DrawnPositions();
    const int row = RowNearestMetre(m_doc, pos, MetreAtPlotX(f, px));
    // Only a row in the window: beyond its edge the pointer names none.
    int column = 0;
    return row > 0 && CursorColumn(f, RowAxisMetre(m_doc, pos, row), column) ? row : 0;
}

void CTrePrintView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const int row = at.y() <= PlotBottom() ? RowAtPaneX(at.x()) : 0;
    if (row == m_nHoverRow) return;
    m_nHoverRow = row;
    emit RowHovered(row);
}

void CTrePrintView::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    if (const int row = at.y() <= PlotBottom() ? RowAtPaneX(at.x()) : 0) emit RowClicked(row);
}

void CTrePrintView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_nHoverRow == 0) return;
    m_nHoverRow = 0;
    emit RowHovered(0);
}

void CTrePrintView::SetCursorRow(int row)
{
    if (!m_doc.IsValidRow(row)) row = 0;
    if (row == m_nCursorRow) return;
    UpdateCursorColumn(m_nCursorRow);
    m_nCursorRow = row;
    UpdateCursorColumn(m_nCursorRow);
}

void CTrePrintView::UpdateCursorColumn(int row)
{
    // Only the column the line stands on is painted again.
    if (row <= 0 || m_nKind == 0) return;
    int x = 0;
    if (CursorColumn(Frame(), RowAxisMetre(m_doc, DrawnPositions(), row), x))
        update(QRect(x + kBar - 1, 0, 3, height()));
}

void CTrePrintView::paintEvent(QPaintEvent* event)
{
    // The picture sits 13 pixels right of the pane's origin; the scroll bar
    // column and row are left to the bars.
    const QRect box = event->rect();
    const QRect source = box.translated(-kBar, 0) & QRect(0, 0, width(), height() - kBar);
    QPainter wp(this);
    if (!source.isEmpty()) {
        // Where the window's pixels can be written directly, the picture is
        // composed there: no second image to fill and copy on every scroll.
        wp.save();
        wp.translate(kBar, 0);
        wp.setClipRect(source);
        const CRasterTarget target = CRasterTarget::Of(wp);
        if (target.Direct()) Compose(wp, target);
        wp.restore();
        if (!target.Direct()) {
            ComposeBacking(source);
            const qreal dpr = m_backing.devicePixelRatio();
            const QRectF pixels(source.x() * dpr, source.y() * dpr, source.width() * dpr, source.height() * dpr);
            wp.drawImage(QRectF(source.translated(kBar, 0)), m_backing, pixels);
        }
    }
    const QColor base = palette().color(QPalette::Base);
    wp.fillRect(QRect(0, 0, kBar, height()) & box, base);
    wp.fillRect(QRect(0, height() - kBar, width(), kBar) & box, base);
}
