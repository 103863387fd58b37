// SPDX-License-Identifier: LGPL-2.1-or-later
#include "localfile.h"

#include <cstdio>
#include <unistd.h>

#include "frame.h"
#include "logfile.h"
#include "pcpath.h"

namespace vlnk {

bool BeginTransfer(LinkState& link, const char* pcPath, const char* tag, const char* trying, const char* cannot)
{
    const int ch = link.m_nChannel;
    link.m_strArgument = pcPath ? pcPath : "";
    const char* path = link.m_strArgument.c_str();
    LogWrite(ch, "Trying to %s file %s", trying, path);
    link.LoadRememberedBaud();
    link.SetupLine();
    if (IsInvalidTransferName(link.m_strArgument) || HandheldName(link.m_strArgument).size() > kRequestDataMax - 1) {
        LogWrite(ch, "VLNKWDLL:ERROR:%s:Cannot %s - invalid filename [%s]", tag, cannot, path);
        return false;
    }
    return true;
}

void CloseLeftOpen(LinkState& link, const char* tag)
{
    if (!link.m_pLocalFile) return;
    LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:%s:File already open [%s] - closed", tag, link.m_strArgument.c_str());
    CloseLocal(link);
}

bool CloseLocal(LinkState& link, bool durable)
{
    if (!link.m_pLocalFile) return true;
    bool ok = true;
    if (durable) ok = std::fflush(link.m_pLocalFile) == 0 && fsync(fileno(link.m_pLocalFile)) == 0;
    ok = std::fclose(link.m_pLocalFile) == 0 && ok;
    link.m_pLocalFile = nullptr;
    return ok;
}

} // namespace vlnk
