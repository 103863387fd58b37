// SPDX-License-Identifier: LGPL-2.1-or-later
// Receive a handheld file (command 13): "C" with the name counts the matching
// entries, "D" fetches them (size, date and time), "R" opens the file on the
// handheld, then every 0x00 request brings one data block until an empty block
// ends the file, and a last frame - 0x00 for success, 0xFF for failure - is
// answered by a bare ACK.
//
// The data goes into a temporary file beside the target, which replaces the
// target only when the whole file arrived: a failed receive leaves an
// existing file of the same name as it was, and no partial file behind.
//
// The frames' 8-bit sum misses errors that cancel out (two bytes changed by
// +d and -d), so a noisy line can deliver a wrong file of the right size.
// With verification (VerifyReceive=1, or VLNKSetVerifyReceive) the file is
// read again with "R" and replaces the target only when two consecutive reads
// agree byte for byte; after kMaxReads reads without that the receive fails.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ctrlcommand.h"
#include "direntry.h"
#include "filecommands.h"
#include "frame.h"
#include "localfile.h"
#include "logfile.h"
#include "pcpath.h"
#include "settings.h"
#include "sidefile.h"
#include "transferprogress.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

enum class RxStage : int { Count, Entries, Header, Data, Confirm };

RxStage Stage(const LinkState& link) { return static_cast<RxStage>(link.m_nStage); }
void SetStage(LinkState& link, RxStage stage) { link.m_nStage = static_cast<int>(stage); }

const std::string& PcPath(const LinkState& link) { return link.m_strArgument; }

// A fresh file beside the target, created exclusively, with the permissions
// of the file it is to replace (a new target's when there is none): a
// private survey stays private.
std::FILE* CreatePartial(LinkState& link)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = PcPath(link) + ".part" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        if (fchmod(fd, ReplacementMode(PcPath(link))) != 0) {
            close(fd);
            unlink(path.c_str());
            return nullptr;
        }
        std::FILE* file = fdopen(fd, "wb");
        if (!file) {
            close(fd);
            unlink(path.c_str());
            return nullptr;
        }
        link.m_strPartialPath = path;
        return file;
    }
    return nullptr;
}

void RemovePartial(LinkState& link)
{
    for (std::string* path : {&link.m_strPartialPath, &link.m_strPreviousRead}) {
        if (path->empty()) continue;
        if (std::remove(path->c_str()) == 0) LogWrite(link.m_nChannel, "Removed file %s from disk", path->c_str());
        path->clear();
    }
}

constexpr int kMaxReads = 3;

bool SameContent(const std::string& a, const std::string& b)
{
    std::FILE* fa = std::fopen(a.c_str(), "rb");
    std::FILE* fb = std::fopen(b.c_str(), "rb");
    bool same = fa && fb;
    char bufA[4096], bufB[4096];
    while (same) {
        const size_t na = std::fread(bufA, 1, sizeof bufA, fa);
        const size_t nb = std::fread(bufB, 1, sizeof bufB, fb);
        same = na == nb && std::memcmp(bufA, bufB, na) == 0 && !std::ferror(fa) && !std::ferror(fb);
        if (na == 0) break;
    }
    if (fa) std::fclose(fa);
    if (fb) std::fclose(fb);
    return same;
}

// "R": the handheld opens the file and its header reply follows.
void RequestOpen(LinkState& link, const std::string& name)
{
    BuildFrame(link, 'R', name);
    SetStage(link, RxStage::Header);
    // From here the handheld may be sending, even when its answer is lost.
    link.m_eHandheld = LinkState::Handheld::Sending;
    CtrlRequest(link, kWordReply);
}

// Opens the handheld file once more for the next read.
void NextRead(LinkState& link)
{
    link.m_strPreviousRead = link.m_strPartialPath;
    link.m_strPartialPath.clear();
    link.m_nDoneBytes = 0;
    link.m_nLastSequence = 0xFFFF; // the handheld numbers each read's blocks from 0
    link.m_bDone = false;
    RequestOpen(link, HandheldName(PcPath(link)));
}

void NotOnRemote(LinkState& link, const std::string& name)
{
    LogWrite(link.m_nChannel, "VLNKWDLL:WARNING:Cannot find '%s' on remote", name.c_str());
    link.m_nPendingError = VLNK_FILE_NOT_FOUND;
}

