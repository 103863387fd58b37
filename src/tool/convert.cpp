// `convert` and `edit`: the document's own operations, then a save.
#include "commands.h"
#include "numtext.h"
#include "toolhost.h"
#include "tredoc.h"

namespace {

bool ParseInt(const std::string& text, int32_t& value)
{
    if (text.empty()) return false;
    size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return false;
    const auto v = tresnum::ParseIntPrefix(text);
    if (!v) return false;
    value = *v;
    return true;
}

bool Save(CTreDoc& doc, const std::string& path) { return doc.OnSaveDocument(path); }

} // namespace

int RunConvert(const Args& args)
{
    if (args.size() != 2) {
        ToolError("Aufruf: tresmon-tool convert EIN AUS");
        return kExitUsage;
    }
    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, args[0])) return kExitFile;
    return Save(doc, args[1]) ? kExitOk : kExitFile;
}

int RunEdit(const Args& args)
{
    const char* usage = "Aufruf: tresmon-tool edit EIN -o AUS [--sort] [--reverse] [--add GRÖSSE START ENDE K]\n"
                        "        [--insert-after R] [--delete ERSTE ANZAHL] [--append DATEI] ...";
    if (args.empty()) {
        ToolError(usage);
        return kExitUsage;
    }
    // Check the whole command line before touching any file.
    std::string input, output;
    struct Step {
        std::string name;
        std::vector<std::string> values;
    };
    std::vector<Step> steps;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto take = [&](size_t count) -> bool {
            if (i + count >= args.size()) return false;
            Step s{a, {}};
            for (size_t k = 1; k <= count; ++k) s.values.push_back(args[i + k]);
            steps.push_back(std::move(s));
            i += count;
            return true;
        };
        bool ok = true;
        if (a == "-o") {
            ok = i + 1 < args.size();
            if (ok) output = args[++i];
        } else if (a == "--sort" || a == "--reverse") {
            steps.push_back({a, {}});
        } else if (a == "--add") {
            ok = take(4);
        } else if (a == "--insert-after" || a == "--append") {
            ok = take(1);
        } else if (a == "--delete") {
            ok = take(2);
        } else if (!a.empty() && a[0] == '-') {
            ToolError("Unbekannte Option: " + a);
            return kExitUsage;
        } else if (input.empty()) {
            input = a;
        } else {
            ok = false;
        }
        if (!ok) {
            ToolError(usage);
            return kExitUsage;
        }
    }
    if (input.empty() || output.empty()) {
        ToolError(usage);
        return kExitUsage;
    }
    for (const Step& s : steps) {
        int32_t v = 0;
        EAddQuantity q;
        if (s.name == "--add") {
            if (!AddQuantityFromName(s.values[0], q)) {
                ToolError("Unbekannte Größe \"" + s.values[0]
                          + "\" (Messmeter, Potential Ein, Potential Aus, Gradient Ein, Gradient Aus).");
                return kExitUsage;
            }
            for (size_t k = 1; k < 4; ++k) {
                if (!ParseInt(s.values[k], v)) {
                    ToolError("Keine ganze Zahl: " + s.values[k]);
                    return kExitUsage;
                }
            }
        } else if (s.name == "--insert-after" || s.name == "--delete") {
            for (const std::string& t : s.values) {
                if (!ParseInt(t, v)) {
                    ToolError("Keine ganze Zahl: " + t);
                    return kExitUsage;
                }
            }
        }
    }

    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, input)) return kExitFile;
    for (const Step& s : steps) {
        if (s.name == "--sort") {
            doc.SortByMeter();
        } else if (s.name == "--reverse") {
            doc.ReverseMeasurement();
        } else if (s.name == "--add") {
            EAddQuantity q;
            AddQuantityFromName(s.values[0], q);
            int32_t start = 0, end = 0, k = 0;
            ParseInt(s.values[1], start);
            ParseInt(s.values[2], end);
            ParseInt(s.values[3], k);
            doc.AddConstant(q, start, end, k);
        } else if (s.name == "--insert-after") {
            int32_t r = 0;
            ParseInt(s.values[0], r);
            if (r < 0 || r > doc.GetRowCount()) {
                ToolError("Zeile " + s.values[0] + " gibt es nicht (1 bis " + std::to_string(doc.GetRowCount()) + ").");
                return kExitUsage;
            }
            doc.InsertRowAfter(r);
            doc.UpdateAllViews();
        } else if (s.name == "--delete") {
            int32_t first = 0, count = 0;
            ParseInt(s.values[0], first);
            ParseInt(s.values[1], count);
            if (first < 1 || count < 1 || int64_t{first} + count - 1 > doc.GetRowCount()) {
                ToolError("Die Zeilen " + s.values[0] + " bis " + std::to_string(int64_t{first} + count - 1)
                          + " gibt es nicht (1 bis " + std::to_string(doc.GetRowCount()) + ").");
                return kExitUsage;
            }
            doc.DeleteRows(first, count);
            doc.UpdateAllViews();
        } else if (s.name == "--append") {
            if (!doc.AppendFile(s.values[0])) return kExitFile;
        }
    }
    return Save(doc, output) ? kExitOk : kExitFile;
}
