// LinkState: one channel's link - its port, the active command and the state
// the command steps run on.
//
// Every command is a step function of the LinkState driven by four events: its
// start (from the export), line notifications and the channel's timer (through
// the message window) and the caller's polls (VLNKGetResult). A command becomes
// busy when it begins and idle inside the poll that delivers its final result,
// or on cancellation.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "port.h"
#include "settings.h"

namespace vlnk {

enum class StepEvent { Start, CommsEvent, TimerEvent, Poll };

// The number of the active asynchronous command; 0 when idle.
enum CommandId : int {
  kIdle = 0,
  kCheckConnect = 1,
  kGetPath = 2,
  kGetFreeSpace = 3,
  kGetSessionId = 4,
  kGetDrives = 5,
  kGetDirectory = 6,
  kSetDrive = 7,
  kSetDirectory = 8,
  kSetBaudRate = 9,
  kSetHandheldDate = 10,
  kSetHandheldTime = 11,
  kTransmitFile = 12,
  kReceiveFile = 13,
  kDeleteFile = 14,
  kAbortRemote = 15,
  kSoftwareDownload = 16,
  kPollUser = 17,
  kLastCommand = 17
};

class LinkState;
// A command's step: (event, caller's value, caller's text) -> result. Start and
// Poll return the caller's result; the result of the other events is discarded.
using StepFn = std::function<int(LinkState&, StepEvent, int* value, char* text)>;

class LinkState {
 public:
  static constexpr size_t kPortNameMax = CPort::kNameMax;

  explicit LinkState(int channel);

  // Clears the flags, takes the port name, reads (and writes back) the protocol
  // settings and opens the port. 0, or 204 (port failed or name too long).
  int Open(const char* port);
  // Ends whatever runs, frees the listing and closes the port: 0 or 205.
  int Close();
  // Stops the active command; 210 (logged) when idle, else 0.
  int Cancel();

  // Makes `id` the active command with its step. The caller has checked that
  // the channel is idle.
  void BeginCommand(int id, StepFn step);
  // Back to idle (inside the poll that delivers the final result).
  void EndCommand();
  bool IsBusy() const { return m_nCommandId != kIdle; }

  // A line notification or timer for this channel: disarms the port, kills the
  // timer, then runs the active command's step.
  void Deliver(StepEvent event);
  // The active command's Poll result; 210 when idle.
  int Poll(int* value, char* text);

  // The channel's timer; starting it while it runs does nothing.
  void StartTimer(unsigned ms);
  void KillTimer();

  int m_nChannel;
  std::string m_strPort;
  CPort m_Port;
  int m_nCommandId = kIdle;
  bool m_bTimerRunning = false;
  bool m_bOpenForLink = false;
  bool m_bDone = false;
  bool m_bFailed = false;
  bool m_bCommsError = false;
  ProtocolSettings m_Settings;
  std::string m_strBaud;  // current baud text, at most kBaudTextMax characters

  // Protocol and transfer state the cancellation rules touch; the protocol
  // engine adds the rest.
  int m_nBaudSearchIndex = 0;
  int m_nRetryLimit = 5;
  int m_nPendingError = 0;  // 0 or a result code; 229 after a cancel
  size_t m_nBlockLength = 0;  // length of the transfer block about to be sent
  std::vector<std::string> m_DirList;
  std::FILE* m_pLocalFile = nullptr;

 private:
  StepFn m_step;
};

}  // namespace vlnk
