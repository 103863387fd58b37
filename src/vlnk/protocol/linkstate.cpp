// SPDX-License-Identifier: LGPL-2.1-or-later
#include "linkstate.h"

#include "logfile.h"
#include "msgwindow.h"
#include "settings.h"
#include "vlnkw32.h"

namespace vlnk {

LinkState::LinkState(int channel)
    : m_nChannel(channel)
    , m_Port(channel)
{ }

int LinkState::Open(const char* port)
{
    m_bDone = m_bFailed = m_bCommsError = false;
    m_bOpenForLink = false;
    m_bResync = false;
    m_eHandheld = Handheld::InStep;
    m_nVerifyReceive = -1;
    const std::string name = port ? port : "";
    if (name.size() > kPortNameMax) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Port name longer than %zu characters '%.*s...'", kPortNameMax,
                 static_cast<int>(kPortNameMax), name.c_str());
        return VLNK_OPEN_PORT_FAILED;
    }
    m_strPort = name;
    ReadProtocolSettings(m_nChannel, m_Settings);
    m_nRetryLimit = static_cast<int>(m_Settings.MaxRetries);
    m_strBaud = "2400";
    if (m_Port.OpenPort(m_strPort) != 0) return VLNK_OPEN_PORT_FAILED;
    LogWrite(m_nChannel, "Channel opened as %s", m_strPort.c_str());
    m_bOpenForLink = true;
    return 0;
}

int LinkState::Close()
{
    // A lost port takes no flush; the command just ends.
    if (IsBusy() && !m_Port.Lost()) Cancel();
    // A transfer only notes a cancel and ends at its next block, which will
    // never come on a closed port: it ends here so the channel opens idle again.
    Abandon();
    LogWrite(m_nChannel, "Channel closed");
    m_bOpenForLink = false;
    return m_Port.ClosePort();
}

int LinkState::Cancel()
{
    switch (m_nCommandId) {
    case kIdle: LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to cancel an idle channel"); return VLNK_CHANNEL_IDLE;
    case kTransmitFile: m_nBlockLength = 0; [[fallthrough]];
    case kReceiveFile:
    case kSoftwareDownload:
        m_nPendingError = VLNK_USER_STOPPED;
        if (!m_bCancelled) {
            m_bCancelled = true;
            m_cancelDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCancelGraceMs);
        }
        return 0;
    default: break;
    }
    if (m_bTimerRunning) {
        KillTimer();
        m_Port.DisarmNotify();
    }
    m_Port.FlushReceive();
    m_Port.ResetPort();
    if (m_nCommandId == kCheckConnect) m_nBaudSearchIndex = 0;
    if (m_nCommandId == kGetDirectory) m_DirList.clear();
    m_bFailed = m_bCommsError = false;
    m_bDone = true;
    // The handheld may still be answering (a listing's entries keep coming).
    m_bResync = true;
    LogWrite(m_nChannel, "Channel cancelled");
    EndCommand();
    return 0;
}

void LinkState::BeginCommand(int id, StepFn step)
{
    m_nCommandId = id;
    m_step = std::move(step);
}

void LinkState::EndCommand()
{
    m_nCommandId = kIdle;
    m_step = nullptr;
    m_bCancelled = false;
}

void LinkState::Abandon()
{
    KillTimer();
    m_Port.DisarmNotify();
    EndCommand();
    if (m_pLocalFile) {
        std::fclose(m_pLocalFile);
        m_pLocalFile = nullptr;
    }
    for (std::string* path : {&m_strPartialPath, &m_strPreviousRead}) {
        if (path->empty()) continue;
        if (std::remove(path->c_str()) == 0) LogWrite(m_nChannel, "Removed file %s from disk", path->c_str());
        path->clear();
    }
    m_DirList.clear();
}

void LinkState::Deliver(StepEvent event)
{
    m_Port.DisarmNotify();
    KillTimer();
    // Nothing answers on a vanished port: the step would only retry into the
    // void. The command ends at the caller's next poll.
    if (m_Port.Lost()) return;
    if (!IsBusy() || !m_step) {
        LogWrite(m_nChannel, event == StepEvent::TimerEvent ? "VLNKWDLL:ERROR:Got timer event with nothing active"
                                                            : "VLNKWDLL:ERROR:Got comms event with nothing active");
        return;
    }
    // The waits inside a step pump messages; an event of this channel that
    // comes through them would run a second step in the middle of the first.
    // It is posted again instead and reaches the channel after this step.
    if (m_bInStep) {
        m_deferred.push_back(event);
        return;
    }
    // The step may end the command (and drop m_step) while it runs.
    StepFn step = m_step;
    m_bInStep = true;
    step(*this, event, nullptr, nullptr);
    m_bInStep = false;
    RepostDeferred();
}

int LinkState::RunStart(const std::function<int()>& start)
{
    m_bInStep = true;
    int result = VLNK_CHANNEL_IDLE;
    try {
        result = start();
    } catch (...) {
        m_bInStep = false;
        m_deferred.clear();
        throw;
    }
    m_bInStep = false;
    RepostDeferred();
    return result;
}

void LinkState::RepostDeferred()
{
    CMsgWindow* window = TheWindow();
    for (const StepEvent event : m_deferred) {
        if (!window) break;
        if (event == StepEvent::TimerEvent) window->Post(WM_TIMER, static_cast<uintptr_t>(m_nChannel), 0);
        else if (m_Port.Handle() >= 0) window->Post(WM_COMMNOTIFY, static_cast<uintptr_t>(m_Port.Handle()), 1);
    }
    m_deferred.clear();
}

void LinkState::LoadRememberedBaud() { m_strBaud = ReadRememberedBaud(m_nChannel, m_strPort); }

void LinkState::SetupLine() { m_Port.Setup(m_strPort, m_strBaud); }

void LinkState::ChooseRetryLimit()
{
    m_nRetryLimit = static_cast<int>(m_Port.IrMode ? m_Settings.MaxIRRetries : m_Settings.MaxRetries);
}

int LinkState::Poll(int* value, char* text)
{
    if (m_nCommandId < 1 || m_nCommandId > kLastCommand || !m_step) return VLNK_CHANNEL_IDLE;
    if (m_Port.Lost()) {
        Abandon();
        return VLNK_COMMS_ERROR;
    }
    if (m_bCancelled && std::chrono::steady_clock::now() >= m_cancelDeadline) {
        // No block boundary came in time (a silent or babbling line): the
        // command ends here, and the next one brings the handheld back.
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Cancelled command ended without the handheld");
        Abandon();
        m_bResync = true;
        return VLNK_USER_STOPPED;
    }
    StepFn step = m_step;
    m_bInStep = true;
    const int result = step(*this, StepEvent::Poll, value, text);
    m_bInStep = false;
    RepostDeferred();
    if (!IsBusy()) {
        switch (result) {
        case VLNK_REMOTE_TIMEOUT:
        case VLNK_RECEIVE_FAILED:
        case VLNK_COMMS_ERROR:
        case VLNK_BAD_FILENAME:
        case VLNK_USER_STOPPED: m_bResync = true; break;
        default: break;
        }
    }
    return result;
}

void LinkState::StartTimer(unsigned ms)
{
    if (m_bTimerRunning) return;
    if (CMsgWindow* window = TheWindow()) {
        window->SetTimer(static_cast<unsigned>(m_nChannel), ms);
        m_bTimerRunning = true;
    }
}

void LinkState::KillTimer()
{
    if (CMsgWindow* window = TheWindow()) window->KillTimer(static_cast<unsigned>(m_nChannel));
    m_bTimerRunning = false;
}

} // namespace vlnk
