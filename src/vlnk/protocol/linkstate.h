// SPDX-License-Identifier: LGPL-2.1-or-later
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
#include <chrono>
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
    // Stops the active command; 210 (logged) when idle, else 0. A transfer
    // ends at its next block, telling the handheld, or - when none comes
    // within kCancelGraceMs - at the first poll after that.
    int Cancel();
    static constexpr int kCancelGraceMs = 800;

    // Runs a command's start under the same guard as its steps: events of this
    // channel that come through the start's waits are held back until it ends.
    int RunStart(const std::function<int()>& start);

    // Makes `id` the active command with its step. The caller has checked that
    // the channel is idle.
    void BeginCommand(int id, StepFn step);
    // Back to idle (inside the poll that delivers the final result).
    void EndCommand();
    bool IsBusy() const { return m_nCommandId != kIdle; }

    // A line notification or timer for this channel: disarms the port, kills the
    // timer, then runs the active command's step.
    void Deliver(StepEvent event);
    // The active command's Poll result; 210 when idle, 217 (after ending the
    // command) when the port went away, 229 once a cancelled command has
    // outlived its grace. A final result that may leave the handheld out of
    // step (211, 216, 217, 223, 229) makes the next command re-establish the
    // link first (see resync.h).
    int Poll(int* value, char* text);
    // Ends the active command where it stands: timer and notifications off,
    // the local file closed, a partly received file removed, the listing freed.
    void Abandon();

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
    std::string m_strBaud; // current baud text, at most kBaudTextMax characters

    // Remembered baud rate of the port into the current baud text, then Setup.
    void LoadRememberedBaud();
    void SetupLine();
    // RetryLimit by the port's mode: MaxIRRetries over infrared, else MaxRetries.
    void ChooseRetryLimit();

    // The request/reply exchange (see ctrlcommand.h).
    static constexpr size_t kFrameMax = 281;
    size_t m_nReplyMin = 0;     // payload lengths the awaited reply may have
    size_t m_nReplyMax = 256;   // (others are bad frames, answered by NAK)
    std::string m_strLastEntry; // payload of the last entry frame of a listing or receive
    std::array<uint8_t, kFrameMax> m_TxBuf{};
    size_t m_nTxLength = 0;
    std::array<uint8_t, kFrameMax> m_RxBuf{}; // STX, length, payload, checksum
    int m_nPhase = 0;                         // ExchangePhase
    size_t m_nRxLength = 0;                   // payload length of the reply
    int m_nRetryCount = 0;
    bool m_bSendEot = false;

    // Protocol and transfer state the cancellation rules touch.
    int m_nBaudSearchIndex = 0;
    int m_nRetryLimit = 5;
    int m_nPendingError = 0;   // 0 or a result code; 229 after a cancel
    size_t m_nBlockLength = 0; // length of the transfer block about to be sent
    std::vector<std::string> m_DirList;
    std::FILE* m_pLocalFile = nullptr;

    // Command arguments and stages.
    int m_nStage = 0;          // the active command's own stage enum
    int m_nArgument = 0;       // drive, machine or user number
    std::string m_strArgument; // file specification, directory, name or path
    int m_nUser = 0;           // PollUser
    int m_nPortCounter = 0;    // PollUser

    // Transfer state.
    std::string m_strPartialPath;  // a received file not yet complete; removed on failure or close
    std::string m_strPreviousRead; // a verified receive's read before the current one; removed likewise
    int m_nVerifyReceive = -1;     // per channel: 1 read twice, 0 once, -1 as vlnkw.ini says
    bool m_bVerifying = false;     // the running receive reads twice
    int m_nReads = 0;              // reads of the running receive completed
    unsigned long m_nFileSize = 0;
    bool m_bSizeKnown = false;
    unsigned long m_nDoneBytes = 0;
    long m_nLastReported = -1;
    std::array<uint8_t, 280> m_Block{};
    unsigned m_nSequence = 0; // infrared block sequence counter
    unsigned m_nLastSequence = 0xFFFF;
    uint16_t m_nEntryDate = 0;
    uint16_t m_nEntryTime = 0;
    unsigned m_nEntriesAnnounced = 0;
    unsigned m_nEntriesReceived = 0;
    unsigned m_nHandedOut = 0;
    int m_nAckRetries = 0;

    // Recovery after a failed command.
    enum class Handheld { InStep, Sending, Receiving }; // what the handheld may still be doing
    Handheld m_eHandheld = Handheld::InStep;
    bool m_bResync = false;
    bool m_bCancelled = false;
    std::chrono::steady_clock::time_point m_cancelDeadline{};

private:
    StepFn m_step;
    void RepostDeferred();
    bool m_bInStep = false;
    std::vector<StepEvent> m_deferred; // events that arrived while a step ran
};

} // namespace vlnk
