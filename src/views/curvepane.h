// SPDX-License-Identifier: GPL-3.0-or-later
// A curve pane: one survey drawn over the measuring metre, the gradients in
// the upper pane and the potentials in the lower (the picture itself is
// curvepainter's). Both panes share the metre window kept in the document
// and so always show and scroll the same stretch; each keeps its own value
// axis. With pipeline data the axis is the chainage instead: every row,
// comment and mark stands at its row's chainage, and the window, its scroll
// and zoom are in chainage metres.
//
// Whatever changes the window - a document change, the other pane's scroll,
// a resize, a zoom - is worked out when it happens (refit, scroll ranges,
// where the bars and buttons sit); a paint only paints. The picture is
// composed in a backing image and copied to the window in one block; the
// image lies 13 pixels to the left of the window so the vertical scroll bar
// column is never painted over.
#pragma once

#include "curvepainter.h"
#include "textstamps.h"
#include "viewhub.h"
#include "zoomtables.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class CTreDoc;
class CZoomButton;
struct CRasterTarget;
class QScrollBar;

class CTrePrintView : public QWidget, public CTreViewBase {
    Q_OBJECT
public:
    enum EKind { KindGradient = 1, KindPotential = 2 };
    // Control ids of the pane's children.
    enum EControlId {
        IdHScroll = 62000,
        IdVScroll = 62001,
        IdMeterZoomIn = 62002,
        IdMeterZoomOut = 62003,
        IdValueZoomIn = 62004,
        IdValueZoomOut = 62005
    };
    // What a scroll bar reports, in the order of the classic scroll codes.
    enum class EScroll { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

    static constexpr int kBar = 13;            // scroll bar and button size
    static constexpr int kBackingWidth = 1024; // the least backing image
    static constexpr int kBackingHeight = 768;

    explicit CTrePrintView(CTreDoc& doc, QWidget* parent = nullptr);
    ~CTrePrintView() override;

    // Takes the kind from the document's view counter, fits the metre
    // window and sets the value axis (when the document has rows).
    void OnInitialUpdate() override;
    void OnUpdate() override { Refresh(); }
    bool IsCurvePane() const override { return true; }
    void Invalidate() override { Refresh(); }

    // The zoom buttons.
    void OnMeterZoomIn();
    void OnMeterZoomOut();
    void OnValueZoomIn();
    void OnValueZoomOut();
    // The scroll bars; `thumb` counts only for ThumbTrack.
    void OnHScroll(EScroll code, int thumb = 0);
    void OnVScroll(EScroll code, int thumb = 0);
    // Scrolls the shared metre window so that the stretch from..to (metres
    // of the axis) lies in its middle, as far as the scroll range allows
    // (both panes follow).
    void CenterOnMetres(int64_t from, int64_t to);
    // "Einpassen": the whole survey across the shared window, from its
    // first metre to its last.
    void FitWholeSurvey();
    // The row whose cursor line both panes draw (0: none).
    void SetCursorRow(int row);
    int CursorRow() const { return m_nCursorRow; }
    // Where each row is drawn (row r at [r - 1], m of chainage; NaN: not
    // drawn); null: at the recorded metres. Switching between the two fits
    // the window to the survey again. The pane keeps the vector for as long
    // as it is set.
    void SetAxisPositions(std::shared_ptr<const std::vector<double>> positions);
    const std::vector<double>* AxisPositions() const { return m_positions.get(); }
    // Marks drawn over the picture (null: none); kept by the caller for as
    // long as it is set.
    // An overlay with a fitted value axis for this pane sets the value axis
    // to it (zoom and scroll go on from there); taken off, the axis is the
    // one the pane had before.
    void SetOverlay(const CCurveOverlay* overlay);
    const CCurveOverlay* Overlay() const { return m_pOverlay; }

    // Composes the picture for the window rectangle `box` into the backing
    // image, exactly as a paint of that rectangle would.
    void ComposeBacking(const QRect& box);
    // What a paint shows now.
    CCurveFrame Frame();
    // The survey the potential pane draws behind the document's curves (see
    // CCurveFrame::pCompare); null hides it. The pane does not own it.
    // `metres`: where each of its rows lies on this survey's metre axis
    // (CCurveFrame::pCompareMetres); empty: its own metres.
    void SetComparison(const CTreDoc* compare, bool native, std::vector<int32_t> metres = {});
    // Earlier surveys of the pipeline behind the curves (potential pane
    // only; see CCurveFrame::pEarlier); empty hides them.
    void SetEarlier(std::vector<SEarlierCurve> curves);
    const std::vector<SEarlierCurve>& Earlier() const { return m_earlier; }
    const QImage& BackingImage() const { return m_backing; }

