// SPDX-License-Identifier: GPL-3.0-or-later
// The curve panes write their pixels straight into the backing image and
// copy rasterised texts; the painter's own drawing is the reference. Random
// lines, texts and surveys are drawn both ways and must give the same image.
#include "curvepainter.h"
#include "gdilines.h"
#include "rastertarget.h"
#include "textstamps.h"
#include "viewsfixture.h"

#include <QPicture>
#include <QTest>

#include <random>

namespace {

const QColor kColours[] = {QColor(0, 0, 255), QColor(255, 0, 0), QColor(0, 255, 0), QColor(128, 128, 128)};

// Draws through `fn` onto a white image, straight or - through a picture,
// which is no image - by the painter's fills and texts.
template <typename Fn> QImage Paint(QSize size, QRect clip, bool direct, Fn fn)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (direct) {
        QPainter p(&image);
        p.setClipRect(clip);
        fn(p);
        return image;
    }
    QPicture picture;
    {
        QPainter p(&picture);
        p.setClipRect(clip);
        fn(p);
    }
    QPainter p(&image);
    p.drawPicture(0, 0, picture);
    return image;
}

int Differences(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) ++n;
    return n;
}

QFont PaneFont(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferOutline));
    f.setPixelSize(pixels);
    return f;
}

} // namespace

class TestFastPaint : public QObject {
    Q_OBJECT
private slots:
    void linesGiveThePaintersPixels();
    void onlyPlainImagesAreWrittenDirectly();
    void stampedTextsGiveThePaintersPixels();
    void mergedColumnsGiveTheSamePicture();
};

void TestFastPaint::linesGiveThePaintersPixels()
{
    // Short and long lines in every direction, dotted and solid, some from
    // far outside the picture, under clips that cut them.
    std::mt19937 rng(11);
    const QSize size(160, 120);
    for (int round = 0; round < 60; ++round) {
        std::uniform_int_distribution<int> coord(-40, 200), far(-100000, 100000), pick(0, 9);
        const QRect clip(
            std::uniform_int_distribution<int>(-10, 80)(rng), std::uniform_int_distribution<int>(-10, 60)(rng),
            std::uniform_int_distribution<int>(1, 180)(rng), std::uniform_int_distribution<int>(1, 140)(rng));
        std::vector<std::array<int, 6>> lines;
        for (int i = 0; i < 40; ++i) {
            auto c = [&] { return pick(rng) == 0 ? far(rng) : coord(rng); };
            const int x0 = c(), y0 = c();
            const int kind = pick(rng);
            const int x1 = kind == 1 ? x0 : c(), y1 = kind == 2 ? y0 : c();
            lines.push_back({x0, y0, x1, y1, pick(rng) < 3 ? 1 : 0, pick(rng) % 4});
        }
        // Lines along and across each edge of the clip, starting a few
        // pixels either side of it, where the walk has to find its phase.
        for (int d = -4; d <= 4; ++d) {
            const int dotted = d % 2 == 0;
            for (int e : {clip.top(), clip.bottom()}) {
                lines.push_back({clip.left() + 3, e + d, clip.left() + 3, e + d + 17 * (d < 0 ? 1 : -1), dotted, 0});
                lines.push_back({clip.left() + 5, e + d, clip.left() + 5, e + d + 17 * (d < 0 ? -1 : 1), 1, 1});
            }
            for (int e : {clip.left(), clip.right()}) {
                lines.push_back({e + d, clip.top() + 2, e + d + 17 * (d < 0 ? 1 : -1), clip.top() + 2, dotted, 2});
                lines.push_back({e + d, clip.top() + 4, e + d + 17 * (d < 0 ? -1 : 1), clip.top() + 4, 1, 3});
            }
        }
        auto draw = [&](QPainter& p) {
            CGdiLines g(p);
            for (const auto& l : lines) {
                g.SetColor(kColours[l[5]]);
                g.SetDotted(l[4] != 0);
                g.MoveTo(l[0], l[1]);
                g.LineTo(l[2], l[3]);
                g.Column(l[0], std::min(l[1], l[3]), std::max(l[1], l[3]));
            }
        };
        const QImage direct = Paint(size, clip, true, draw), painted = Paint(size, clip, false, draw);
        QCOMPARE(Differences(direct, painted), 0);
    }
}

void TestFastPaint::onlyPlainImagesAreWrittenDirectly()
{
    QImage rgb(10, 10, QImage::Format_RGB32), indexed(10, 10, QImage::Format_Indexed8);
    {
        QPainter p(&rgb);
        QVERIFY(CGdiLines(p).WritesPixels());
        p.rotate(90);
        QVERIFY(!CGdiLines(p).WritesPixels());
    }
    indexed.setColorCount(2);
    QPainter p(&indexed);
    QVERIFY(!CGdiLines(p).WritesPixels());
}

