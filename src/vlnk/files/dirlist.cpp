// SPDX-License-Identifier: LGPL-2.1-or-later
// Directory listing (command 6): "C" with the file specification gives the
// number of entries N, then "D" makes the handheld send N entry frames in a
// row, each acknowledged. The lines are then handed out one per poll.
#include <algorithm>
#include <cstring>
#include <new>

#include "ctrlcommand.h"
#include "direntry.h"
#include "filecommands.h"
#include "frame.h"
#include "logfile.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

enum class DirStage : int { Count = 1, Entries = 2 };

constexpr size_t kSpecMax = 80;

// A reply frame of the entry stage: at least a whole record.
constexpr ReplySize kEntryReply{kDirEntrySize, kReplyPayloadMax};

DirStage Stage(const LinkState& link) { return static_cast<DirStage>(link.m_nStage); }

void FreeList(LinkState& link)
{
    link.m_DirList.clear();
    link.m_DirList.shrink_to_fit();
}

void Fail(LinkState& link, int pending)
{
    link.m_nPendingError = pending;
    FreeList(link);
}

void OnEntry(LinkState& link)
{
    const int ch = link.m_nChannel;
    const std::string frame(reinterpret_cast<const char*>(ReplyPayload(link)), ReplyLength(link));
    if (link.m_nEntriesReceived > 0 && frame == link.m_strLastEntry) {
        // The handheld missed our ACK and sent the entry again.
        CtrlAwaitNextFrame(link, link.m_Settings.StartBlockTimeout, true);
        if (link.m_bFailed) Fail(link, VLNK_REMOTE_TIMEOUT);
        return;
    }
    link.m_strLastEntry = frame;
    const DirEntryRecord entry = ParseDirEntry(ReplyPayload(link), ReplyLength(link));
    if (IsUnsafeName(entry.name, entry.attributes & kAttrDirectory)) {
        LogWrite(ch, "VLNKWDLL:ERROR:Dir:Refused name with a path separator or '..' [%s]", entry.name.c_str());
        return Fail(link, VLNK_BAD_FILENAME);
    }
    const std::string line = FormatDirLine(entry);
    const unsigned n = link.m_nEntriesAnnounced;
    ++link.m_nEntriesReceived;
    if (link.m_nEntriesReceived == 1) {
        try {
            link.m_DirList.reserve(n);
        } catch (const std::bad_alloc&) {
            LogWrite(ch, "VLNKWDLL:ERROR:Dir could not allocate array of %d (%d)", static_cast<int>(n),
                     static_cast<int>(n * (line.size() + 1)));
            return Fail(link, VLNK_REMOTE_TIMEOUT);
        }
    }
    if (link.m_DirList.size() < n) link.m_DirList.push_back(line);
    if (link.m_nEntriesReceived < n) CtrlAwaitNextFrame(link, link.m_Settings.StartBlockTimeout);
}

int Finish(LinkState& link, int result)
{
    FreeList(link);
    link.KillTimer();
    link.m_Port.DisarmNotify();
    link.EndCommand();
    return result;
}

int DirStep(LinkState& link, StepEvent event, int* value, char* text)
{
    switch (event) {
    case StepEvent::Start: return VLNK_WAITING;
    case StepEvent::CommsEvent:
    case StepEvent::TimerEvent:
        if (Stage(link) == DirStage::Entries && link.m_nPendingError) return 0;
        CtrlCommand(link, event);
        if (Stage(link) != DirStage::Entries || !link.m_bDone) return 0;
        if (link.m_bFailed) Fail(link, VLNK_REMOTE_TIMEOUT);
        else if (event == StepEvent::CommsEvent) OnEntry(link);
        return 0;
    case StepEvent::Poll: break;
    }
    if (Stage(link) == DirStage::Count) {
        const int result = CtrlCommand(link, StepEvent::Poll);
        if (result == VLNK_WAITING) return VLNK_WAITING;
        if (result != 0) return Finish(link, result);
        link.m_nEntriesAnnounced = ReplyU16(ReplyPayload(link), ReplyLength(link));
        link.m_nStage = static_cast<int>(DirStage::Entries);
        link.m_nEntriesReceived = link.m_nHandedOut = 0;
        link.m_nPendingError = 0;
        BuildFrame(link, 'D', link.m_strArgument);
        link.m_strLastEntry.clear();
        return CtrlRequest(link, kEntryReply);
    }
    if (link.m_nPendingError) return Finish(link, link.m_nPendingError);
    const unsigned n = link.m_nEntriesAnnounced;
    if (link.m_nEntriesReceived < n) return VLNK_WAITING;
    if (link.m_nHandedOut >= n) return Finish(link, VLNK_CHANNEL_IDLE);
    if (!value && !text) return VLNK_WAITING;
    const unsigned index = link.m_nHandedOut++;
    if (value) *value = static_cast<int>(n - index);
    if (text) {
        const std::string line
            = index < link.m_DirList.size() ? link.m_DirList[index] : "VLNKWDLL:ERROR:INVALID POINTER - NO MEMORY";
        const size_t count = std::min(line.size(), static_cast<size_t>(VLNK_TEXT_SIZE - 1));
        std::memcpy(text, line.data(), count);
        text[count] = '\0';
    }
    return 0;
}

} // namespace

int StartGetDirectory(LinkState& link, const char* spec)
{
    link.LoadRememberedBaud();
    link.SetupLine();
    link.m_strArgument = spec ? spec : "";
    if (link.m_strArgument.size() > kSpecMax) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Dir:File specification longer than %zu characters", kSpecMax);
        return VLNK_BAD_FILENAME;
    }
    FreeList(link);
    link.m_nEntriesAnnounced = 0;
    BuildFrame(link, 'C', link.m_strArgument);
    link.m_nPendingError = 0;
    link.m_nStage = static_cast<int>(DirStage::Count);
    link.BeginCommand(kGetDirectory, DirStep);
    return CtrlRequest(link, kWordReply);
}

} // namespace vlnk
