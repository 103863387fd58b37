// SPDX-License-Identifier: GPL-3.0-or-later
// A small XML writer for the map exports (KML, GPX) without Qt: elements
// nest as opened, every text and attribute value is escaped, and the result
// is well-formed UTF-8 whatever the survey's comments hold.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tresexport {

using XmlAttributes = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// `text` as XML character data (attribute: as an attribute value in double
// quotes). Text that is not UTF-8 is taken byte for byte as U+0000..U+00FF
// (as the JSON exports take it); characters XML 1.0 cannot carry (control
// characters other than tab, LF and CR) become U+FFFD, so a stray byte
// shows instead of breaking the file. CR, and in attributes tab and LF too,
// are written as character references so a reader keeps them.
std::string XmlEscaped(std::string_view text, bool attribute = false);

class CXmlWriter {
public:
    // Starts with the XML declaration (UTF-8).
    CXmlWriter();

    void Open(std::string_view name, XmlAttributes attributes = {});
    void Close();
    // <name>text</name>; an empty text gives <name/>.
    void Element(std::string_view name, std::string_view text, XmlAttributes attributes = {});
    // Closes what is open and gives the document.
    std::string Finish();

private:
    void StartTag(std::string_view name, XmlAttributes attributes);
    void Indent();
    std::string m_out;
    std::vector<std::string> m_open;
};

} // namespace tresexport