    // ---- state, for the print code and for looking at -------------------
    int Kind() const { return m_nKind; }
    bool IsGradientPane() const { return m_nKind == KindGradient; }
    int FittedStart() const { return m_nFittedStart; }
    int TopAtZero() const { return m_nTopAtZero; }
    const CZoomStep& ValueStep() const { return m_value; }
    int HScrollMax() const { return m_nHMax; }
    int HScrollPos() const { return m_nHPos; }
    int VScrollMax() const { return m_nVMax; }
    int VScrollPage() const { return m_nVPage; }
    int VScrollPos() const { return m_nVPos; }
    QScrollBar* HScrollBar() const { return m_pHScroll; }
    QScrollBar* VScrollBar() const { return m_pVScroll; }
    CZoomButton* Button(EControlId id) const;
    // The plot rectangle in backing-image coordinates for the current size.
    QRect PlotRect() const; // left, top, right, bottom as stated, not Qt's inclusive right
    int PlotLeft() const { return 35; }
    int PlotTop() const { return 10; }
    int PlotRight() const;
    int PlotBottom() const;
    const QFont& AxisFont() const { return m_axisFont; }
    QFont CommentFont() const;

    // The logo files for the printouts, loaded at the first initial update.
    bool HasTableLogo() const { return m_bTableLogo; }
    bool HasPlotLogo() const { return m_bPlotLogo; }
    const QImage& TableLogo() const { return m_tableLogo; }
    const QImage& PlotLogo() const { return m_plotLogo; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The wheel scrolls along the metre, with Ctrl it zooms the metre axis
    // about the pointer.
    void wheelEvent(QWheelEvent* event) override;
    // The row under the pointer is told as it moves, and chosen by a click.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

signals:
    // The row nearest the pointer on the metre axis; 0 when the pointer is
    // off the plot or no row is drawn.
    void RowHovered(int row);
    void RowClicked(int row);

private:
    // The background and the curves into `p`, directly into `target`'s
    // pixels where it has them.
    void Compose(QPainter& p, const CRasterTarget& target);
    void CreateResources();
    // Refits the metre window when the document asks for it, places the
    // bars and buttons and takes the shared scroll position: everything a
    // paint needs settled before it runs.
    void PrepareWindow();
    void Refresh(); // PrepareWindow, then a repaint
    void FitMeterWindow();
    // The positions when they belong to the rows as they are now, else null.
    const std::vector<double>* DrawnPositions() const;
    void SetInitialVerticalState();
    void LoadLogos();
    void EnsureBacking();
    void LayoutControls(bool withRows);
    void SyncHScrollBar();
    void SyncVScrollBar();
    int ClampH(int pos) const;
    int ClampV(int pos) const;
    // The metres of the axis the rows span, lowest and highest; false
    // without any row on the axis.
    bool DataExtent(int64_t& first, int64_t& last) const;
    // A metre span as the zoom table gives it, but never wider than the
    // survey: at most its length when it has one.
    CZoomStep CappedMeterSpan(int64_t requested, const CZoomStep& current) const;
    // Takes `step` as the shared window's span.
    void SetMeterStep(const CZoomStep& step);
    // Moves the shared window to start at `start`, held where the first and
    // last metres stay within it, and lets both panes follow.
    void SetWindowStart(int64_t start);
    // `start` held where the first and last metres stay within the window.
    int32_t ClampStart(int64_t start) const;
    // The scroll range that ends with the last metre, and the bar's position for
    // the window's start.
    void UpdateScrollRange();
    int PositionOfStart(int64_t start) const;
    // The row under window x (pane coordinates), 0 off the plot.
    int RowAtPaneX(int x);
    // Repaints the cursor's column at `row` (old or new).
    void UpdateCursorColumn(int row);
    // One zoom step in or out over the metres; to `requested` over the values.
    // `anchorX`: the plot x whose metre stays put; below 0, the left edge
    // stays on the finer line step.
    void ZoomMeter(bool in, int anchorX = -1);
    void ZoomValue(int64_t requested);
    // The value axis as the overlay's fitted one, or back (curvepanefit.cpp).
    void FitValueAxisToOverlay();

    CTreDoc& m_doc;
    int m_nKind = 0;
    int m_nFittedStart = 0;
    int m_nTopAtZero = 0;
    CZoomStep m_value;
    // The scroll bars' state as the classic scroll bars keep it: range
    // 0..max, a page, and a position clamped to max - page + 1.
    int m_nHMax = 100;
    int m_nHPos = 0;
    int m_nVMax = 100;
    int m_nVPage = 0;
    int m_nVPos = 0;

    bool m_bResources = false;
    QScrollBar* m_pHScroll = nullptr;
    QScrollBar* m_pVScroll = nullptr;
    CZoomButton* m_pButtons[4] = {};
    QFont m_axisFont;
    const CTreDoc* m_pCompare = nullptr;
    std::vector<SEarlierCurve> m_earlier;
    bool m_bCompareNative = false;
    std::vector<int32_t> m_compareMetres;
    QFont m_commentFont;
    CTextStamps m_stamps;
    QImage m_backing;
    bool m_bLogosLoaded = false;
    bool m_bTableLogo = false;
    bool m_bPlotLogo = false;
    QImage m_tableLogo;
    QImage m_plotLogo;
    const CCurveOverlay* m_pOverlay = nullptr;
    // The fitted axis last set, and the value axis the pane had before it.
    struct SValueState {
        int top, pos, page;
        CZoomStep step;
    };
    std::optional<valueaxis::SAxis> m_fittedAxis;
    std::optional<SValueState> m_unfitted;
    std::shared_ptr<const std::vector<double>> m_positions;
    int m_nWheelRest = 0; // wheel turn short of a whole notch
    int m_nCursorRow = 0;
    int m_nHoverRow = 0; // last told by RowHovered
};
