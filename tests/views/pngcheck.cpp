// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a picture the render command wrote, as a user looking at it would:
//   tres-pngcheck FILE WIDTHxHEIGHT RRGGBB:MIN ...
// The picture must have exactly that size and at least MIN pixels of each
// colour named. Exit 0 when it does; otherwise what is wrong, and 1.
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE WIDTHxHEIGHT RRGGBB:MIN ...\n", argv[0]);
        return 1;
    }
    const QImage img(QString::fromLocal8Bit(argv[1]));
    if (img.isNull()) {
        std::fprintf(stderr, "%s: no picture\n", argv[1]);
        return 1;
    }
    const QString want = QString::fromLatin1(argv[2]);
    const QString got = QStringLiteral("%1x%2").arg(img.width()).arg(img.height());
    int failures = 0;
    if (got != want) {
        std::fprintf(stderr, "%s: size %s, expected %s\n", argv[1], qPrintable(got), qPrintable(want));
        ++failures;
    }
    for (int k = 3; k < argc; ++k) {
        const QStringList spec = QString::fromLatin1(argv[k]).split(QLatin1Char(':'));
        const QColor colour(QLatin1Char('#') + spec.value(0));
        bool ok = false;
        const int least = spec.value(1).toInt(&ok);
        if (spec.size() != 2 || !colour.isValid() || !ok) {
            std::fprintf(stderr, "bad colour argument %s\n", argv[k]);
            return 1;
        }
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xffffff) == (colour.rgb() & 0xffffff);
        if (n < least) {
            std::fprintf(stderr, "%s: %d pixels of #%s, expected at least %d\n", argv[1], n, qPrintable(spec[0]),
                         least);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
