#include "linkstate.h"

#include "logfile.h"
#include "msgwindow.h"

namespace vlnk {

LinkState::LinkState(int channel) : m_nChannel(channel), m_Port(channel) {}

int LinkState::Open(const char* port) {
  m_bDone = m_bFailed = m_bCommsError = false;
  m_bOpenForLink = false;
  const std::string name = port ? port : "";
  if (name.size() > kPortNameMax) {
    LogWrite(m_nChannel, "VLNKWDLL:ERROR:Port name longer than %zu characters '%.*s...'", kPortNameMax,
             static_cast<int>(kPortNameMax), name.c_str());
    return 204;
  }
  m_strPort = name;
  ReadProtocolSettings(m_nChannel, m_Settings);
  m_nRetryLimit = static_cast<int>(m_Settings.MaxRetries);
  m_strBaud = "2400";
  if (m_Port.OpenPort(m_strPort) != 0) return 204;
  LogWrite(m_nChannel, "Channel opened as %s", m_strPort.c_str());
  m_bOpenForLink = true;
  return 0;
}

int LinkState::Close() {
  if (IsBusy()) Cancel();
  if (IsBusy()) {
    // A transfer only notes a cancel and ends at its next block, which will
    // never come on a closed port: end it here so the channel opens idle again.
    KillTimer();
    m_Port.DisarmNotify();
    EndCommand();
  }
  if (m_pLocalFile) {
    std::fclose(m_pLocalFile);
    m_pLocalFile = nullptr;
  }
  m_DirList.clear();
  LogWrite(m_nChannel, "Channel closed");
  m_bOpenForLink = false;
  return m_Port.ClosePort();
}

int LinkState::Cancel() {
  switch (m_nCommandId) {
    case kIdle:
      LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to cancel an idle channel");
      return 210;
    case kTransmitFile:
      m_nBlockLength = 0;
      m_nPendingError = 229;
      return 0;
    case kReceiveFile:
    case kSoftwareDownload:
      m_nPendingError = 229;
      return 0;
    default:
      break;
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
  LogWrite(m_nChannel, "Channel cancelled");
  EndCommand();
  return 0;
}

void LinkState::BeginCommand(int id, StepFn step) {
  m_nCommandId = id;
  m_step = std::move(step);
}

void LinkState::EndCommand() {
  m_nCommandId = kIdle;
  m_step = nullptr;
}

void LinkState::Deliver(StepEvent event) {
  m_Port.DisarmNotify();
  KillTimer();
  if (!IsBusy() || !m_step) {
    LogWrite(m_nChannel, event == StepEvent::TimerEvent ? "VLNKWDLL:ERROR:Got timer event with nothing active"
                                                        : "VLNKWDLL:ERROR:Got comms event with nothing active");
    return;
  }
  // The step may end the command (and drop m_step) while it runs.
  StepFn step = m_step;
  step(*this, event, nullptr, nullptr);
}

int LinkState::Poll(int* value, char* text) {
  if (m_nCommandId < 1 || m_nCommandId > kLastCommand || !m_step) return 210;
  StepFn step = m_step;
  return step(*this, StepEvent::Poll, value, text);
}

void LinkState::StartTimer(unsigned ms) {
  if (m_bTimerRunning) return;
  if (CMsgWindow* window = TheWindow()) {
    window->SetTimer(static_cast<unsigned>(m_nChannel), ms);
    m_bTimerRunning = true;
  }
}

void LinkState::KillTimer() {
  if (CMsgWindow* window = TheWindow()) window->KillTimer(static_cast<unsigned>(m_nChannel));
  m_bTimerRunning = false;
}

}  // namespace vlnk
