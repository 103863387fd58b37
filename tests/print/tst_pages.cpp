// SPDX-License-Identifier: GPL-3.0-or-later
// Pages of both printouts drawn onto a recording device: frame, title block
// and header cells, axes and ticks, curves, comments, the QM line, the
// table's rows, grey lines and column options.
#include "graphicprint.h"
#include "printfixture.h"
#include "printjob.h"
#include "recorder.h"
#include "tableprint.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <memory>

namespace {

struct CPage {
    std::unique_ptr<CRecordingDevice> dev;
    CPrintMetrics m;
};

CPrintContext Context(const QImage* plotLogo = nullptr, const QImage* tableLogo = nullptr)
{
    CPrintContext ctx;
    ctx.plotLogo = plotLogo;
    ctx.tableLogo = tableLogo;
    ctx.installationLabel = QStringLiteral("Prüfplatz");
    ctx.today = QDate(2026, 3, 7);
    return ctx;
}

// Draws page `page` of the graphic print; `print` keeps the geometry.
CRecordingDevice* Graphic(CPage& out, const CTreDoc& doc, CGraphicPrint& print, int page, CPrintMetrics m)
{
    out.m = m;
    out.dev = std::make_unique<CRecordingDevice>(m);
    QPainter p(out.dev.get());
    print.Begin(m);
    print.PrintPage(p, page);
    Q_UNUSED(doc);
    return out.dev.get();
}

CRecordingDevice* Table(CPage& out, CTablePrint& print, int page, CPrintMetrics m)
{
    out.m = m;
    out.dev = std::make_unique<CRecordingDevice>(m);
    QPainter p(out.dev.get());
    print.Begin(p, m);
    print.PrintPage(p, page);
    return out.dev.get();
}

bool AllBlack(const CRecordingDevice& d)
{
    for (const CRecText& t :
         d.paintEngine() ? static_cast<CRecordingEngine*>(d.paintEngine())->texts : std::vector<CRecText>{})
        if (t.colour != QColor(Qt::black)) return false;
    for (const CRecLine& l : static_cast<CRecordingEngine*>(d.paintEngine())->lines)
        if (l.colour != QColor(Qt::black)) return false;
    return true;
}

// Lines of colour `c` with an end at height y (within one unit).
int LinesEndingAt(const CRecordingDevice& d, const QColor& c, int y)
{
    int n = 0;
    for (const CRecLine& l : static_cast<CRecordingEngine*>(d.paintEngine())->lines)
        if (l.colour == c && (std::abs(l.line.y1() - y) <= 1 || std::abs(l.line.y2() - y) <= 1)) ++n;
    return n;
}

int HorizontalLinesAt(const CRecordingDevice& d, int y)
{
    int n = 0;
    for (const CRecLine& l : static_cast<CRecordingEngine*>(d.paintEngine())->lines)
        if (std::abs(l.line.y1() - y) <= 1 && std::abs(l.line.y2() - y) <= 1 && l.line.x1() != l.line.x2()) ++n;
    return n;
}

} // namespace

class TestPages : public QObject {
    Q_OBJECT
private slots:
    void frameIsMeasuredFromThePaperEdges();
    void titleBlockHeaderCells();
    void companyTextOrLogo();
    void monochromeIsBlack();
    void axisLabels();
    void metreLabelsFollowThePage();
    void gradientCurveOnTheAxisScale();
    void criterionLineStaysInTheChart();
    void irFreeOutsideWindowBreaksCurve();
    void curveSwitches();
    void commentsRunUpwards();
    void rowsWithoutAMetreAreSkipped();
    void qmLine();
    void tableHeaderBlock();
    void tableRowsAndPages();
    void tableErrorListGaps();
    void tableGreyLinesAndColumns();
    void jobDrivesPagesOnAPrinter();
};

