// SPDX-License-Identifier: GPL-3.0-or-later
#include "crs.h"

#include "projlib.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace trespipeline {

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<int> Code(std::string_view digits)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec != std::errc() || end != digits.data() + digits.size() || v <= 0) return std::nullopt;
    return v;
}

} // namespace

std::optional<int> EpsgFromCrsName(std::string_view name)
{
    const std::string s = Lower(name);
    if (s == "urn:ogc:def:crs:ogc:1.3:crs84" || s == "urn:ogc:def:crs:ogc::crs84" || s == "ogc:crs84" || s == "crs84")
        return kWgs84Epsg;
    if (s.starts_with("epsg:")) return Code(std::string_view(s).substr(5));
    static const std::string kUrn = "urn:ogc:def:crs:epsg:";
    if (s.starts_with(kUrn)) {
        // urn:ogc:def:crs:EPSG:<version>:<code>, the version often empty
        const std::string_view rest = std::string_view(s).substr(kUrn.size());
        const size_t colon = rest.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        return Code(rest.substr(colon + 1));
    }
    return std::nullopt;
}

int UtmEpsgFor(double lon, double lat)
{
    const double l = std::clamp(lon, -180.0, 179.999999);
    const int zone = static_cast<int>(std::floor((l + 180.0) / 6.0)) + 1;
    if (zone >= 28 && zone <= 38 && lat >= 0) return 25800 + zone;
    return (lat >= 0 ? 32600 : 32700) + zone;
}

struct CCrsTransform::SImpl {
    const SProjApi& proj;
    PJ_CONTEXT* ctx = nullptr;
    PJ* pj = nullptr;
    explicit SImpl(const SProjApi& p)
        : proj(p)
    { }
    ~SImpl()
    {
        if (pj) proj.proj_destroy(pj);
        if (ctx) proj.proj_context_destroy(ctx);
    }
};

CCrsTransform::CCrsTransform(std::unique_ptr<SImpl> impl)
    : m_impl(std::move(impl))
{ }

CCrsTransform::~CCrsTransform() = default;

std::unique_ptr<CCrsTransform> CCrsTransform::Create(int fromEpsg, int toEpsg, std::string& error)
{
    const SProjApi* proj = LoadProj(error);
    if (!proj) return nullptr;
    const SProjApi& p = *proj;
    auto impl = std::make_unique<SImpl>(p);
    impl->ctx = p.proj_context_create();
    if (!impl->ctx) {
        error = "PROJ lässt sich nicht starten.";
        return nullptr;
    }
    // A library reports through its result, not on the caller's terminal.
    p.proj_log_level(impl->ctx, PJ_LOG_NONE);
    const std::string from = "EPSG:" + std::to_string(fromEpsg), to = "EPSG:" + std::to_string(toEpsg);
    for (const std::string& code : {from, to}) {
        PJ* crs = p.proj_create(impl->ctx, code.c_str());
        const bool known = crs && p.proj_is_crs(crs);
        if (crs) p.proj_destroy(crs);
        if (!known) {
            error = "Das Bezugssystem " + code + " ist PROJ nicht bekannt.";
            return nullptr;
        }
    }
    PJ* raw = p.proj_create_crs_to_crs(impl->ctx, from.c_str(), to.c_str(), nullptr);
    PJ* pj = raw ? p.proj_normalize_for_visualization(impl->ctx, raw) : nullptr;
    if (raw) p.proj_destroy(raw);
    if (!pj) {
        error = "PROJ findet keine Umrechnung von " + from + " nach " + to + ".";
        return nullptr;
    }
    impl->pj = pj;
    return std::unique_ptr<CCrsTransform>(new CCrsTransform(std::move(impl)));
}

bool CCrsTransform::Transform(double& x, double& y)
{
    const SProjApi& p = m_impl->proj;
    PJ_COORD c = p.proj_coord(x, y, 0, 0);
    c = p.proj_trans(m_impl->pj, PJ_FWD, c);
    if (!std::isfinite(c.xy.x) || !std::isfinite(c.xy.y)) {
        p.proj_errno_reset(m_impl->pj);
        return false;
    }
    x = c.xy.x;
    y = c.xy.y;
    return true;
}

} // namespace trespipeline
