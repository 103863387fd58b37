// SPDX-License-Identifier: LGPL-2.1-or-later
// Software download (command 16): a firmware image goes to the handheld's
// loader unframed at 2400 baud, block by block, paced either by the timer or
// by the output queue draining. Nothing comes back from the handheld.
#include <cctype>
#include <cstdio>
#include <sys/stat.h>

#include "filecommands.h"
#include "libdir.h"
#include "localfile.h"
#include "logfile.h"
#include "pcpath.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

constexpr size_t kBlock = 242;

// Sends the next block; false when there is none (or the download was stopped).
bool SendBlock(LinkState& link)
{
    if (link.m_nPendingError || !link.m_pLocalFile) return false;
    const size_t count = std::fread(link.m_Block.data(), 1, kBlock, link.m_pLocalFile);
    if (std::ferror(link.m_pLocalFile)) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:SWDL:Could not read file [%s]", link.m_strArgument.c_str());
        link.m_nPendingError = VLNK_FILE_OPEN_FAILED;
        return false;
    }
    link.m_nBlockLength = count;
    if (count == 0) return false;
    link.m_Port.SendString(link.m_Block.data(), count);
    if (SystemDirWritable()) link.StartTimer(link.m_Settings.ConnectTimeout);
    else link.m_Port.ArmNotify(-1, 1);
    return true;
}

int DownloadStep(LinkState& link, StepEvent event, int* value, char* text)
{
    switch (event) {
    case StepEvent::Start: return VLNK_WAITING;
    case StepEvent::CommsEvent:
    case StepEvent::TimerEvent:
        if (link.m_bDone) return 0;
        link.m_nDoneBytes += link.m_nBlockLength;
        link.m_nBlockLength = 0;
        if (!SendBlock(link)) {
            link.m_bDone = true;
            CloseLocal(link);
        }
        return 0;
    case StepEvent::Poll: break;
    }
    const unsigned long done = link.m_nDoneBytes;
    if (done != 0 && static_cast<long>(done) != link.m_nLastReported) {
        if (value) *value = link.m_nFileSize ? static_cast<int>(done * 100 / link.m_nFileSize) : 100;
        if (text) std::snprintf(text, VLNK_TEXT_SIZE, "%lu of %lu", done, link.m_nFileSize);
        link.m_nLastReported = static_cast<long>(done);
    } else if (done == 0 && text) {
        std::snprintf(text, VLNK_TEXT_SIZE, "0 of %lu", link.m_nFileSize);
    }
    if (!link.m_bDone) return VLNK_WAITING;
    link.EndCommand();
    CloseLocal(link);
    const int pending = link.m_nPendingError;
    if (pending == VLNK_USER_STOPPED) LogWrite(link.m_nChannel, "User aborted software download");
    else if (pending)
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:SWDL:error in software download file [%s] = (%d)",
                 link.m_strArgument.c_str(), pending);
    else LogWrite(link.m_nChannel, "Software downloaded successfully");
    return pending;
}

} // namespace

const char* DownloadImageName(int machine)
{
    switch (machine) {
    case 1: return "varden.bin";
    case 2: return "orle.bin";
    case 3:
    case 4: return "v16xt2.bin";
    default: return nullptr;
    }
}

int StartSoftwareDownload(LinkState& link, int machine)
{
    const int ch = link.m_nChannel;
    const char* name = DownloadImageName(machine);
    if (!name) {
        LogWrite(ch, "VLNKWDLL:ERROR:SWDL:Invalid machine type %d", machine);
        return VLNK_BAD_MACHINE;
    }
    std::string path = FindOnPath(name);
    if (path.empty()) {
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string fallback = LibraryDir() + "/" + upper;
        struct stat st { };
        if (stat(fallback.c_str(), &st) == 0) path = fallback;
    }
    if (path.empty()) {
        LogWrite(ch, "VLNKWDLL:ERROR:SWDL:[%s] not found on path", name);
        return VLNK_NO_DOWNLOAD_FILE;
    }
    link.m_strArgument = path;
    CloseLeftOpen(link, "SWDL");
    link.m_pLocalFile = std::fopen(path.c_str(), "rb");
    if (!link.m_pLocalFile) {
        LogWrite(ch, "VLNKWDLL:ERROR:SWDL:Could not open file to transmit [%s]", path.c_str());
        return VLNK_FILE_OPEN_FAILED;
    }
    struct stat st { };
    link.m_nFileSize = fstat(fileno(link.m_pLocalFile), &st) == 0 ? static_cast<unsigned long>(st.st_size) : 0;
    link.m_nDoneBytes = 0;
    link.m_nPendingError = 0;
    link.m_nBlockLength = 0;
    link.m_bDone = false;
    link.m_Port.Setup(link.m_strPort, "2400");
    link.BeginCommand(kSoftwareDownload, DownloadStep);
    LogWrite(ch, "Downloading software %s to remote", path.c_str());
    link.m_Port.FlushReceive();
    if (!SendBlock(link)) {
        link.m_bDone = true;
        CloseLocal(link);
    }
    link.m_nLastReported = -1;
    return VLNK_WAITING;
}

} // namespace vlnk
