// SPDX-License-Identifier: GPL-3.0-or-later
// The XML of the map exports: what a survey comment may hold must come out
// escaped and as UTF-8, never as a broken file.
#include "xmlwriter.h"

#include <gtest/gtest.h>

namespace {

using namespace tresexport;

TEST(XmlWriter, EscapesTextAndAttributes)
{
    EXPECT_EQ(XmlEscaped("Schieber <DN 300> & \"Düker\"\tA\r\nB"),
              "Schieber &lt;DN 300&gt; &amp; \"Düker\"\tA&#13;\nB");
    EXPECT_EQ(XmlEscaped("a\"b\tc\nd", true), "a&quot;b&#9;c&#10;d");
    // A control byte XML cannot carry, and Latin-1 bytes from the handheld.
    EXPECT_EQ(XmlEscaped("x\x01y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(XmlEscaped("Gr\xfc\xdf"), "Grüß");

    CXmlWriter xml;
    xml.Open("gpx", {{"creator", "A & B"}});
    xml.Element("name", "P1 <IV>");
    xml.Element("trkpt", "", {{"lat", "47.5"}});
    xml.Open("trk");
    EXPECT_EQ(xml.Finish(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<gpx creator=\"A &amp; B\">\n"
                            " <name>P1 &lt;IV&gt;</name>\n"
                            " <trkpt lat=\"47.5\"/>\n"
                            " <trk>\n"
                            " </trk>\n"
                            "</gpx>\n");
}

} // namespace
