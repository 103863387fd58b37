// SPDX-License-Identifier: GPL-3.0-or-later
#include "docfixture.h"

#include "surveyopen.h"
#include "tsdfile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

CTempDir::CTempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "tresdoc-test.XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

void MakeRows(CTreDoc& doc, const std::vector<int32_t>& metres)
{
    doc.OnNewDocument();
    doc.DeleteRows(1, doc.GetRowCount());
    for (size_t i = 0; i < metres.size(); ++i) {
        doc.InsertRowAfter(static_cast<int>(i));
        doc.SetMeter(static_cast<int>(i) + 1, metres[i]);
    }
    doc.SetModifiedFlag(false);
}

bool ReadText(CTreDoc& doc, const std::string& text) { return tresimport::ReadText(doc, text); }

std::string FileWithData(const std::vector<std::string>& dataLines, const std::string& extra)
{
    std::string text
        = "[Version]\r\nV1.1\r\n\r\n[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n7\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
          "[Messdaten]\r\n";
    for (const std::string& l : dataLines) text += l + "\r\n";
    text += "\r\n" + extra;
    return text;
}

SToolRun RunTool(const std::string& args)
{
    const std::string cmd = std::string(TRESMON_TOOL) + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return {-1, std::string()};
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

std::string ShellQuoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