// A verified receive after a complete read: true when it is over (the read
// agrees with the one before, or the reads are used up and the receive
// failed); false when another read has begun.
bool ReadsSettled(LinkState& link)
{
    const int ch = link.m_nChannel;
    const char* path = PcPath(link).c_str();
    ++link.m_nReads;
    if (!link.m_strPreviousRead.empty()) {
        if (SameContent(link.m_strPreviousRead, link.m_strPartialPath)) {
            std::remove(link.m_strPreviousRead.c_str());
            link.m_strPreviousRead.clear();
            LogWrite(ch, "Reads %d and %d of %s agree", link.m_nReads - 1, link.m_nReads, path);
            return true;
        }
        LogWrite(ch, "VLNKWDLL:WARNING:RX:Read %d of [%s] differs from read %d", link.m_nReads, path,
                 link.m_nReads - 1);
        std::remove(link.m_strPreviousRead.c_str());
        link.m_strPreviousRead.clear();
        if (link.m_nReads >= kMaxReads) {
            LogWrite(ch, "VLNKWDLL:ERROR:RX:No two consecutive of %d reads of [%s] agree", kMaxReads, path);
            link.m_nPendingError = VLNK_RECEIVE_FAILED;
            return true;
        }
    }
    NextRead(link);
    return false;
}

// A reply frame of the entry stages: at least a whole record.
constexpr ReplySize kEntryReply{kDirEntrySize, kReplyPayloadMax};

void RequestBlock(LinkState& link, uint8_t answer)
{
    BuildFrame(link, 0, &answer, 1);
    CtrlCommand(link, StepEvent::Start);
}

// The last frame goes out without an exchange: the handheld answers it with a
// bare ACK.
void Confirm(LinkState& link, uint8_t answer)
{
    BuildFrame(link, 0, &answer, 1);
    SetStage(link, RxStage::Confirm);
    link.m_nAckRetries = 0;
    link.m_bDone = false;
    SendDirect(link);
}

void Finish(LinkState& link)
{
    const int ch = link.m_nChannel;
    const char* path = PcPath(link).c_str();
    if (!CloseLocal(link, link.m_nPendingError == 0) && link.m_nPendingError == 0) {
        LogWrite(ch, "VLNKWDLL:ERROR:RX:Could not write file [%s]", path);
        link.m_nPendingError = VLNK_PC_FULL;
    }
    if (link.m_nPendingError == 0 && link.m_bVerifying && !ReadsSettled(link)) return;
    if (link.m_nPendingError == 0) {
        if (std::rename(link.m_strPartialPath.c_str(), path) != 0) {
            LogWrite(ch, "VLNKWDLL:ERROR:RX:Could not replace [%s]: %s", path, std::strerror(errno));
            link.m_nPendingError = VLNK_PC_NO_RIGHTS;
        } else {
            link.m_strPartialPath.clear();
            LogWrite(ch, "Finished receiving file %s (length %lu bytes)", path, link.m_nFileSize);
            SetFileDateTime(path, DosToTime(link.m_nEntryDate, link.m_nEntryTime));
        }
    }
    if (link.m_nPendingError == VLNK_USER_STOPPED) LogWrite(ch, "User aborted reception of %s", path);
    else if (link.m_nPendingError != 0)
        LogWrite(ch, "VLNKWDLL:ERROR:RX:error receiving file %s = (%d)", path, link.m_nPendingError);
    link.m_bDone = true;
}

void OnBlock(LinkState& link)
{
    const uint8_t* data = ReplyPayload(link);
    size_t length = ReplyLength(link);
    if (link.m_Port.IrMode && length > 0) {
        if (data[0] == link.m_nLastSequence) {
            // The handheld missed our ACK and sent the block again.
            RequestBlock(link, 0x00);
            return;
        }
        link.m_nLastSequence = data[0];
        ++data;
        --length;
    }
    if (length == 0) {
        if (link.m_nPendingError == 0 && link.m_nDoneBytes != link.m_nFileSize) {
            // A block lost or taken twice on the way; the file would be wrong.
            LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:RX:Received %lu of %lu bytes [%s]", link.m_nDoneBytes,
                     link.m_nFileSize, PcPath(link).c_str());
            link.m_nPendingError = VLNK_RECEIVE_FAILED;
        }
        Confirm(link, link.m_nPendingError ? 0xFF : 0x00);
        return;
    }
    if (link.m_nPendingError == 0 && link.m_nDoneBytes + length > link.m_nFileSize) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:RX:More than the %lu bytes announced [%s]", link.m_nFileSize,
                 PcPath(link).c_str());
        link.m_nPendingError = VLNK_RECEIVE_FAILED;
    }
    const size_t written
        = link.m_pLocalFile && link.m_nPendingError == 0 ? std::fwrite(data, 1, length, link.m_pLocalFile) : 0;
    if (written < length || link.m_nPendingError) {
        if (link.m_nPendingError == 0) link.m_nPendingError = VLNK_PC_FULL;
        Confirm(link, 0xFF);
        return;
    }
    link.m_nDoneBytes += length;
    RequestBlock(link, 0x00);
}

