// SPDX-License-Identifier: GPL-3.0-or-later
#include "layers.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace layers {

namespace {

// Who may include whom. "views/qt-free" is the part of the views without Qt
// (the segment clipping the printouts share with the panes).
struct CLayer {
    const char* name;
    std::vector<std::string> uses;
    bool bNoQt;
};

const std::vector<CLayer>& Layers()
{
    static const std::vector<CLayer> layers = [] {
        std::vector<CLayer> l;
        const std::vector<std::string> vlnkBase{"vlnk/include"};
        l.push_back({"doc", {}, true});
        // The survey readers, one per file format, and the registry that
        // chooses among them: over doc, used by every opener of a survey.
        l.push_back({"import", {"doc"}, true});
        // Pipeline data, re-stationing and positions: beside doc, over it.
        l.push_back({"pipeline", {"doc"}, true});
        // The exports (CSV, JSON, GeoJSON, KML, GPX), shared by the tool and
        // the program: beside doc, over it and the pipeline data.
        l.push_back({"export", {"doc", "pipeline"}, true});
        // The pipeline archive: every survey of a pipeline across the years,
        // in a file or on a server; over the document, the pipeline data and
        // the exports whose JSON it stores.
        l.push_back({"archive", {"doc", "pipeline", "export"}, true});
        // The trend across the surveys of a pipeline: exact rules over the
        // stored assessments.
        l.push_back({"trend", {"doc", "pipeline", "export", "archive"}, true});
        l.push_back({"vlnk/include", {}, true});
        l.push_back({"vlnk/config", {"vlnk/include"}, true});
        l.push_back({"vlnk/port", {"vlnk/include", "vlnk/config"}, true});
        l.push_back({"vlnk/protocol", {"vlnk/include", "vlnk/config", "vlnk/port"}, true});
        l.push_back({"vlnk/files", {"vlnk/include", "vlnk/config", "vlnk/port", "vlnk/protocol"}, true});
        l.push_back({"vlnk", {"vlnk/include", "vlnk/config", "vlnk/port", "vlnk/protocol", "vlnk/files"}, true});
        l.push_back(
            {"vlnk/cmd", {"vlnk/include", "vlnk/config", "vlnk/port", "vlnk/protocol", "vlnk/files", "vlnk"}, true});
        l.push_back({"views", {"doc", "pipeline", "export"}, false});
        l.push_back({"print", {"doc", "pipeline", "export", "trend", "views/qt-free"}, false});
        // The trend across archived surveys as the program shows it, by the
        // trend report's rules and painters; used by app.
        l.push_back({"trendui", {"doc", "export", "archive", "trend", "print"}, false});
        // The map dock: the survey on its route, drawn in the grid of the
        // pipeline data; beside views, used by app.
        l.push_back({"map", {"doc", "pipeline", "export"}, false});
        // The file dialogs' filters come from the readers' registry.
        l.push_back({"ui", {"import"}, false});
        l.push_back({"docdlg", {"doc", "import", "ui"}, false});
        // The import dialog for other loggers' exports and the maps it
        // remembers: over the readers and the shared dialogs.
        l.push_back({"importui", {"doc", "import", "ui"}, false});
        // The handheld as the transfer dialog sees it; its one implementation
        // over the serial-link library is the only caller of its header.
        l.push_back({"handheld", {"vlnk/include"}, true});
        l.push_back({"transfer", {"ui", "handheld"}, false});
        // The program's side of the archive: its window, options and work
        // off the GUI thread, over the store and the report.
        l.push_back({"archiveui", {"doc", "import", "pipeline", "export", "archive", "trend", "print", "ui"}, false});
        l.push_back({"app",
                     {"doc", "import", "pipeline", "export", "archive", "archiveui", "trend", "views", "map", "print",
                      "trendui", "ui", "docdlg", "importui", "transfer", "handheld"},
                     false});
        // The batch tool's document commands start without Qt; its drawing
        // commands are a program of their own over the panes and printing,
        // sharing the document commands' Qt-free option parsing.
        l.push_back({"tool", {"doc", "import", "pipeline", "export", "archive", "trend"}, true});
        l.push_back(
            {"tool/qt", {"doc", "import", "pipeline", "export", "archive", "trend", "views", "print", "tool"}, false});
        l.push_back({"tools/handheld-sim", {}, true});
        l.push_back({"tools/gensurvey", {"doc", "pipeline"}, true});
        l.push_back({"tools/layercheck", {}, true});
        l.push_back({"tools/viewer", {"doc", "import", "views"}, false});
        l.push_back(
            {"tools/look",
             {"doc", "import", "pipeline", "views", "map", "print", "ui", "docdlg", "importui", "transfer", "app"},
             false});
        return l;
    }();
    return layers;
}

const CLayer* FindLayer(const std::string& name)
{
    for (const CLayer& l : Layers())
        if (name == l.name) return &l;
    return nullptr;
}

// The layer a file belongs to, from its path relative to the root.
std::string LayerOf(const fs::path& rel)
{
    std::vector<std::string> parts;
    for (const auto& p : rel) parts.push_back(p.string());
    if (parts.size() < 3) return {};
    if (parts[0] == "tools") return "tools/" + parts[1];
    if (parts[0] != "src") return {};
    if (parts[1] == "vlnk" && parts.size() >= 4) {
        static const std::set<std::string> inner{"include", "config", "port", "protocol", "files", "cmd"};
        if (inner.count(parts[2])) return "vlnk/" + parts[2];
    }
    if (parts[1] == "tool" && parts.size() >= 4 && parts[2] == "qt") return "tool/qt";
    return parts[1];
}

bool IsSource(const fs::path& p)
{
    static const std::set<std::string> ext{".h", ".hpp", ".c", ".cc", ".cpp"};
    return ext.count(p.extension().string()) > 0;
}

bool IsQtHeader(const std::string& name)
{
    return name.size() >= 2 && name[0] == 'Q' && std::isalpha(static_cast<unsigned char>(name[1]));
}

struct CInclude {
    int line;
    bool bQuoted;
    std::string name;
};

std::vector<CInclude> ReadIncludes(const fs::path& file)
{
    static const std::regex re(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    std::vector<CInclude> out;
    std::ifstream in(file);
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        std::smatch m;
        if (std::regex_search(text, m, re)) out.push_back({line, m[1] == "\"", m[2]});
    }
    return out;
}

class CTree {
public:
    explicit CTree(const fs::path& root)
        : m_root(root)
    {
        for (const char* top : {"src", "tools"}) {
            if (!fs::is_directory(root / top)) continue;
            for (const auto& e : fs::recursive_directory_iterator(root / top))
                if (e.is_regular_file() && IsSource(e.path())) m_files.push_back(fs::relative(e.path(), root));
        }
        std::sort(m_files.begin(), m_files.end());
    }