void TestPages::frameIsMeasuredFromThePaperEdges()
{
    CTreDoc doc;
    FillDoc(doc, Survey(500));
    CPrintMetrics m = A4Metrics(600, true);
    const graphiclayout::CDeviceFrame plain = ComputeFrame(m, kGraphicMargins);
    QCOMPARE(plain.left, static_cast<int>(18 * 600 / 25.4));
    m.offsetX = 100;
    m.offsetY = 80;
    const graphiclayout::CDeviceFrame shifted = ComputeFrame(m, kGraphicMargins);
    QCOMPARE(shifted.left, plain.left - 100);
    QCOMPARE(shifted.right, plain.right - 100);
    QCOMPARE(shifted.top, plain.top - 80);
    QCOMPARE(shifted.bottom, plain.bottom - 80);
    // The frame is drawn where it was computed.
    CGraphicPrint print(doc, Context());
    CPage page;
    Graphic(page, doc, print, 1, m);
    QVERIFY(HorizontalLinesAt(*page.dev, shifted.top) >= 1);
    const graphiclayout::CDeviceFrame table = ComputeFrame(A4Metrics(600, false), kTableMargins);
    QCOMPARE(table.left, static_cast<int>(20 * 600 / 25.4));
    QCOMPARE(table.bottom, A4Metrics(600, false).physHeight - static_cast<int>(20 * 600 / 25.4));
}

void TestPages::titleBlockHeaderCells()
{
    CTreDoc doc;
    FillDoc(doc, Survey(500));
    doc.m_header[1] = "12.05.2025";
    doc.m_header[3] = "Leitung Nord";
    doc.m_header[4] = "L 4712";
    doc.m_header[7] = "Boden feucht";
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 2, A4Metrics(600, true));
    QVERIFY(d->Text("Nummer"));
    QVERIFY(!d->Text("Kunde"));
    QVERIFY(d->Text("Leitung") && d->Text("Kommentar") && d->Text("Datum") && d->Text(QString::fromUtf8("Maßstab")));
    QCOMPARE(d->Text("L 4712")->colour, QColor(0, 0, 255));
    QCOMPARE(d->Text("12.05.2025")->colour, QColor(0, 0, 255));
    QVERIFY(d->Text("Leitung Nord") && d->Text("Boden feucht"));
    QCOMPARE(d->Text("1: 1000")->colour, QColor(Qt::black));
    QVERIFY(d->Text("2")); // the page number
    // Header values sit in their cells: "L 4712" right of X4 and above row 1's bottom.
    const CGraphicPrint::CTitleBlock t = print.TitleBlock();
    QVERIFY(d->Text("L 4712")->pos.x() > t.x4);
    QVERIFY(d->Text("L 4712")->pos.y() < t.RowBottom(1, print.Frame().bottom));
    doc.m_bPlotHeadNumber = false;
    CGraphicPrint kunde(doc, Context());
    CPage page2;
    QVERIFY(Graphic(page2, doc, kunde, 1, A4Metrics(600, true))->Text("Kunde"));
    QVERIFY(page2.dev->Text("L 4712"));
}

void TestPages::companyTextOrLogo()
{
    CTreDoc doc;
    FillDoc(doc, Survey(500));
    {
        CGraphicPrint print(doc, Context());
        CPage page;
        CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
        QCOMPARE(d->Text("Firma Zazudoviv")->colour, QColor(0, 192, 0));
        QCOMPARE(d->Text("INTENSIVMESSUNG")->colour, QColor(192, 0, 0));
        QVERIFY(static_cast<CRecordingEngine*>(d->paintEngine())->images.empty());
    }
    {
        // A logo whose fitted factor is 1.05 is printed at its pixel size.
        CGraphicPrint probe(doc, Context());
        probe.Begin(A4Metrics(600, true));
        const CGraphicPrint::CTitleBlock t = probe.TitleBlock();
        const int ah = (t.y5 - t.v) * 9 / 10;
        const int aw = (t.x3 - t.x2) * 9 / 10;
        const int h = static_cast<int>(ah / 1.05);
        QImage logo(std::min(aw - 10, 2 * h), h, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        CGraphicPrint print(doc, Context(&logo));
        CPage page;
        CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
        const auto& images = static_cast<CRecordingEngine*>(d->paintEngine())->images;
        QCOMPARE(images.size(), size_t{1});
        QCOMPARE(images[0].size().toSize(), logo.size());
        QVERIFY(!d->Text("Firma Zazudoviv") && !d->Text("INTENSIVMESSUNG"));
    }
    {
        QImage logo(100, 50, QImage::Format_RGB32);
        logo.fill(Qt::red);
        CTablePrint print(doc, Context(nullptr, &logo));
        CPage page;
        CRecordingDevice* d = Table(page, print, 1, A4Metrics(600, false));
        QCOMPARE(static_cast<CRecordingEngine*>(d->paintEngine())->images.size(), size_t{1});
        QVERIFY(!d->Text("Firma"));
        CTablePrint plain(doc, Context());
        CPage page2;
        CRecordingDevice* d2 = Table(page2, plain, 1, A4Metrics(600, false));
        QVERIFY(d2->Text("Firma") && d2->Text("Zazudoviv"));
        QVERIFY(d2->Text("Firma")->pos.y() < d2->Text("Zazudoviv")->pos.y());
    }
}

void TestPages::monochromeIsBlack()
{
    CTreDoc doc;
    std::vector<CPrintRow> rows = Survey(500);
    rows[3].comment = "Schieber";
    FillDoc(doc, rows);
    doc.m_header[4] = "L 1";
    CPrintMetrics m = A4Metrics(300, true);
    m.bMonochrome = true;
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, m);
    QVERIFY(d->Text("Firma Zazudoviv"));
    QVERIFY(AllBlack(*d));
    CGraphicPrint colour(doc, Context());
    CPage page2;
    QVERIFY(!AllBlack(*Graphic(page2, doc, colour, 1, A4Metrics(300, true))));
}

