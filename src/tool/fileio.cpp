#include "commands.h"
#include "toolhost.h"
#include "tredoc.h"

#include "fileerror.h"

#include <cerrno>
#include <cstdio>

bool OpenForTool(CTreDoc& doc, CToolHost& host, const std::string& path)
{
    doc.SetHost(&host);
    if (doc.OnOpenDocument(path)) return true;
    if (!host.HadMessage()) ToolError(tresdoc::OpenErrorText(path, EINVAL));
    return false;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        ToolError(tresdoc::WriteErrorText(path, errno));
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !ok) {
        ToolError(tresdoc::WriteErrorText(path, ok ? errno : err));
        return false;
    }
    return true;
}
