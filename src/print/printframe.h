// SPDX-License-Identifier: GPL-3.0-or-later
// What both printouts share: the printer's measurements, the page frame
// measured from the paper edges, millimetre and point conversions, text
// placed the way the classic device contexts align it, the company text and
// the QM line below the frame.
#pragma once

#include "graphiclayout.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QPen>
#include <QString>

#include <utility>

class CTreDoc;
class QPainter;
class QPrinter;

struct CPrintMetrics {
    int dpx = 600, dpy = 600;          // pixels per inch
    bool bMonochrome = false;          // fewer than 3 colours
    int offsetX = 0, offsetY = 0;      // unprintable margin left / top
    int physWidth = 0, physHeight = 0; // the paper, device units
};

// The measurements of `printer` as it is set up now (resolution, colour
// mode, paper and printable area in device pixels).
CPrintMetrics MeasurePrinter(const QPrinter& printer);
// A device without unprintable margins, for pictures of pages: A4 at `dpi`,
// landscape or portrait.
CPrintMetrics A4Metrics(int dpi, bool landscape);

struct CPageMargins {
    int left, right, top, bottom;
}; // whole millimetres
inline constexpr CPageMargins kGraphicMargins{18, 18, 23, 12};
inline constexpr CPageMargins kTableMargins{20, 15, 15, 20};

// The page frame in device coordinates of the printable area.
graphiclayout::CDeviceFrame ComputeFrame(const CPrintMetrics& m, const CPageMargins& mm);

// base + a millimetres, horizontally / vertically, truncated toward zero.
int MmX(const CPrintMetrics& m, double base, double mm);
int MmY(const CPrintMetrics& m, double base, double mm);
// A distance of a millimetres, truncated.
int MmDX(const CPrintMetrics& m, double mm);
int MmDY(const CPrintMetrics& m, double mm);

// A font of character height dpy * points / 72 (integer division).
QFont PointFont(const CPrintMetrics& m, int points, int weight = 400, bool arial = true);
// A font of the given character height in device units.
QFont HeightFont(int pixelHeight, int weight, bool arial);
// A font whose cell (ascent + descent) is `cellHeight` device units.
QFont CellHeightFont(int cellHeight, int weight);

// Text alignment flags as the classic device contexts combine them.
enum ETextAlign : unsigned {
    TA_LEFT = 0,
    TA_CENTER = 1,
    TA_RIGHT = 2,
    TA_TOP = 0,
    TA_BOTTOM = 4,
    TA_BASELINE = 8,
};
// Writes `text` with its reference point at (x, y).
void TextOut(QPainter& p, int x, int y, const QString& text, unsigned align);
int TextWidth(QPainter& p, const QString& text);
int TextHeight(QPainter& p);

// Solid pen of width dpy / 100 with round ends, like a wide cosmetic pen.
QPen PrintPen(const CPrintMetrics& m, const QColor& colour);
// Black on a monochrome device, `colour` elsewhere.
QColor DeviceColour(const CPrintMetrics& m, const QColor& colour);

// Line drawing with a current point.
class CPenCursor {
public:
    explicit CPenCursor(QPainter& p)
        : m_p(p)
    { }
    void MoveTo(int x, int y)
    {
        m_x = x;
        m_y = y;
    }
    void LineTo(int x, int y);
    // The point mark of the prints at the current point; the current
    // point stays where it was.
    void PointMark(const CPrintMetrics& m);
    int X() const { return m_x; }
    int Y() const { return m_y; }

private:
    QPainter& m_p;
    int m_x = 0, m_y = 0;
};

// "Firma Zazudoviv".
QString CompanyText();
QString CompanyFirst();  // "Firma"
QString CompanySecond(); // "Zazudoviv"
// "INTENSIVMESSUNG" (the second title line is a single blank).
QString TitleText();

// What the prints take from outside the document.
struct CPrintContext {
    const class QImage* plotLogo = nullptr;  // "plot.bmp" when loaded
    const class QImage* tableLogo = nullptr; // "tabelle.bmp" when loaded
    QString company;                         // the report settings' company; empty: "Firma Zazudoviv"
    QString installationLabel;               // after "PC: "
    QDate today;                             // the QM line's date
};

// The company a print names: the one set, else "Firma Zazudoviv"; in one
// line, and in the table's two (split at the blank nearest the middle; a
// single word stays on the first).
QString CompanyText(const CPrintContext& ctx);
std::pair<QString, QString> CompanyLines(const CPrintContext& ctx);

// The installation label every print shows after "PC: ": this computer's
// host name.
QString DefaultInstallationLabel();

// The QM line's text.
QString QmLineText(const CTreDoc& doc, const CPrintContext& ctx);
// Writes it right-aligned just below the frame in the current font.
void DrawQmLine(QPainter& p, const graphiclayout::CDeviceFrame& f, const CTreDoc& doc, const CPrintContext& ctx);