void TestFastPaint::stampedTextsGiveThePaintersPixels()
{
    // Labels and comments as the panes draw them, across and upward, at
    // many positions, some cut by the clip; drawn a second time from the
    // cache as well.
    const QStringList texts{QStringLiteral("0"),
                            QStringLiteral(" 1200"),
                            QStringLiteral("-0.85"),
                            QStringLiteral("  -1.20"),
                            QStringLiteral("Prüfstelle 12"),
                            QStringLiteral("Straßenkreuzung Nord"),
                            QStringLiteral("Mauer rechts, nur links gemessen")};
    const QFont fonts[] = {PaneFont(10), PaneFont(11), PaneFont(8)};
    std::mt19937 rng(3);
    CTextStamps stamps;
    for (int round = 0; round < 40; ++round) {
        const QRect clip(std::uniform_int_distribution<int>(0, 40)(rng), std::uniform_int_distribution<int>(0, 40)(rng),
                         std::uniform_int_distribution<int>(30, 200)(rng),
                         std::uniform_int_distribution<int>(30, 200)(rng));
        struct Item {
            int text, font, x, y;
            bool upward;
            QColor colour;
        };
        std::vector<Item> items;
        for (int i = 0; i < 12; ++i)
            items.push_back({std::uniform_int_distribution<int>(0, int(texts.size()) - 1)(rng),
                             std::uniform_int_distribution<int>(0, 2)(rng),
                             std::uniform_int_distribution<int>(-30, 220)(rng),
                             std::uniform_int_distribution<int>(-30, 220)(rng), rng() % 2 == 0, kColours[rng() % 4]});
        auto draw = [&](QPainter& p, CTextStamps* s) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            const CRasterTarget target = CRasterTarget::Of(p);
            for (const Item& it : items) {
                const QFont& font = fonts[it.font];
                p.setFont(font);
                p.setPen(it.colour);
                const int baseline = QFontMetrics(font).ascent();
                const auto dir = it.upward ? CTextStamps::EDirection::Upward : CTextStamps::EDirection::Across;
                if (s) {
                    s->Draw(p, target, font, texts[it.text], it.x, it.y, baseline, dir);
                } else if (!it.upward) {
                    p.drawText(it.x, it.y + baseline, texts[it.text]);
                } else {
                    p.save();
                    p.translate(it.x, it.y);
                    p.rotate(-90);
                    p.drawText(0, baseline, texts[it.text]);
                    p.restore();
                }
            }
        };
        const QImage reference = Paint(QSize(220, 220), clip, true, [&](QPainter& p) { draw(p, nullptr); });
        for (int pass = 0; pass < 2; ++pass) {
            const QImage stamped = Paint(QSize(220, 220), clip, true, [&](QPainter& p) { draw(p, &stamps); });
            QCOMPARE(Differences(stamped, reference), 0);
        }
        QCOMPARE(stamps.Advance(fonts[0], texts[4]), QFontMetrics(fonts[0]).horizontalAdvance(texts[4]));
    }
}

void TestFastPaint::mergedColumnsGiveTheSamePicture()
{
    // Many points per pixel column (the whole survey in a small pane), with
    // gaps, values beyond the plot on both sides, and unsorted metres.
    std::mt19937 rng(5);
    for (int round = 0; round < 20; ++round) {
        std::vector<CRowData> rows;
        std::uniform_int_distribution<int> pot(-2600, 400), grad(-400, 3000), pick(0, 19);
        int m = 0;
        for (int i = 0; i < 3000; ++i) {
            m += pick(rng) == 0 ? -3 : 1;
            auto v = [&](int value) { return pick(rng) == 0 ? NO_VALUE : value; };
            rows.push_back({m, v(pot(rng)), v(pot(rng)), v(grad(rng)), v(grad(rng)), v(grad(rng)), v(grad(rng)),
                            pick(rng) == 0 ? "km " + std::to_string(m) : ""});
        }
        CTreDoc doc;
        FillDoc(doc, rows);
        for (bool gradient : {false, true}) {
            CCurveFrame f;
            f.bGradient = gradient;
            f.left = 35;
            f.top = 10;
            f.right = 265;
            f.bottom = 160;
            f.nStart = std::uniform_int_distribution<int>(-100, 1000)(rng);
            f.nSpan = std::uniform_int_distribution<int>(200, 5000)(rng);
            f.nMeterLabelStep = 500;
            f.nValueTop = gradient ? 2000 : 1600;
            f.nValueSpan = 2000;
            f.nValueLabelStep = 200;
            f.axisFont = PaneFont(11);
            f.commentFont = PaneFont(8);
            const QRect clip(0, 0, 300, 200);
            CTextStamps stamps;
            auto paint = [&](bool merge, CTextStamps* s) {
                CCurveFrame g = f;
                g.bMergeColumns = merge;
                g.pStamps = s;
                return Paint(QSize(300, 200), clip, true, [&](QPainter& p) { PaintCurves(p, doc, g); });
            };
            const QImage reference = paint(false, nullptr);
            QCOMPARE(Differences(paint(true, nullptr), reference), 0);
            QCOMPARE(Differences(paint(true, &stamps), reference), 0);
            // and by the painter alone, on a device that is no image
            CCurveFrame g = f;
            g.bMergeColumns = false;
            QCOMPARE(Differences(Paint(QSize(300, 200), clip, false, [&](QPainter& p) { PaintCurves(p, doc, g); }),
                                 reference),
                     0);
        }
    }
}

QTEST_MAIN(TestFastPaint)
#include "tst_fastpaint.moc"
