// SPDX-License-Identifier: GPL-3.0-or-later
// The curve panes on a screen scaled by 2 (run with QT_SCALE_FACTOR=2):
// the picture has the screen's pixels, so texts are drawn at its
// resolution, while lines and marks keep their widths in the window's
// pixels (each one-pixel line two screen pixels wide).
#include "curvepane.h"
#include "viewsfixture.h"

#include <QTest>

#include <memory>

namespace {

const QColor kBlue(0, 0, 255), kRed(255, 0, 0);

// True when the 2 x 2 block of screen pixels at (x, y) is one colour.
bool Uniform(const QImage& img, int x, int y)
{
    const QRgb a = img.pixel(x, y) & 0xffffff;
    return (img.pixel(x + 1, y) & 0xffffff) == a && (img.pixel(x, y + 1) & 0xffffff) == a
           && (img.pixel(x + 1, y + 1) & 0xffffff) == a;
}

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT
private slots:
    void panesAreDrawnAtTheScreensResolution();
};

void TestHiDpi::panesAreDrawnAtTheScreensResolution()
{
    CTreDoc doc;
    CCountingHost host;
    doc.SetHost(&host);
    std::vector<CRowData> rows = EvenSurvey(400, 2);
    for (size_t i = 0; i < rows.size(); i += 25) rows[i].comment = "Prüfstelle " + std::to_string(i);
    FillDoc(doc, rows);
    std::unique_ptr<CTrePrintView> panes[2]
        = {std::make_unique<CTrePrintView>(doc), std::make_unique<CTrePrintView>(doc)};
    for (auto& pane : panes) {
        host.AddView(pane.get());
        pane->resize(640, 360);
    }
    host.InitialUpdateAll();
    for (auto& pane : panes) {
        pane->show();
        QCOMPARE(pane->devicePixelRatioF(), 2.0);
        const QImage screen = pane->grab().toImage();
        QCOMPARE(screen.size(), QSize(1280, 720));
        // The same pane drawn at one pixel per window pixel.
        QImage plain(pane->size(), QImage::Format_RGB32);
        pane->render(&plain);

        // Sharp: the texts have details finer than a window pixel, which a
        // picture drawn at window pixels and blown up would not have. Only
        // the picture counts, not the scroll bars and buttons around it.
        int fine = 0;
        for (int y = 0; y + 1 < screen.height() - 2 * 20; y += 2)
            for (int x = 2 * 20; x + 1 < screen.width(); x += 2)
                if (!Uniform(screen, x, y)) ++fine;
        QVERIFY2(fine > 100, qPrintable(QString::number(fine)));
        // The curves keep the pixel rules in window pixels: every pixel of
        // the plain picture is a block of four on the screen.
        for (const QColor& c : {kBlue, kRed}) {
            if (pane->IsGradientPane() && c == kRed) continue; // no red where the gradient Aus is flat
            const int once = CountColor(plain, 0, 0, plain.width() - 1, plain.height() - 1, c);
            QVERIFY(once > 100);
            QCOMPARE(CountColor(screen, 0, 0, screen.width() - 1, screen.height() - 1, c), 4 * once);
        }
        pane->hide();
    }
    for (auto& pane : panes) host.RemoveView(pane.get());
    doc.SetHost(nullptr);
}

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
