// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmlwriter.h"

#include "jsontext.h"

namespace tresexport {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

} // namespace

std::string XmlEscaped(std::string_view text, bool attribute)
{
    const std::string utf8 = jsontext::JsonText(std::string(text));
    std::string out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        case '\r': out += "&#13;"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20) out += kReplacement;
            else out += ch;
        }
    }
    return out;
}

CXmlWriter::CXmlWriter()
    : m_out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")
{ }

void CXmlWriter::Indent() { m_out.append(m_open.size(), ' '); }

void CXmlWriter::StartTag(std::string_view name, XmlAttributes attributes)
{
    Indent();
    m_out += '<';
    m_out += name;
    for (const auto& [key, value] : attributes) {
        m_out += ' ';
        m_out += key;
        m_out += "=\"";
        m_out += XmlEscaped(value, true);
        m_out += '"';
    }
}

void CXmlWriter::Open(std::string_view name, XmlAttributes attributes)
{
    StartTag(name, attributes);
    m_out += ">\n";
    m_open.emplace_back(name);
}

void CXmlWriter::Close()
{
    if (m_open.empty()) return;
    const std::string name = std::move(m_open.back());
    m_open.pop_back();
    Indent();
    m_out += "</" + name + ">\n";
}

void CXmlWriter::Element(std::string_view name, std::string_view text, XmlAttributes attributes)
{
    StartTag(name, attributes);
    if (text.empty()) {
        m_out += "/>\n";
        return;
    }
    m_out += '>';
    m_out += XmlEscaped(text);
    m_out += "</";
    m_out += name;
    m_out += ">\n";
}

std::string CXmlWriter::Finish()
{
    while (!m_open.empty()) Close();
    return std::move(m_out);
}

} // namespace tresexport
