// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapgeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tresmap {

void SGroundBox::Add(const SGroundPoint& p)
{
    if (!std::isfinite(p.e) || !std::isfinite(p.n)) return;
    if (!valid) {
        minE = maxE = p.e;
        minN = maxN = p.n;
        valid = true;
        return;
    }
    minE = std::min(minE, p.e);
    maxE = std::max(maxE, p.e);
    minN = std::min(minN, p.n);
    maxN = std::max(maxN, p.n);
}

void CMapTransform::SetViewport(double width, double height)
{
    m_width = std::max(1.0, width);
    m_height = std::max(1.0, height);
}

void CMapTransform::SetView(SGroundPoint centre, double metresPerPixel)
{
    m_centre = centre;
    m_mpp = std::clamp(metresPerPixel, kMinMetresPerPixel, kMaxMetresPerPixel);
}

SScreenPoint CMapTransform::ToScreen(const SGroundPoint& p) const
{
    return {m_width / 2 + (p.e - m_centre.e) / m_mpp, m_height / 2 - (p.n - m_centre.n) / m_mpp};
}

SGroundPoint CMapTransform::ToGround(const SScreenPoint& p) const
{
    return {m_centre.e + (p.x - m_width / 2) * m_mpp, m_centre.n - (p.y - m_height / 2) * m_mpp};
}

void CMapTransform::Fit(const SGroundBox& box, double margin)
{
    if (!box.valid) return;
    const double w = std::max(1.0, m_width - 2 * margin), h = std::max(1.0, m_height - 2 * margin);
    const double extentE = std::max(box.maxE - box.minE, 0.0), extentN = std::max(box.maxN - box.minN, 0.0);
    double mpp = std::max(extentE / w, extentN / h);
    if (std::max(extentE, extentN) <= 0) mpp = kMinFitExtent / std::min(w, h);
    SetView({(box.minE + box.maxE) / 2, (box.minN + box.maxN) / 2}, mpp);
}

void CMapTransform::ZoomAbout(const SScreenPoint& at, double factor)
{
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const SGroundPoint fixed = ToGround(at);
    m_mpp = std::clamp(m_mpp / factor, kMinMetresPerPixel, kMaxMetresPerPixel);
    // The centre moves so that `fixed` lands on `at` again at the new scale.
    m_centre = {fixed.e - (at.x - m_width / 2) * m_mpp, fixed.n + (at.y - m_height / 2) * m_mpp};
}

void CMapTransform::Pan(double dx, double dy)
{
    m_centre.e -= dx * m_mpp;
    m_centre.n += dy * m_mpp;
}

double ScaleBarLength(double metresPerPixel, double maxPixels)
{
    const double most = metresPerPixel * maxPixels;
    if (!(most >= 0.01) || !std::isfinite(most)) return 0.01;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= most) return step * power;
    return power;
}

std::string ScaleBarLabel(double metres)
{
    const auto whole = [](double v) { return std::to_string(std::llround(v)); };
    if (metres >= 1000) return whole(metres / 1000) + " km";
    if (metres >= 1) return whole(metres) + " m";
    // 0,5 m, 0,2 m, 0,1 m, 0,05 m ...: as many places as the step needs.
    std::string text = std::to_string(metres);
    text.erase(text.find_last_not_of('0') + 1);
    std::replace(text.begin(), text.end(), '.', ',');
    return text + " m";
}

int HitTest(const std::vector<SScreenPoint>& points, const SScreenPoint& at, double radius)
{
    int best = -1;
    double bestDistance = radius * radius;
    for (size_t i = 0; i < points.size(); ++i) {
        const double dx = points[i].x - at.x, dy = points[i].y - at.y;
        const double d = dx * dx + dy * dy;
        if (d < bestDistance || (best < 0 && d == bestDistance)) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return best;
}

double TrueNorthGridBearing(double lat1, double lon1, const SGroundPoint& g1, double lat2, double lon2,
                            const SGroundPoint& g2)
{
    constexpr double rad = std::numbers::pi / 180;
    // The true bearing on the sphere: over a few hundred metres it differs
    // from the ellipsoid's by far less than the arrow can show.
    const double dLon = (lon2 - lon1) * rad;
    const double y = std::sin(dLon) * std::cos(lat2 * rad);
    const double x
        = std::cos(lat1 * rad) * std::sin(lat2 * rad) - std::sin(lat1 * rad) * std::cos(lat2 * rad) * std::cos(dLon);
    const double dE = g2.e - g1.e, dN = g2.n - g1.n;
    if ((x == 0 && y == 0) || (dE == 0 && dN == 0)) return 0;
    const double trueBearing = std::atan2(y, x) / rad;
    const double gridBearing = std::atan2(dE, dN) / rad;
    double b = gridBearing - trueBearing;
    while (b > 180) b -= 360;
    while (b <= -180) b += 360;
    return b;
}

} // namespace tresmap