void OnReply(LinkState& link)
{
    const int ch = link.m_nChannel;
    const std::string name = HandheldName(PcPath(link));
    if (link.m_nPendingError == VLNK_USER_STOPPED && Stage(link) != RxStage::Data) {
        // Cancelled before the data: a handheld that has opened the file is
        // told as at the end of a failed receive.
        if (Stage(link) == RxStage::Header && ReplyU16(ReplyPayload(link), ReplyLength(link)) == 0)
            return Confirm(link, 0xFF);
        link.m_eHandheld = LinkState::Handheld::InStep;
        link.m_bDone = true;
        return;
    }
    switch (Stage(link)) {
    case RxStage::Count:
        link.m_nEntriesAnnounced = ReplyU16(ReplyPayload(link), ReplyLength(link));
        link.m_nEntriesReceived = 0;
        // Nothing would answer "D"; the file is not there.
        if (link.m_nEntriesAnnounced == 0) return NotOnRemote(link, name);
        BuildFrame(link, 'D', name);
        SetStage(link, RxStage::Entries);
        link.m_strLastEntry.clear();
        CtrlRequest(link, kEntryReply);
        link.m_nLastReported = -1;
        return;
    case RxStage::Entries: {
        const std::string frame(reinterpret_cast<const char*>(ReplyPayload(link)), ReplyLength(link));
        if (link.m_nEntriesReceived > 0 && frame == link.m_strLastEntry) {
            // The handheld missed our ACK and sent the entry again.
            CtrlAwaitNextFrame(link, link.m_Settings.RetryTimeout, true);
            return;
        }
        link.m_strLastEntry = frame;
        const DirEntryRecord entry = ParseDirEntry(ReplyPayload(link), ReplyLength(link));
        if (!(entry.attributes & kAttrDirectory)) {
            link.m_nFileSize = entry.size;
            link.m_bSizeKnown = true;
            link.m_nEntryDate = entry.date;
            link.m_nEntryTime = entry.time;
        }
        if (++link.m_nEntriesReceived < link.m_nEntriesAnnounced) {
            CtrlAwaitNextFrame(link, link.m_Settings.RetryTimeout);
            return;
        }
        if (link.m_nEntryDate == 0) return NotOnRemote(link, name);
        return RequestOpen(link, name);
    }
    case RxStage::Header: {
        if (const int status = ReplyU16(ReplyPayload(link), ReplyLength(link))) {
            link.m_eHandheld = LinkState::Handheld::InStep;
            LogWrite(ch, "VLNKWDLL:ERROR:RX:HHT Could not open file to receive [%s] (%d)", PcPath(link).c_str(),
                     status);
            link.m_nPendingError = VLNK_FILE_OPEN_FAILED;
            return;
        }
        link.m_pLocalFile = CreatePartial(link);
        if (!link.m_pLocalFile) {
            LogWrite(ch, "VLNKWDLL:ERROR:RX:Could not open file to receive [%s]", PcPath(link).c_str());
            link.m_nPendingError = VLNK_FILE_OPEN_FAILED;
        }
        SetStage(link, RxStage::Data);
        RequestBlock(link, 0x00);
        return;
    }
    case RxStage::Data: OnBlock(link); return;
    case RxStage::Confirm: return;
    }
}

void OnConfirmAnswer(LinkState& link, bool gotAck)
{
    if (gotAck) link.m_eHandheld = LinkState::Handheld::InStep;
    if (!gotAck) {
        if (link.m_nAckRetries++ < link.m_nRetryLimit) {
            SendDirect(link);
            return;
        }
        if (link.m_nPendingError == 0) link.m_nPendingError = VLNK_RECEIVE_FAILED;
    }
    Finish(link);
}