void TestPages::axisLabels()
{
    CTreDoc doc;
    FillDoc(doc, Survey(500));
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    for (const char* s : {"  200", "  150", "  100", "   50", "    0", "  -50"}) QVERIFY2(d->Text(s), s);
    for (const char* s : {"-0.40", "-0.60", "-1.00", "-2.00"}) QVERIFY2(d->Text(s), s);
    QVERIFY(!d->Text("-2.20"));
    QVERIFY(d->Text("U") && d->Text("mV") && d->Text("Cu/CuSO") && d->Text("4") && d->Text("V"));
    // 35 ... -12 mV
    doc.m_nGradAxisMax = 35;
    doc.m_nGradAxisMin = -12;
    CGraphicPrint odd(doc, Context());
    CPage page2;
    CRecordingDevice* d2 = Graphic(page2, doc, odd, 1, A4Metrics(600, true));
    for (const char* s : {"   35", "   30", "   20", "   10", "    0", "  -10", "  -12"}) QVERIFY2(d2->Text(s), s);
}

void TestPages::metreLabelsFollowThePage()
{
    CTreDoc doc;
    FillDoc(doc, Survey(1000));
    doc.m_nPlotStart = 0;
    doc.m_nPlotEnd = 1000;
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 2, A4Metrics(600, true));
    for (const char* s : {"250", "300", "350", "400"}) QVERIFY2(d->Text(s), s);
    QVERIFY(!d->Text("260") && !d->Text("200") && !d->Text("450"));
    QCOMPARE(print.PageCount(), 5);
}

void TestPages::gradientCurveOnTheAxisScale()
{
    // 200 mV, the top of the default axis, lies on the chart's top edge.
    CTreDoc doc;
    std::vector<CPrintRow> rows;
    for (int m = 0; m <= 100; m += 10) rows.push_back({m, NO_VALUE, NO_VALUE, 2000, 2000, NO_VALUE, NO_VALUE, ""});
    FillDoc(doc, rows);
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    const int top = print.Geometry().gradTop;
    QVERIFY(LinesEndingAt(*d, QColor(0, 0, 255), top) >= 10);
    // 0 mV on the zero line
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        doc.SetGradOnL(r, 0);
        doc.SetGradOnR(r, 0);
    }
    CGraphicPrint zero(doc, Context());
    CPage page2;
    CRecordingDevice* d2 = Graphic(page2, doc, zero, 1, A4Metrics(600, true));
    const int y0
        = zero.Geometry().gradTop
          + static_cast<int>(2000 * static_cast<float>(zero.Geometry().gradBottom - zero.Geometry().gradTop) / 2500.f);
    QVERIFY(LinesEndingAt(*d2, QColor(0, 0, 255), y0) >= 10);
}

