// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipelinereader.h"

#include "crs.h"
#include "doc/commentkey.h"
#include "doc/fileerror.h"
#include "doc/verdictsettings.h"
#include "numbers.h"
#include "projlib.h"
#include "route.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace trespipeline {

namespace {

using nlohmann::json;

// Larger than any pipeline's route needs; a survey file has the same bound.
constexpr std::uintmax_t kMaxFileBytes = 256ull * 1024 * 1024;

std::string Quoted(const std::string& s) { return "„" + s + "“"; }

// Reads one FeatureCollection into an SPipelineRead, feature by feature.
class CReader {
public:
    CReader(SPipelineRead& out, std::string name)
        : m_out(out)
        , m_name(std::move(name))
    { }

    void Read(std::string_view text)
    {
        // The route is measured on the ellipsoid as it is read (gaps between
        // its lines, fixed points beyond it): without PROJ nothing of the
        // data can be used.
        std::string error;
        if (!LoadProj(error)) {
            m_out.errors.push_back(error);
            return;
        }
        json doc;
        try {
            doc = json::parse(text.begin(), text.end());
        } catch (const json::parse_error& e) {
            FileError("ist kein gültiges JSON (" + LineColumn(text, e.byte) + ").");
            return;
        }
        if (!doc.is_object() || doc.value("type", json()) != "FeatureCollection") {
            FileError("ist keine GeoJSON-FeatureCollection.");
            return;
        }
        if (!ReadCrs(doc)) return;
        const auto features = doc.find("features");
        if (features == doc.end() || !features->is_array()) {
            FileError("enthält keine Liste „features“.");
            return;
        }
        int n = 0;
        for (const json& f : *features) ReadFeature(++n, f);
        if (m_routeFeature == 0) FileError("enthält keine Trasse (kind „route“).");
        CheckSections();
        if (m_out.errors.empty()) CheckFixpointsOnRoute();
    }

private:
    void FileError(const std::string& text) { m_out.errors.push_back("Die Datei " + m_name + " " + text); }
    void Error(int n, const std::string& text) { m_out.errors.push_back(Feature(n) + text); }
    void Warning(int n, const std::string& text) { m_out.warnings.push_back(Feature(n) + text); }
    static std::string Feature(int n) { return "Merkmal " + std::to_string(n) + ": "; }