    const std::vector<fs::path>& Files() const { return m_files; }

    // The tree file a quoted include names: beside the including file
    // first, then any tree file whose path ends with the name; nothing for
    // a header from outside the tree. Several matches: the including
    // layer's own, else the first, reported as ambiguous by the caller.
    std::vector<fs::path> Resolve(const fs::path& from, const std::string& name) const
    {
        const fs::path beside = (from.parent_path() / name).lexically_normal();
        if (std::find(m_files.begin(), m_files.end(), beside) != m_files.end()) return {beside};
        std::vector<fs::path> found;
        const std::string tail = "/" + name;
        for (const fs::path& f : m_files) {
            const std::string s = f.generic_string();
            if (s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0) found.push_back(f);
        }
        return found;
    }

    // Whether a header and everything it includes from the tree is free of Qt.
    bool QtFree(const fs::path& header)
    {
        if (auto it = m_qtFree.find(header); it != m_qtFree.end()) return it->second;
        m_qtFree[header] = true; // a cycle adds nothing
        bool free = true;
        for (const CInclude& inc : ReadIncludes(m_root / header)) {
            if (!inc.bQuoted) {
                if (IsQtHeader(inc.name)) free = false;
                continue;
            }
            for (const fs::path& target : Resolve(header, inc.name))
                if (!QtFree(target)) free = false;
        }
        m_qtFree[header] = free;
        return free;
    }

private:
    fs::path m_root;
    std::vector<fs::path> m_files;
    std::map<fs::path, bool> m_qtFree;
};

// The program's files name a header of another layer with its folder
// ("doc/numtext.h"), so a reader sees where a name comes from. The
// library's inner layers and its public headers, which its callers include
// as installed, are left as they are; so are the tools beside the program.
std::optional<CViolation> UnwrittenLayer(const fs::path& file, const std::string& from, const CInclude& inc,
                                         const fs::path& target, const std::string& to)
{
    if (*file.begin() != "src" || from.rfind("vlnk", 0) == 0 || to.rfind("vlnk", 0) == 0) return std::nullopt;
    const std::string written = target.lexically_relative("src").generic_string();
    if (inc.name == written) return std::nullopt;
    return CViolation{file, inc.line, inc.name, "written without its layer: \"" + written + "\""};
}

} // namespace

std::vector<CViolation> CheckTree(const fs::path& root)
{
    CTree tree(root);
    std::vector<CViolation> out;
    for (const fs::path& file : tree.Files()) {
        const std::string layerName = LayerOf(file);
        const CLayer* layer = FindLayer(layerName);
        if (!layer) {
            out.push_back({file, 0, "", "the folder " + file.parent_path().generic_string() + " belongs to no layer"});
            continue;
        }
        for (const CInclude& inc : ReadIncludes(root / file)) {
            if (!inc.bQuoted) {
                if (layer->bNoQt && IsQtHeader(inc.name))
                    out.push_back({file, inc.line, inc.name, std::string(layer->name) + " may not use Qt"});
                continue;
            }
            const std::vector<fs::path> targets = tree.Resolve(file, inc.name);
            if (targets.empty()) continue; // not ours (a system or generated header)
            if (targets.size() > 1) {
                out.push_back({file, inc.line, inc.name, "the name matches several files of the tree"});
                continue;
            }
            const std::string to = LayerOf(targets[0]);
            if (to == layerName) continue;
            const auto& uses = layer->uses;
            if (std::find(uses.begin(), uses.end(), to) != uses.end()) {
                if (auto v = UnwrittenLayer(file, layerName, inc, targets[0], to)) out.push_back(*v);
                continue;
            }
            if (to == "views" && std::find(uses.begin(), uses.end(), "views/qt-free") != uses.end()) {
                if (tree.QtFree(targets[0])) {
                    if (auto v = UnwrittenLayer(file, layerName, inc, targets[0], to)) out.push_back(*v);
                    continue;
                }
                out.push_back({file, inc.line, inc.name,
                               std::string(layer->name) + " may use only the parts of views without Qt"});
                continue;
            }
            out.push_back({file, inc.line, inc.name,
                           std::string(layer->name) + " may not include " + (to.empty() ? "that folder" : to)});
        }
    }
    return out;
}

std::string Describe(const CViolation& v)
{
    std::string s = v.file.generic_string();
    if (v.line > 0) s += ":" + std::to_string(v.line);
    s += ": ";
    if (!v.include.empty()) s += "includes \"" + v.include + "\": ";
    return s + v.reason;
}

} // namespace layers
