// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of the map, without Qt: where a ground point (easting and
// northing in m, the binding's grid) lies in the widget (pixels, y down),
// zooming about a point and panning, the length of the scale bar, and which
// mark a click hits. The widget (mapview.h) only draws what this computes.
#pragma once

#include <string>
#include <vector>

namespace tresmap {

struct SGroundPoint {
    double e = 0, n = 0; // m
};

struct SScreenPoint {
    double x = 0, y = 0; // pixels from the widget's top left, y down
};

struct SGroundBox {
    bool valid = false;
    double minE = 0, minN = 0, maxE = 0, maxN = 0;
    void Add(const SGroundPoint& p);
};

// The view: the ground point at the widget's centre and the metres one
// pixel spans, the same across and up (the grid is conformal).
class CMapTransform {
public:
    // Limits of the scale: a pixel spans at least 1 cm (closer than any
    // survey row spacing needs) and at most 10 km.
    static constexpr double kMinMetresPerPixel = 0.01;
    static constexpr double kMaxMetresPerPixel = 10000;
    // A box without extent (a single point) is shown this wide.
    static constexpr double kMinFitExtent = 100; // m

    void SetViewport(double width, double height);
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    double MetresPerPixel() const { return m_mpp; }
    SGroundPoint Centre() const { return m_centre; }
    void SetView(SGroundPoint centre, double metresPerPixel);

    SScreenPoint ToScreen(const SGroundPoint& p) const;
    SGroundPoint ToGround(const SScreenPoint& p) const;

    // The whole box in the viewport, `margin` pixels clear of every edge.
    void Fit(const SGroundBox& box, double margin);
    // Larger than 1 zooms in; the ground point under `at` stays under it
    // (unless the scale hits its limit, which only shortens the step).
    void ZoomAbout(const SScreenPoint& at, double factor);
    // The picture moves `dx`, `dy` pixels with the pointer.
    void Pan(double dx, double dy);

private:
    double m_width = 1, m_height = 1;
    SGroundPoint m_centre;
    double m_mpp = 1;
};

// The scale bar: the longest of 1, 2 and 5 times a power of ten metres
// (…, 10, 20, 50, 100, 200, 500 m, 1 km, …) that fits in `maxPixels`, at
// least 1 cm.
double ScaleBarLength(double metresPerPixel, double maxPixels);
// "50 m", "500 m", "1 km", "20 km"; lengths below 1 m as "0,5 m".
std::string ScaleBarLabel(double metres);

// The index of the point nearest to `at` within `radius` pixels, -1 when
// none is; on equal distances the first.
int HitTest(const std::vector<SScreenPoint>& points, const SScreenPoint& at, double radius);

// The grid bearing (degrees clockwise from grid north) of true north, from
// two points given both as WGS 84 degrees and in the grid: what the north
// arrow points at. The points should lie a few hundred metres apart at
// most; 0 when they coincide.
double TrueNorthGridBearing(double lat1, double lon1, const SGroundPoint& g1, double lat2, double lon2,
                            const SGroundPoint& g2);

} // namespace tresmap