    static std::string LineColumn(std::string_view text, size_t byte)
    {
        // nlohmann counts the byte it stopped at from 1
        const size_t end = std::min(text.size(), byte > 0 ? byte - 1 : 0);
        size_t line = 1, column = 1;
        for (size_t i = 0; i < end; ++i) {
            if (text[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        return "Zeile " + std::to_string(line) + ", Spalte " + std::to_string(column);
    }

    bool ReadCrs(const json& doc)
    {
        const auto crs = doc.find("crs");
        if (crs == doc.end() || crs->is_null()) return true;
        std::string name;
        if (crs->is_object()) {
            const auto props = crs->find("properties");
            if (props != crs->end() && props->is_object()) {
                const auto n = props->find("name");
                if (n != props->end() && n->is_string()) name = n->get<std::string>();
            }
        }
        const std::optional<int> epsg = EpsgFromCrsName(name);
        if (!epsg) {
            FileError("nennt das Bezugssystem " + Quoted(name.empty() ? crs->dump() : name)
                      + "; erwartet wird ein EPSG-Code wie „urn:ogc:def:crs:EPSG::25832“.");
            return false;
        }
        m_out.data.sourceEpsg = *epsg;
        if (*epsg == kWgs84Epsg) return true;
        std::string error;
        m_toWgs84 = CCrsTransform::Create(*epsg, kWgs84Epsg, error);
        if (!m_toWgs84) m_out.errors.push_back(error);
        return m_toWgs84 != nullptr;
    }

    // ---- properties -----------------------------------------------------
    // Each getter returns false after an error; a missing optional property
    // leaves `out` as it was.
    bool Number(int n, const json& props, const char* key, bool required, double& out)
    {
        const auto it = props.find(key);
        if (it == props.end() || it->is_null()) {
            if (required) Error(n, std::string(key) + " fehlt");
            return !required;
        }
        if (!it->is_number() || !std::isfinite(it->get<double>())) {
            Error(n, std::string(key) + " ist keine Zahl");
            return false;
        }
        out = it->get<double>();
        return true;
    }

    bool Text(int n, const json& props, const char* key, bool required, std::string& out, bool numberToo = false)
    {
        const auto it = props.find(key);
        if (it == props.end() || it->is_null()) {
            if (required) Error(n, std::string(key) + " fehlt");
            return !required;
        }
        if (it->is_string()) {
            out = it->get<std::string>();
        } else if (numberToo && it->is_number()) {
            out = it->dump();
        } else {
            Error(n, std::string(key) + " ist kein Text");
            return false;
        }
        if (required && CommentKey(out).empty()) {
            Error(n, std::string(key) + " ist leer");
            return false;
        }
        return true;
    }

    bool Bool(int n, const json& props, const char* key, std::optional<bool>& out)
    {
        const auto it = props.find(key);
        if (it == props.end() || it->is_null()) return true;
        if (!it->is_boolean()) {
            Error(n, std::string(key) + " ist kein Wahrheitswert (true oder false)");
            return false;
        }
        out = it->get<bool>();
        return true;
    }

    bool Potential(int n, const json& props, const char* key, int32_t lo, int32_t hi, int32_t& out)
    {
        if (!props.contains(key) || props[key].is_null()) return true;
        double v = 0;
        if (!Number(n, props, key, true, v)) return false;
        const double mv = RoundHalfAway(v, 0);
        if (mv < lo || mv > hi) {
            Error(n, std::string(key) + " " + GermanNumber(v) + " mV liegt außerhalb von " + std::to_string(lo)
                         + " bis " + std::to_string(hi) + " mV");
            return false;
        }
        out = static_cast<int32_t>(mv);
        return true;
    }

    // ---- geometry -------------------------------------------------------
    // One position [x, y(, z)] in WGS 84; `k` counts positions from 1 in
    // the messages.
    bool Position(int n, const json& pos, size_t k, SLonLat& out)
    {
        const std::string which = "Position " + std::to_string(k);
        if (!pos.is_array() || pos.size() < 2 || !pos[0].is_number() || !pos[1].is_number()) {
            Error(n, which + " ist keine Position [Länge, Breite]");
            return false;
        }
        double x = pos[0].get<double>(), y = pos[1].get<double>();
        if (m_toWgs84 && !m_toWgs84->Transform(x, y)) {
            Error(n, which + " lässt sich nicht nach WGS 84 umrechnen");
            return false;
        }
        if (!(x >= -180 && x <= 180 && y >= -90 && y <= 90)) {
            Error(n, which + " liegt außerhalb von Länge -180 bis 180 und Breite -90 bis 90 Grad");
            return false;
        }
        out = {x, y};
        return true;
    }

    static std::string GeometryType(const json& geometry)
    {
        if (!geometry.is_object()) return {};
        const auto t = geometry.find("type");
        return t != geometry.end() && t->is_string() ? t->get<std::string>() : std::string();
    }

    bool RouteVertices(int n, const json& geometry, std::vector<SLonLat>& out)
    {
        const std::string type = GeometryType(geometry);
        const auto coords = geometry.is_object() ? geometry.find("coordinates") : geometry.end();
        if ((type != "LineString" && type != "MultiLineString") || coords == geometry.end() || !coords->is_array()) {
            Error(n, "Geometrie muss LineString oder MultiLineString sein");
            return false;
        }
        std::vector<const json*> lines;
        if (type == "LineString") lines.push_back(&*coords);
        else
            for (const json& line : *coords) lines.push_back(&line);
        size_t k = 0;
        bool ok = true;
        for (size_t l = 0; l < lines.size(); ++l) {
            if (!lines[l]->is_array()) {
                Error(n, "Geometrie muss LineString oder MultiLineString sein");
                return false;
            }
            bool first = true;
            for (const json& pos : *lines[l]) {
                SLonLat p;
                if (!Position(n, pos, ++k, p)) {
                    ok = false;
                    continue;
                }
                if (first && l > 0 && !out.empty()) {
                    const double gap = GeodesicDistance(out.back(), p);
                    if (gap >= 0.005)
                        Warning(n, "Linie " + std::to_string(l + 1) + " beginnt " + GermanFixed(gap, 2)
                                       + " m vom Ende der Linie " + std::to_string(l) + "; die Lücke zählt zur Trasse");
                }
                first = false;
                if (out.empty() || !(out.back() == p)) out.push_back(p);
            }
        }
        if (ok && out.size() < 2) {
            Error(n, "die Trasse braucht mindestens zwei verschiedene Positionen");
            return false;
        }
        return ok;
    }

    // ---- features -------------------------------------------------------
    void ReadFeature(int n, const json& f)
    {
        if (!f.is_object() || f.value("type", json()) != "Feature") {
            Error(n, "kein GeoJSON-Feature");
            return;
        }
        static const json kEmpty = json::object();
        const auto p = f.find("properties");
        const json& props = p != f.end() && p->is_object() ? *p : kEmpty;
        static const json kNull;
        const auto g = f.find("geometry");
        const json& geometry = g != f.end() ? *g : kNull;
        const auto kind = props.find("kind");
        if (kind == props.end() || kind->is_null()) {
            Warning(n, "kind fehlt; das Merkmal wird übergangen");
            return;
        }
        if (!kind->is_string()) {
            Error(n, "kind ist kein Text");
            return;
        }
        const std::string k = kind->get<std::string>();
        if (k == "route") ReadRoute(n, props, geometry);
        else if (k == "fixpoint") ReadFixpoint(n, props, geometry);
        else if (k == "section") ReadSection(n, props, geometry);
        else Warning(n, "unbekannte Art " + Quoted(k) + "; das Merkmal wird übergangen");
    }

    void ReadRoute(int n, const json& props, const json& geometry)
    {
        if (m_routeFeature != 0) {
            Error(n, "zweite Trasse (die erste ist Merkmal " + std::to_string(m_routeFeature) + ")");
            return;
        }
        m_routeFeature = n;
        SRoute& r = m_out.data.route;
        r.feature = n;
        Text(n, props, "name", false, r.name);
        Text(n, props, "number", false, r.number, true);
        Number(n, props, "startChainage", false, r.startChainage);
        RouteVertices(n, geometry, r.vertices);
    }

    void ReadFixpoint(int n, const json& props, const json& geometry)
    {
        SFixpoint fp;
        fp.feature = n;
        bool ok = Text(n, props, "name", true, fp.name);
        ok = Number(n, props, "chainage", true, fp.chainage) && ok;
        ok = Text(n, props, "type", false, fp.type) && ok;
        fp.match = fp.name;
        if (props.contains("match") && !props["match"].is_null()) ok = Text(n, props, "match", true, fp.match) && ok;
        if (!geometry.is_null()) {
            const auto coords = geometry.is_object() ? geometry.find("coordinates") : geometry.end();
            if (GeometryType(geometry) != "Point" || coords == geometry.end()) {
                Error(n, "Geometrie muss Point oder null sein");
                ok = false;
            } else {
                SLonLat pt;
                if (Position(n, *coords, 1, pt)) fp.point = pt;
                else ok = false;
            }
        }
        if (!ok) return;
        const std::string key = CommentKey(fp.match);
        if (const auto [it, added] = m_matchFeature.emplace(key, n); !added) {
            Error(n, "match " + Quoted(fp.match) + " gleicht dem von Merkmal " + std::to_string(it->second));
            return;
        }
        m_out.data.fixpoints.push_back(std::move(fp));
    }

    void ReadSection(int n, const json& props, const json& geometry)
    {
        SSection s;
        s.feature = n;
        bool ok = Text(n, props, "name", false, s.name);
        ok = Number(n, props, "from", true, s.from) && ok;
        ok = Number(n, props, "to", true, s.to) && ok;
        ok = Potential(n, props, "protectionPotential", kProtectionPotentialLowest, kProtectionPotentialHighest,
                       s.protectionPotential)
             && ok;
        ok = Potential(n, props, "limitPotential", kLimitPotentialLowest, kProtectionPotentialHighest, s.limitPotential)
             && ok;
        ok = Bool(n, props, "allow100mV", s.allow100mV) && ok;
        if (!ok) return;
        if (s.from > s.to) {
            Error(n, "from (" + GermanNumber(s.from) + ") größer als to (" + GermanNumber(s.to) + ")");
            return;
        }
        if (!LimitBelowProtection(s.limitPotential, s.protectionPotential)) {
            Error(n, "limitPotential (" + std::to_string(s.limitPotential)
                         + " mV) muss negativer sein als protectionPotential (" + std::to_string(s.protectionPotential)
                         + " mV)");
            return;
        }
        if (!geometry.is_null()) Warning(n, "die Geometrie eines Abschnitts wird nicht verwendet");
        if (!IsPresent(s.protectionPotential) && !IsPresent(s.limitPotential) && !s.allow100mV)
            Warning(n, "Abschnitt ohne protectionPotential, limitPotential und allow100mV");
        m_out.data.sections.push_back(s);
    }

    // Overlapping sections are allowed (the first in file order wins for a
    // value both set, sections.h); saying where keeps it from going unseen.
    void CheckSections()
    {
        const auto& all = m_out.data.sections;
        for (size_t j = 0; j < all.size(); ++j) {
            for (size_t i = 0; i < j; ++i) {
                const SSection &a = all[i], &b = all[j];
                const double from = std::max(a.from, b.from), to = std::min(a.to, b.to);
                if (from >= to) continue; // touching ends are no overlap
                std::string both;
                auto add = [&](bool set, const char* name) {
                    if (set) both += (both.empty() ? "" : ", ") + std::string(name);
                };
                add(IsPresent(a.protectionPotential) && IsPresent(b.protectionPotential), "protectionPotential");
                add(IsPresent(a.limitPotential) && IsPresent(b.limitPotential), "limitPotential");
                add(a.allow100mV && b.allow100mV, "allow100mV");
                if (both.empty()) continue;
                Warning(b.feature, "Abschnitt überschneidet Merkmal " + std::to_string(a.feature) + " bei " + both
                                       + " (" + GermanNumber(from) + " bis " + GermanNumber(to)
                                       + " m); dort gilt Merkmal " + std::to_string(a.feature));
            }
        }
    }

    void CheckFixpointsOnRoute()
    {
        const CRoutePath path(m_out.data.route);
        for (const SFixpoint& fp : m_out.data.fixpoints) {
            if (path.Covers(fp.chainage)) continue;
            Warning(fp.feature, "Festpunkt " + Quoted(fp.name) + " bei " + GermanNumber(fp.chainage)
                                    + " m liegt außerhalb der Trasse (" + GermanNumber(path.StartChainage(), 2)
                                    + " bis " + GermanNumber(path.EndChainage(), 2) + " m)");
        }
    }

    SPipelineRead& m_out;
    std::string m_name;
    std::unique_ptr<CCrsTransform> m_toWgs84;
    int m_routeFeature = 0;
    std::map<std::string, int> m_matchFeature;
};

} // namespace

SPipelineRead ParsePipelineText(std::string_view text, const std::string& name)
{
    SPipelineRead out;
    CReader(out, name).Read(text);
    out.ok = out.errors.empty();
    if (!out.ok) out.data = SPipelineData();
    return out;
}

SPipelineRead ReadPipelineFile(const std::string& path)
{
    SPipelineRead out;
    std::ifstream in(path, std::ios::binary);
    if (std::filesystem::is_directory(path)) {
        out.errors.push_back(tresdoc::OpenErrorText(path, EISDIR));
        return out;
    }
    if (!in) {
        out.errors.push_back(tresdoc::OpenErrorText(path, errno));
        return out;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileBytes) {
        out.errors.push_back("Die Datei " + path + " ist mit " + std::to_string(size)
                             + " Bytes zu groß für Leitungsdaten (höchstens 256 MB).");
        return out;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        out.errors.push_back(tresdoc::ReadErrorText(path, errno));
        return out;
    }
    SPipelineRead read = ParsePipelineText(text, path);
    read.text = std::move(text);
    return read;
}

} // namespace trespipeline
