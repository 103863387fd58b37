// SPDX-License-Identifier: GPL-3.0-or-later
// The demo's map as the window paints it: the track in the verdict's colours
// where the stretches are, the defects' triangles in their dig-list order
// with their numbers, and a scale bar true to the picture.
#include "mapscene.h"
#include "mapview.h"
#include "surveybinding.h"
#include "surveyopen.h"
#include "tredoc.h"
#include "verdict.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

using namespace tresmap;

namespace {

const QColor kProtected(60, 170, 60), kUnprotected(225, 45, 45), kNotAssessed(140, 140, 140), kTriangle(230, 120, 0);

bool Same(QRgb a, const QColor& c) { return (a & 0xffffff) == (c.rgb() & 0xffffff); }

// Pixels of `c` within `r` pixels of `at`.
int Count(const QImage& img, QPointF at, int r, const QColor& c)
{
    int n = 0;
    for (int y = qRound(at.y()) - r; y <= qRound(at.y()) + r; ++y)
        for (int x = qRound(at.x()) - r; x <= qRound(at.x()) + r; ++x)
            n += img.rect().contains(x, y) && Same(img.pixel(x, y), c);
    return n;
}

// The centre of the pixels of `c` within `r` pixels of `at`.
QPointF Centre(const QImage& img, QPointF at, int r, const QColor& c)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = qRound(at.y()) - r; y <= qRound(at.y()) + r; ++y)
        for (int x = qRound(at.x()) - r; x <= qRound(at.x()) + r; ++x)
            if (img.rect().contains(x, y) && Same(img.pixel(x, y), c)) {
                sx += x;
                sy += y;
                ++n;
            }
    return n ? QPointF(sx / n, sy / n) : QPointF();
}

} // namespace

class TestMapPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void trackInTheVerdictsColours();
    void defectTrianglesWithTheirNumbers();
    void scaleBarIsTrueToThePicture();

private:
    // Where the survey row at `metre` (1 m spacing from 0) is drawn.
    QPointF At(int metre) const { return m_view.ToWidget(*m_scene->rows[static_cast<size_t>(metre)]); }

    CTreDoc m_doc;
    std::shared_ptr<const SMapScene> m_scene;
    CMapView m_view;
    QImage m_img;
};

void TestMapPicture::initTestCase()
{
    QVERIFY(tresimport::OpenSurvey(m_doc, TRES_SAMPLES_DIR "/demo.tsd"));
    const trespipeline::SSurveyBinding b
        = trespipeline::BindSurveyToFile(m_doc, TRES_SAMPLES_DIR "/demo-leitung.geojson");
    QVERIFY(b.ok);
    const SVerdict v = AssessProtection(m_doc, SVerdictSettings(), nullptr, &b.overrides);
    m_scene = std::make_shared<const SMapScene>(BuildMapScene(m_doc, &v, b));
    QCOMPARE(m_scene->rows.size(), size_t{2401});
    m_view.resize(1000, 700);
    m_view.SetScene(m_scene);
    m_img = QImage(m_view.size(), QImage::Format_RGB32);
    m_view.render(&m_img);
    const QByteArray look = qgetenv("TRES_LOOK_DIR");
    if (!look.isEmpty()) m_img.save(QString::fromLocal8Bit(look) + QStringLiteral("/demo-map.png"));
}

