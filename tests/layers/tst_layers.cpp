// SPDX-License-Identifier: GPL-3.0-or-later
// The layer check on the real tree and on copies of it with one include
// added against the rule.
#include "layers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Listing(const std::vector<layers::CViolation>& violations)
{
    std::string s;
    for (const auto& v : violations) s += layers::Describe(v) + "\n";
    return s;
}

// A copy of src/ and tools/ in a fresh folder, removed with the object.
class CTreeCopy {
public:
    CTreeCopy()
    {
        char tmpl[] = "/tmp/tres-layers-XXXXXX";
        m_root = mkdtemp(tmpl);
        for (const char* top : {"src", "tools"})
            fs::copy(fs::path(TRES_SOURCE_DIR) / top, m_root / top, fs::copy_options::recursive);
    }
    ~CTreeCopy() { fs::remove_all(m_root); }
    const fs::path& Root() const { return m_root; }

    // Inserts `line` before line `at` (1-based) of a file of the copy.
    void InsertLine(const std::string& rel, int at, const std::string& line)
    {
        std::ifstream in(m_root / rel);
        std::stringstream out;
        std::string text;
        int n = 0;
        while (std::getline(in, text)) {
            if (++n == at) out << line << "\n";
            out << text << "\n";
        }
        in.close();
        std::ofstream(m_root / rel) << out.str();
    }
    void Write(const std::string& rel, const std::string& text)
    {
        fs::create_directories((m_root / rel).parent_path());
        std::ofstream(m_root / rel) << text;
    }

private:
    fs::path m_root;
};

} // namespace

TEST(Layers, TheTreeFollowsTheRule)
{
    const auto violations = layers::CheckTree(TRES_SOURCE_DIR);
    EXPECT_TRUE(violations.empty()) << Listing(violations);
}

TEST(Layers, AnIncludeUpwardsIsNamedWithItsFileAndLine)
{
    CTreeCopy tree;
    tree.InsertLine("src/doc/tredoc.h", 3, "#include \"mainframe.h\"");
    tree.InsertLine("src/views/tablemodel.cpp", 2, "#include \"printjob.h\"");
    tree.InsertLine("src/ui/uiseam.cpp", 2, "#include \"errorlistdlg.h\"");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 3u) << Listing(violations);
    EXPECT_EQ(layers::Describe(violations[0]), "src/doc/tredoc.h:3: includes \"mainframe.h\": doc may not include app");
    EXPECT_EQ(layers::Describe(violations[1]),
              "src/ui/uiseam.cpp:2: includes \"errorlistdlg.h\": ui may not include docdlg");
    EXPECT_EQ(layers::Describe(violations[2]),
              "src/views/tablemodel.cpp:2: includes \"printjob.h\": views may not include print");
}

TEST(Layers, QtStaysOutOfTheDocumentAndTheLibrary)
{
    CTreeCopy tree;
    tree.InsertLine("src/doc/numtext.cpp", 2, "#include <QString>");
    tree.Write("src/vlnk/files/qtcheck.cpp", "#include <QtCore/QObject>\n");
    tree.Write("tools/handheld-sim/qtcheck.cpp", "#include <QByteArray>\n");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 3u) << Listing(violations);
    EXPECT_EQ(layers::Describe(violations[0]), "src/doc/numtext.cpp:2: includes \"QString\": doc may not use Qt");
    EXPECT_EQ(violations[1].file, "src/vlnk/files/qtcheck.cpp");
    EXPECT_EQ(violations[2].file, "tools/handheld-sim/qtcheck.cpp");
}

TEST(Layers, CallersSeeOnlyTheLibrarysPublicHeader)
{
    CTreeCopy tree;
    tree.Write("src/handheld/check.cpp", "#include \"vlnkw32.h\"\n#include \"logfile.h\"\n");
    // The dialog reaches the library only through the handheld's interface.
    tree.Write("src/transfer/check.cpp", "#include \"vlnkw32.h\"\n");
    tree.Write("tools/handheld-sim/check.cpp", "#include \"vlnkw32.h\"\n");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 3u) << Listing(violations);
    EXPECT_EQ(violations[0].file, "src/handheld/check.cpp");
    EXPECT_EQ(violations[0].line, 2);
    EXPECT_EQ(violations[1].file, "src/transfer/check.cpp");
    EXPECT_EQ(violations[2].file, "tools/handheld-sim/check.cpp"); // the other end of the wire shares nothing
}

TEST(Layers, AnIncludeOfAnotherLayerNamesItsFolder)
{
    CTreeCopy tree;
    tree.Write("src/views/check.cpp", "#include \"numtext.h\"\n#include \"doc/numtext.h\"\n#include \"curvepane.h\"\n");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 1u) << Listing(violations);
    EXPECT_EQ(layers::Describe(violations[0]),
              "src/views/check.cpp:1: includes \"numtext.h\": written without its layer: \"doc/numtext.h\"");
}

TEST(Layers, PrintingUsesOnlyTheViewsPartsWithoutQt)
{
    CTreeCopy tree;
    tree.Write("src/print/check.cpp", "#include \"views/clipsegment.h\"\n#include \"curvepane.h\"\n");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 1u) << Listing(violations);
    EXPECT_EQ(layers::Describe(violations[0]),
              "src/print/check.cpp:2: includes \"curvepane.h\": print may use only the parts of views without Qt");
}

TEST(Layers, ANewFolderNeedsALayerAndNamesMustBeUnique)
{
    CTreeCopy tree;
    tree.Write("src/extra/thing.cpp", "int x;\n");
    tree.Write("src/app/extra.h", "#pragma once\n");
    tree.Write("src/ui/extra.h", "#pragma once\n");
    tree.Write("src/tool/check.cpp", "#include \"extra.h\"\n");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 2u) << Listing(violations);
    EXPECT_EQ(layers::Describe(violations[0]), "src/extra/thing.cpp: the folder src/extra belongs to no layer");
    EXPECT_EQ(layers::Describe(violations[1]),
              "src/tool/check.cpp:1: includes \"extra.h\": the name matches several files of the tree");
}

TEST(Layers, TheToolsDocumentCommandsStayFreeOfQt)
{
    CTreeCopy tree;
    tree.InsertLine("src/tool/main.cpp", 2, "#include <QCoreApplication>");
    tree.InsertLine("src/tool/dump.cpp", 2, "#include \"curvepane.h\"");
    tree.InsertLine("src/tool/csv.cpp", 2, "#include \"render.h\"");
    tree.InsertLine("src/tool/qt/main.cpp", 2, "#include \"tool/toolhost.h\"");
    tree.InsertLine("src/tool/qt/render.cpp", 2, "#include \"tool/assessoptions.h\"");
    const auto violations = layers::CheckTree(tree.Root());
    ASSERT_EQ(violations.size(), 3u) << Listing(violations);
    EXPECT_EQ(layers::Describe(violations[0]),
              "src/tool/csv.cpp:2: includes \"render.h\": tool may not include tool/qt");
    EXPECT_EQ(layers::Describe(violations[1]),
              "src/tool/dump.cpp:2: includes \"curvepane.h\": tool may not include views");
    EXPECT_EQ(layers::Describe(violations[2]),
              "src/tool/main.cpp:2: includes \"QCoreApplication\": tool may not use Qt");
    // The Qt half shares the document commands' messages and option parsing,
    // which stay free of Qt: main.cpp and render.cpp are not reported.
}