void TestPages::criterionLineStaysInTheChart()
{
    CTreDoc doc;
    FillDoc(doc, {{0}, {100}});
    doc.m_header[2] = "-850 mV";
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    const graphiclayout::CGraphicGeometry& g = print.Geometry();
    const float ps = static_cast<float>(g.potBottom - g.potTop) / 1600.f;
    const int y = g.potBottom - static_cast<int>((850 - 400) * ps);
    const int dashes = HorizontalLinesAt(*d, y);
    QVERIFY(dashes > 20); // 1/8 inch every 1/4 inch over some 250 mm
    doc.m_header[2] = "-3000 mV";
    CGraphicPrint outside(doc, Context());
    CPage page2;
    CRecordingDevice* d2 = Graphic(page2, doc, outside, 1, A4Metrics(600, true));
    const int y2 = g.potBottom - static_cast<int>((3000 - 400) * ps);
    QCOMPARE(HorizontalLinesAt(*d2, y2), 0);
}

void TestPages::irFreeOutsideWindowBreaksCurve()
{
    CTreDoc doc;
    std::vector<CPrintRow> rows;
    for (int m = 0; m <= 100; m += 10) rows.push_back({m, -1200, -900, 80, 60, 10, 8, ""});
    FillDoc(doc, rows);
    doc.m_bPlotGradDiff = false;
    auto greenInPotential = [&](CTreDoc& dd) {
        CGraphicPrint print(dd, Context());
        CPage page;
        CRecordingDevice* d = Graphic(page, dd, print, 1, A4Metrics(600, true));
        int n = 0;
        for (const CRecLine& l : static_cast<CRecordingEngine*>(d->paintEngine())->lines)
            if (l.colour == QColor(0, 255, 0) && l.line.y1() >= print.Geometry().potTop
                && l.line.y1() <= print.Geometry().potBottom)
                ++n;
        return n;
    };
    const int32_t ir = doc.GetPotIRFree(1);
    QVERIFY(IsPresent(ir));
    QVERIFY(greenInPotential(doc) > 0);
    doc.m_limits[POTIR] = ir + 10;
    doc.m_limits[POTIR + 12] = ir + 100;
    QCOMPARE(greenInPotential(doc), 0);
}

void TestPages::curveSwitches()
{
    CTreDoc doc;
    FillDoc(doc, Survey(200));
    doc.m_bPlotGradDiff = false;
    doc.m_bPlotIR = false;
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    QVERIFY(!d->Text(": Ein - Aus"));
    QVERIFY(!d->Text(": IR-frei"));
    QVERIFY(d->Text(": Ein") && d->Text(": Aus"));
    for (const CRecLine& l : static_cast<CRecordingEngine*>(d->paintEngine())->lines)
        QVERIFY(l.colour != QColor(0, 255, 0));
}

void TestPages::rowsWithoutAMetreAreSkipped()
{
    // Rows without a metre between and after 0 and 100 m: they give the
    // print no range, the curve runs past them from 0 to 100 m, and their
    // comment stands nowhere.
    CTreDoc doc;
    FillDoc(doc, {{0, -1150},
                  {NO_VALUE, -500, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, "ohne Meter"},
                  {100, -1150},
                  {NO_VALUE, -500}});
    doc.m_bPlotPotOff = doc.m_bPlotIR = doc.m_bPlotGradOn = doc.m_bPlotGradOff = doc.m_bPlotGradDiff = false;
    CGraphicPrint print(doc, Context());
    QCOMPARE(print.PageCount(), 1);
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    const graphiclayout::CGraphicGeometry& g = print.Geometry();
    const int x0 = g.X(0, g.PageStart(1)), x100 = g.X(100, g.PageStart(1));
    int joins = 0;
    for (const CRecLine& l : static_cast<CRecordingEngine*>(d->paintEngine())->lines)
        if (l.colour == QColor(0, 0, 255) && std::lround(l.line.x1()) == x0 && std::lround(l.line.x2()) == x100)
            ++joins;
    QCOMPARE(joins, 1);
    QVERIFY(!d->Text("ohne Meter"));
}