void TestMapPicture::trackInTheVerdictsColours()
{
    // The whole route: protected at 100 m, no off potential over 596-607 m.
    QVERIFY(Count(m_img, At(100), 1, kProtected) > 0);
    QCOMPARE(Count(m_img, At(100), 1, kUnprotected), 0);
    QVERIFY(Count(m_img, At(601), 1, kNotAssessed) > 0);
    QCOMPARE(Count(m_img, At(601), 1, kProtected), 0);

    // Eight times closer about the worst defect (1181 m), whose triangle
    // covers the stretch around it on the whole map: not protected over
    // 1170-1188 m (off potential above -850 mV), protected before it.
    const QPointF defect = At(1181);
    QWheelEvent wheel(defect, QPointF(), QPoint(), QPoint(0, 720), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QCoreApplication::sendEvent(&m_view, &wheel);
    QImage close(m_view.size(), QImage::Format_RGB32);
    m_view.render(&close);
    const QByteArray look = qgetenv("TRES_LOOK_DIR");
    if (!look.isEmpty()) close.save(QString::fromLocal8Bit(look) + QStringLiteral("/demo-map-1181.png"));
    for (int metre : {1173, 1186}) {
        QVERIFY2(Count(close, At(metre), 1, kUnprotected) > 0, qPrintable(QString::number(metre)));
        QVERIFY2(Count(close, At(metre), 1, kProtected) == 0, qPrintable(QString::number(metre)));
    }
    QVERIFY(Count(close, At(1160), 1, kProtected) > 0);
    QCOMPARE(Count(close, At(1160), 1, kUnprotected), 0);
    // Back to the whole map for the other checks.
    m_view.Fit();
}

void TestMapPicture::defectTrianglesWithTheirNumbers()
{
    // The dig list's order: the unprotected category II defects first.
    const int metres[6] = {1181, 229, 2306, 741, 1888, 1395};
    QCOMPARE(m_scene->defects.size(), size_t{6});
    for (int k = 0; k < 6; ++k) {
        const SMapDefect& d = m_scene->defects[static_cast<size_t>(k)];
        QCOMPARE(d.priority, k + 1);
        QCOMPARE(d.metre, metres[k]);
        // A filled triangle at the defect (13 px high, 14 wide), its
        // number in black on white above it.
        const QPointF at = At(metres[k]);
        QVERIFY2(Count(m_img, at + QPointF(0, -2), 5, kTriangle) > 40, qPrintable(QString::number(k + 1)));
        const QRect label(qRound(at.x()) - 8, qRound(at.y()) - 30, 17, 20);
        int dark = 0, white = 0;
        for (int y = label.top(); y <= label.bottom(); ++y)
            for (int x = label.left(); x <= label.right(); ++x) {
                dark += qGray(m_img.pixel(x, y)) < 100;
                white += Same(m_img.pixel(x, y), Qt::white);
            }
        QVERIFY2(dark > 5 && white > 20, qPrintable(QString::number(k + 1)));
    }
}

void TestMapPicture::scaleBarIsTrueToThePicture()
{
    // The picture's own scale: two triangles' centres in pixels against
    // their rows' places in metres.
    const auto ground = [&](int metre) { return *m_scene->rows[static_cast<size_t>(metre)]; };
    const QPointF a = Centre(m_img, At(229), 9, kTriangle), b = Centre(m_img, At(2306), 9, kTriangle);
    const double metres = std::hypot(ground(2306).e - ground(229).e, ground(2306).n - ground(229).n);
    const double perPixel = metres / std::hypot(b.x() - a.x(), b.y() - a.y());

    // Bottom left: a bar 5 px high, its left half black, its right half
    // white inside a black frame.
    const int y = m_img.height() - 16;
    QVERIFY(Same(m_img.pixel(13, y), Qt::black));
    int x = 13;
    while (x < m_img.width() && Same(m_img.pixel(x, y), Qt::black)) ++x;
    const int half = x - 12;
    QVERIFY(half > 10);
    QVERIFY(Same(m_img.pixel(x + half / 2, y), Qt::white));
    QVERIFY(Same(m_img.pixel(12 + 2 * half, y), Qt::black));
    // Its length on the ground is a round one, 1, 2 or 5 times a power of
    // ten, to within a pixel.
    const double length = 2 * half * perPixel;
    const double power = std::pow(10.0, std::floor(std::log10(length)));
    bool round = false;
    for (double f : {1.0, 2.0, 5.0, 10.0}) round = round || std::abs(length - f * power) < 2 * perPixel;
    QVERIFY2(round, qPrintable(QString::number(length)));
    // Its label above it.
    int dark = 0;
    for (int yy = y - 20; yy < y - 3; ++yy)
        for (int xx = 12; xx < 60; ++xx) dark += qGray(m_img.pixel(xx, yy)) < 100;
    QVERIFY(dark > 10);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestMapPicture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mappicture.moc"
