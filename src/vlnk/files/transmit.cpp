// SPDX-License-Identifier: LGPL-2.1-or-later
// Transmit a PC file to the handheld (command 12): "T" with the name, then one
// data frame per block, each answered by a status; an empty frame ends the
// file. The PC acknowledges the reply to that last frame with EOT instead of
// ACK when the transfer was cancelled.
#include <cstdio>
#include <sys/stat.h>

#include "ctrlcommand.h"
#include "filecommands.h"
#include "frame.h"
#include "localfile.h"
#include "logfile.h"
#include "pcpath.h"
#include "transferprogress.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

enum class TxStage : int { Sending, Finished };

constexpr size_t kCableBlock = 242;
constexpr size_t kInfraredBlock = 241; // plus the sequence byte

TxStage Stage(const LinkState& link) { return static_cast<TxStage>(link.m_nStage); }
void SetStage(LinkState& link, TxStage stage) { link.m_nStage = static_cast<int>(stage); }
const std::string& PcPath(const LinkState& link) { return link.m_strArgument; }

// The block after the one in flight. A file that cannot be read any more ends
// the transfer like a cancel, with its own result.
void ReadBlock(LinkState& link)
{
    const bool ir = link.m_Port.IrMode;
    const size_t offset = ir ? 1 : 0;
    if (ir) link.m_Block[0] = static_cast<uint8_t>(link.m_nSequence & 0xFF);
    size_t count = 0;
    if (link.m_pLocalFile && link.m_nPendingError == 0) {
        count = std::fread(link.m_Block.data() + offset, 1, ir ? kInfraredBlock : kCableBlock, link.m_pLocalFile);
        if (std::ferror(link.m_pLocalFile)) {
            LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:TX:Could not read file [%s]", PcPath(link).c_str());
            link.m_nPendingError = VLNK_FILE_OPEN_FAILED;
            count = 0;
        }
    }
    link.m_nBlockLength = count;
}

void OnReply(LinkState& link)
{
    const int ch = link.m_nChannel;
    const char* path = PcPath(link).c_str();
    const int status = ReplyU16(ReplyPayload(link), ReplyLength(link));
    if (status == 1) {
        LogWrite(ch, "VLNKWDLL:ERROR:TX:Handheld cannot write block in [%s] error=(%d)", path, status);
        link.m_nPendingError = VLNK_HANDHELD_FULL;
        link.m_eHandheld = LinkState::Handheld::InStep;
        SetStage(link, TxStage::Finished);
        CloseLocal(link);
        return;
    }
    if (status == 0) link.m_nDoneBytes += link.m_nBlockLength;
    else LogWrite(ch, "VLNKWDLL:ERROR:TX:Unknown error on [%s] error=(%d)", path, status);

    if (Stage(link) == TxStage::Finished) {
        link.m_eHandheld = LinkState::Handheld::InStep;
        CloseLocal(link);
        if (link.m_nPendingError == 0) LogWrite(ch, "Finished sending file %s", path);
        else if (link.m_nPendingError == VLNK_USER_STOPPED) LogWrite(ch, "User aborted transmission of %s", path);
        else LogWrite(ch, "VLNKWDLL:ERROR:TX:Error sending file %s = (%d)", path, link.m_nPendingError);
        return;
    }
    if (link.m_nBlockLength > 0) {
        BuildFrame(link, 0, link.m_Block.data(), link.m_nBlockLength + (link.m_Port.IrMode ? 1 : 0));
    } else {
        if (link.m_nPendingError) link.m_bSendEot = true;
        BuildFrame(link, 0, nullptr, 0);
        SetStage(link, TxStage::Finished);
    }
    CtrlRequest(link, kWordReply);
    if (Stage(link) == TxStage::Sending) {
        ++link.m_nSequence;
        ReadBlock(link);
    }
}

void Progress(LinkState& link, int* value, char* text)
{
    ReportTransferProgress(link, link.m_Port.IrMode ? kInfraredBlock : kCableBlock, 5 * kCableBlock, value, text);
}

int TransmitStep(LinkState& link, StepEvent event, int* value, char* text)
{
    switch (event) {
    case StepEvent::Start: return VLNK_WAITING;
    case StepEvent::CommsEvent:
    case StepEvent::TimerEvent:
        if (link.m_bDone) return 0;
        CtrlCommand(link, event);
        if (link.m_bDone && !link.m_bFailed) OnReply(link);
        return 0;
    case StepEvent::Poll: break;
    }
    Progress(link, value, text);
    if (!link.m_bDone) return VLNK_WAITING;
    link.KillTimer();
    link.m_Port.DisarmNotify();
    CloseLocal(link);
    link.EndCommand();
    if (link.m_bFailed) return VLNK_REMOTE_TIMEOUT;
    return link.m_nPendingError;
}

} // namespace

int StartTransmitFile(LinkState& link, const char* pcPath)
{
    if (!BeginTransfer(link, pcPath, "TX", "send", "transmit")) return VLNK_BAD_FILENAME;
    const int ch = link.m_nChannel;
    const char* path = link.m_strArgument.c_str();
    struct stat st { };
    if (stat(path, &st) != 0) {
        LogWrite(ch, "VLNKWDLL:ERROR:TX:Cannot find file to transmit [%s]", path);
        return VLNK_FILE_NOT_FOUND;
    }
    CloseLeftOpen(link, "TX");
    link.m_pLocalFile = S_ISREG(st.st_mode) ? std::fopen(path, "rb") : nullptr;
    if (!link.m_pLocalFile) {
        LogWrite(ch, "VLNKWDLL:ERROR:TX:Could not open file to transmit [%s]", path);
        return VLNK_FILE_OPEN_FAILED;
    }
    link.m_nFileSize = static_cast<unsigned long>(st.st_size);
    link.m_nDoneBytes = 0;
    link.m_nPendingError = 0;
    BuildFrame(link, 'T', HandheldName(link.m_strArgument));
    SetStage(link, TxStage::Sending);
    link.m_bSendEot = false;
    // From here the handheld may be receiving, even when its answer is lost.
    link.m_eHandheld = LinkState::Handheld::Receiving;
    link.BeginCommand(kTransmitFile, TransmitStep);
    CtrlRequest(link, kWordReply);
    link.m_nSequence = 0;
    ReadBlock(link);
    link.m_nLastReported = -1;
    return VLNK_WAITING;
}

} // namespace vlnk