void TestPages::commentsRunUpwards()
{
    CTreDoc doc;
    std::vector<CPrintRow> rows = Survey(300);
    rows[5].comment = "Schieber";  // 50 m
    rows[21].comment = "jenseits"; // 210 m, still on the page
    FillDoc(doc, rows);
    doc.m_nPlotEnd = 440;
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    const CRecText* t = d->Text("Schieber");
    QVERIFY(t);
    QVERIFY(t->rotated);
    const graphiclayout::CGraphicGeometry& g = print.Geometry();
    const int x = g.X(50, g.PageStart(1));
    // dashes of 1/10 inch every 1/5 inch below the text, on the metre's x
    int dashes = 0;
    for (const CRecLine& l : static_cast<CRecordingEngine*>(d->paintEngine())->lines)
        if (l.line.x1() == x && l.line.x2() == x && l.line.y1() - l.line.y2() == 60) ++dashes;
    QVERIFY(dashes >= 10);
    QVERIFY(d->Text("jenseits"));
    // Page 2 starts at 220 m: neither comment is written there.
    CPage page2;
    CRecordingDevice* d2 = Graphic(page2, doc, print, 2, A4Metrics(600, true));
    QVERIFY(!d2->Text("Schieber"));
}

void TestPages::qmLine()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    doc.m_qm[4].clear();
    CGraphicPrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Graphic(page, doc, print, 1, A4Metrics(600, true));
    QVERIFY(d->Text(QString::fromUtf8("PC: Prüfplatz TS 3.018 07.03.26")));
    doc.m_qm[2] = "TF-12";
    doc.m_qm[3] = "Nr. 3318";
    doc.m_qm[4] = "E-27";
    QCOMPARE(QmLineText(doc, Context()),
             QString::fromUtf8("Logato: TF-12 Nr. 3318 E-27 / PC: Prüfplatz TS 3.018 07.03.26"));
    doc.m_bPlotQM = false;
    CGraphicPrint none(doc, Context());
    CPage page2;
    QVERIFY(!Graphic(page2, doc, none, 1, A4Metrics(600, true))->Text(QmLineText(doc, Context())));
    // The table print writes it right-aligned below the frame.
    doc.m_bTabQM = true;
    CTablePrint table(doc, Context());
    CPage page3;
    const CRecText* q = Table(page3, table, 1, A4Metrics(600, false))->Text(QmLineText(doc, Context()));
    QVERIFY(q);
    QVERIFY(q->pos.y() > table.Frame().bottom);
}

void TestPages::tableHeaderBlock()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    doc.m_header[5] = "0";
    doc.m_header[6] = "100";
    doc.m_header[4] = "K 7";
    doc.m_bTabHeadNumber = false;
    CTablePrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Table(page, print, 1, A4Metrics(600, false));
    QVERIFY(d->Text("INTENSIVMESSUNG") && !d->Text("FEHLERLISTE"));
    QVERIFY(d->Text("Kunde") && !d->Text("Nummer"));
    QVERIFY(d->Text(":   K 7"));
    QVERIFY(d->Text(":   0 - 100"));
    QVERIFY(d->Text(": 1"));
    QVERIFY(d->Text("Messmeter") && d->Text("[ m ]") && d->Text("[ V ]") && d->Text("[ mV ]") && d->Text("Diff."));
    QVERIFY(!d->Text("[ ____ / ____ ]"));
    doc.m_bTabErrList = true;
    doc.m_bTabArial = false;
    CTablePrint errors(doc, Context());
    CPage page2;
    CRecordingDevice* d2 = Table(page2, errors, 1, A4Metrics(600, false));
    QVERIFY(d2->Text("FEHLERLISTE"));
    QCOMPARE(d2->Count("[...../.....]"), 6);
    QVERIFY(d2->Text("Potential  [ V ]") && d2->Text("Gradient  [ mV ]") && d2->Text("IR-frei "));
    QCOMPARE(errors.RowsPerPage(), 43);
}

