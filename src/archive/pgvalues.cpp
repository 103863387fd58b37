// SPDX-License-Identifier: GPL-3.0-or-later
#include "pgvalues.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tresarchive {

namespace {

constexpr std::uint32_t kSridFlag = 0x20000000;
constexpr std::uint32_t kWgs84 = 4326;

void HexByte(std::string& out, unsigned char b)
{
    static const char digits[] = "0123456789ABCDEF";
    out += digits[b >> 4];
    out += digits[b & 0x0f];
}

// EWKB is written little-endian (byte order mark 01) whatever the host.
void HexUint32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) HexByte(out, static_cast<unsigned char>(v >> (8 * i)));
}

void HexDouble(std::string& out, double d)
{
    const auto bits = std::bit_cast<std::uint64_t>(d);
    for (int i = 0; i < 8; ++i) HexByte(out, static_cast<unsigned char>(bits >> (8 * i)));
}

void RefuseNul(const std::string& text)
{
    if (text.find('\0') != std::string::npos)
        throw CArchiveError(EArchiveFault::Other,
                            "Ein Text enthält ein NUL-Zeichen, das die Datenbank nicht speichern kann.");
}

} // namespace

std::string PgRealText(double v)
{
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string PgGeometryHex(const SValue& value)
{
    const bool point = value.kind == SValue::EKind::Point;
    if (point ? value.lonLat.size() != 1 : value.lonLat.size() < 2)
        throw CArchiveError(EArchiveFault::Other, point ? "Ein Punkt braucht genau eine Position."
                                                        : "Eine Linie braucht mindestens zwei Positionen.");
    std::string out;
    out.reserve(18 + 8 + value.lonLat.size() * 32);
    HexByte(out, 1);
    HexUint32(out, (point ? 1u : 2u) | kSridFlag);
    HexUint32(out, kWgs84);
    if (!point) HexUint32(out, static_cast<std::uint32_t>(value.lonLat.size()));
    for (const auto& [lon, lat] : value.lonLat) {
        HexDouble(out, lon);
        HexDouble(out, lat);
    }
    return out;
}

std::string PgParamText(const SValue& value)
{
    switch (value.kind) {
    case SValue::EKind::Integer: return std::to_string(value.whole);
    case SValue::EKind::Real: return PgRealText(value.real);
    case SValue::EKind::Point:
    case SValue::EKind::Line: return PgGeometryHex(value);
    default: RefuseNul(value.bytes); return value.bytes;
    }
}

void AppendCopyField(std::string& out, const SValue& value)
{
    if (value.IsNull()) {
        out += "\\N";
        return;
    }
    if (value.kind == SValue::EKind::Blob) {
        // bytea's hex input "\x…", its backslash doubled for COPY.
        out += "\\\\x";
        for (unsigned char b : value.bytes) HexByte(out, b);
        return;
    }
    if (value.kind != SValue::EKind::Text) {
        out += PgParamText(value);
        return;
    }
    RefuseNul(value.bytes);
    for (char c : value.bytes) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

} // namespace tresarchive