// A verified receive counts the bytes of all its reads against those of two
// (of three, once a third read runs).
void Progress(LinkState& link, int* value, char* text)
{
    if (!link.m_bSizeKnown) {
        if (text) std::snprintf(text, VLNK_TEXT_SIZE, "0 of ?");
        return;
    }
    const unsigned long block = link.m_Port.IrMode ? 255 : 256;
    if (!link.m_bVerifying) return ReportTransferProgress(link, block, 5 * 256, value, text);
    const unsigned long reads = link.m_nReads < 2 ? 2 : kMaxReads;
    const unsigned long done = std::min<unsigned long>(link.m_nReads, reads) * link.m_nFileSize + link.m_nDoneBytes;
    ReportTransferProgress(link, std::min(done, reads * link.m_nFileSize), reads * link.m_nFileSize, block, 5 * 256,
                           value, text);
}

int ReceiveStep(LinkState& link, StepEvent event, int* value, char* text)
{
    switch (event) {
    case StepEvent::Start: return VLNK_WAITING;
    case StepEvent::CommsEvent:
        if (link.m_bDone) return 0;
        if (Stage(link) == RxStage::Confirm) {
            if (const std::optional<bool> ack = TakeDirectAnswer(link)) OnConfirmAnswer(link, *ack);
            return 0;
        }
        [[fallthrough]];
    case StepEvent::TimerEvent:
        if (link.m_bDone) return 0;
        if (Stage(link) == RxStage::Confirm) {
            OnConfirmAnswer(link, false);
            return 0;
        }
        CtrlCommand(link, event);
        if (!link.m_bDone) return 0;
        if (link.m_bFailed) {
            if (Stage(link) == RxStage::Header) {
                LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:RX:HHT failed receive header [%s]", PcPath(link).c_str());
                link.m_nPendingError = VLNK_FILE_OPEN_FAILED;
            }
            return 0;
        }
        OnReply(link);
        return 0;
    case StepEvent::Poll: break;
    }
    Progress(link, value, text);
    if (!link.m_bDone) return VLNK_WAITING;
    CloseLocal(link);
    link.KillTimer();
    link.m_Port.DisarmNotify();
    link.EndCommand();
    int result = link.m_bFailed || link.m_nPendingError ? VLNK_REMOTE_TIMEOUT
                 : Stage(link) == RxStage::Confirm      ? 0
                                                        : VLNK_REMOTE_TIMEOUT;
    if (link.m_nPendingError) result = link.m_nPendingError;
    if (result != 0) RemovePartial(link);
    return result;
}

} // namespace

int StartReceiveFile(LinkState& link, const char* pcPath)
{
    if (!BeginTransfer(link, pcPath, "RX", "receive", "receive")) return VLNK_BAD_FILENAME;
    const int ch = link.m_nChannel;
    const char* path = link.m_strArgument.c_str();
    if (ReachesOutside(link.m_strArgument)) {
        LogWrite(ch, "VLNKWDLL:ERROR:RX:Refused name with a path separator or '..' [%s]", path);
        return VLNK_BAD_FILENAME;
    }
    CloseLeftOpen(link, "RX");
    if (access(path, F_OK) == 0 && access(path, W_OK) != 0) {
        LogWrite(ch, "VLNKWDLL:ERROR:RX:Insufficient rights to open [%s]", path);
        return VLNK_PC_NO_RIGHTS;
    }
    link.m_nFileSize = 0;
    link.m_bSizeKnown = false;
    link.m_nDoneBytes = 0;
    link.m_nPendingError = 0;
    link.m_nEntryDate = link.m_nEntryTime = 0;
    link.m_strPartialPath.clear();
    link.m_strPreviousRead.clear();
    link.m_nReads = 0;
    link.m_bVerifying = link.m_nVerifyReceive < 0 ? ReadVerifyReceive() : link.m_nVerifyReceive > 0;
    if (link.m_bVerifying) LogWrite(ch, "Reading %s twice to verify it", path);
    BuildFrame(link, 'C', HandheldName(link.m_strArgument));
    SetStage(link, RxStage::Count);
    link.BeginCommand(kReceiveFile, ReceiveStep);
    CtrlRequest(link, kWordReply);
    link.m_Block.fill(0);
    link.m_nLastSequence = 0xFFFF;
    return VLNK_WAITING;
}

} // namespace vlnk