void TestPages::tableRowsAndPages()
{
    CTreDoc doc;
    FillDoc(doc, Survey(460)); // 47 rows
    CTablePrint print(doc, Context());
    QCOMPARE(print.PageCount(), 2);
    CPage page;
    CRecordingDevice* d = Table(page, print, 2, A4Metrics(600, false));
    const CRecText* row47 = d->Text(QString::fromStdString(doc.FormatMeter(47)));
    QVERIFY(row47);
    QVERIFY(!d->Text(QString::fromStdString(doc.FormatMeter(46))));
    // Line 1 of the page: 0.2 line heights below the table's top.
    QCOMPARE(print.LineY(47, 2), static_cast<int>(print.Geometry().z + 0.2 * print.LineHeight()));
    QVERIFY(std::abs(row47->pos.y() - print.LineY(47, 2)) < print.LineHeight());
}

void TestPages::tableErrorListGaps()
{
    CTreDoc doc;
    std::vector<CPrintRow> rows = Survey(110);
    for (int r : {1, 4, 5, 9}) rows[static_cast<size_t>(r - 1)].potOn = -500;
    FillDoc(doc, rows);
    doc.m_limits[POTE] = -1500;
    doc.m_limits[POTE + 12] = -1000;
    doc.m_bTabErrList = true;
    CTablePrint print(doc, Context());
    CPage page;
    CRecordingDevice* d = Table(page, print, 1, A4Metrics(600, false));
    QCOMPARE(print.PageLines(1), (std::vector<int>{2, 3, 0, 6, 7, 8, 0, 10, 11, 12}));
    const CRecText* row2 = d->Text(QString::fromStdString(doc.FormatMeter(2)));
    const CRecText* row6 = d->Text(QString::fromStdString(doc.FormatMeter(6)));
    QVERIFY(row2 && row6);
    QVERIFY(!d->Text(QString::fromStdString(doc.FormatMeter(1))));
    QCOMPARE(qRound(row6->pos.y() - row2->pos.y()), 3 * print.LineHeight());
    QVERIFY(d->Text("[ -1.00 / -1.50 ]"));
}

void TestPages::tableGreyLinesAndColumns()
{
    CTreDoc doc;
    FillDoc(doc, Survey(100));
    auto fills = [](CRecordingDevice* d) {
        int n = 0;
        for (const auto& f : static_cast<CRecordingEngine*>(d->paintEngine())->fills)
            n += f.colour == QColor(192, 192, 192);
        return n;
    };
    auto verticalLines = [](CRecordingDevice* d) {
        int n = 0;
        for (const CRecLine& l : static_cast<CRecordingEngine*>(d->paintEngine())->lines)
            n += l.line.x1() == l.line.x2();
        return n;
    };
    CTablePrint grey(doc, Context());
    CPage p1;
    CRecordingDevice* d1 = Table(p1, grey, 1, A4Metrics(600, false));
    QCOMPARE(fills(d1), 23); // lines 2, 4, ... 46
    QVERIFY(d1->Text("IR-frei"));
    const int plainVerticals = verticalLines(d1);
    doc.m_bTabLinesGW = false;
    doc.m_bTabIR = false;
    doc.m_bTabLR = true;
    CTablePrint white(doc, Context());
    CPage p2;
    CRecordingDevice* d2 = Table(p2, white, 1, A4Metrics(600, false));
    QCOMPARE(fills(d2), 0);
    QVERIFY(!d2->Text("IR-frei"));
    QCOMPARE(verticalLines(d2), plainVerticals + 2);
    // Left and right values on either side of the sub-column centre.
    const CTablePrint::CGeometry g = white.Geometry();
    const CRecText* left = d2->Text(QString::fromStdString(doc.FormatGradOnL(1)));
    QVERIFY(left);
    QVERIFY(left->pos.x() < g.cols.ge);
}

void TestPages::jobDrivesPagesOnAPrinter()
{
    CTreDoc doc;
    FillDoc(doc, Survey(460));
    CPrintJob job(EPrintKind::Table, doc, Context());
    QCOMPARE(job.OnPreparePrinting(false), 2);
    CPrintJob graphic(EPrintKind::Graphic, doc, Context());
    doc.m_nPlotStart = 0;
    doc.m_nPlotEnd = 460;
    QCOMPARE(graphic.OnPreparePrinting(false), 3);
    QVERIFY(IsLandscape(EPrintKind::Graphic) && !IsLandscape(EPrintKind::Table));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pages.moc"
