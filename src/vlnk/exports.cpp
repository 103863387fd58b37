// SPDX-License-Identifier: LGPL-2.1-or-later
// The C exports: argument checks, the channel table and the dispatch of
// window messages. No exception crosses this boundary.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "errortext.h"
#include "filecommands.h"
#include "library.h"
#include "linkcommands.h"
#include "logfile.h"
#include "msgwindow.h"
#include "resync.h"
#include "vlnkw32.h"

using namespace vlnk;

namespace {

constexpr const char* kProduct = "Vexil VLNK for Windows DLL (32 bit)";

// The error line of a command started while another runs, by CommandId.
constexpr const char* kBusyLines[] = {
    nullptr,
    "VLNKWDLL:ERROR:Trying to connect when channel active",
    "VLNKWDLL:ERROR:Trying to get path when channel active",
    "VLNKWDLL:ERROR:Trying to get free space when channel active",
    "VLNKWDLL:ERROR:Trying to get session id when channel active",
    "VLNKWDLL:ERROR:Trying to get drives when channel active",
    "VLNKWDLL:ERROR:Trying to get directory when channel active",
    "VLNKWDLL:ERROR:Trying to set drive when channel active",
    "VLNKWDLL:ERROR:Trying to set directory when channel active",
    "VLNKWDLL:ERROR:Trying to set baud rate when channel active",
    "VLNKWDLL:ERROR:Trying to set date when channel active",
    "VLNKWDLL:ERROR:Trying to set time when channel active",
    "VLNKWDLL:ERROR:Trying to transmit a file when channel active",
    "VLNKWDLL:ERROR:Trying to receive a file when channel active",
    "VLNKWDLL:ERROR:Trying to delete file when channel active",
    "VLNKWDLL:ERROR:Trying to abort remote when channel active",
    "VLNKWDLL:ERROR:Trying to download software when channel active",
};

// Runs an export body inside a CallScope (refused on a foreign thread or
// during the unload); a C++ exception (out of memory, in practice) becomes a
// log line and a result code instead of unwinding into a C caller.
// `gone`: the result once the library is unloaded.
template <typename Body>
int Guarded(int channel, int failure, Body body, bool claim = false, int gone = VLNK_BAD_CHANNEL) noexcept
{
    try {
        const CallScope scope(claim);
        if (scope.Gone()) return gone;
        if (const int refusal = scope.Refusal()) return refusal;
        return body();
    } catch (const std::exception& e) {
        try {
            LogWrite(channel, "VLNKWDLL:ERROR:Internal failure: %s", e.what());
        } catch (...) { }
    } catch (...) { }
    return failure;
}

// 203, 202 and the busy test every command start begins with; 0 to go on.
int CommandFront(int channel, int commandId, bool busyTest = true)
{
    ChannelSlot* slot = Slot(channel);
    if (!slot) return VLNK_BAD_CHANNEL;
    if (!slot->bOpen) return VLNK_CHANNEL_NOT_OPEN;
    // A port whose device went away can only be closed.
    if (slot->link.m_Port.Lost()) return VLNK_COMMS_ERROR;
    if (busyTest && slot->link.IsBusy()) {
        LogWrite(channel, "%s", kBusyLines[commandId]);
        return VLNK_CHANNEL_BUSY;
    }
    return 0;
}

// Checks the channel, then runs the command's start on its link.
template <typename Start> int StartCommand(int channel, int commandId, Start start)
{
    return Guarded(channel, VLNK_REMOTE_TIMEOUT, [&]() -> int {
        if (const int front = CommandFront(channel, commandId)) return front;
        LinkState& link = Slot(channel)->link;
        return link.RunStart([&] {
            if (link.m_bResync) ReestablishLink(link);
            return start(link);
        });
    });
}

} // namespace

extern "C" {

int VLNKGetVersion(char* buf)
{
    if (!buf) return 0;
    const int n = std::snprintf(buf, VLNK_VERSION_TEXT_SIZE, "%s V%s  %s", kProduct, CLogFile::kVersion,
                                CLogFile::kMakerNotice);
    return n < VLNK_VERSION_TEXT_SIZE ? n : VLNK_VERSION_TEXT_SIZE - 1;
}

int VLNKGetFreeChannel(int* channel)
{
    if (!channel) return VLNK_BAD_CHANNEL;
    *channel = 0;
    return Guarded(
        0, VLNK_CHANNEL_IN_USE,
        [&]() -> int {
            for (int n = 1; n <= kChannelCount; ++n) {
                const ChannelSlot* slot = Slot(n);
                if (slot && !slot->bOpen) {
                    *channel = n;
                    return 0;
                }
            }
            *channel = 0;
            return VLNK_CHANNEL_IN_USE;
        },
        false, VLNK_CHANNEL_IN_USE);
}

int VLNKOpenChannel(int channel, const char* port)
{
    return Guarded(
        channel, VLNK_OPEN_PORT_FAILED,
        [&]() -> int {
            // After the unload there is no channel table left to open a channel in.
            if (!LibraryLoaded()) return VLNK_BAD_CHANNEL;
            if (!EnsureWindow()) return VLNK_WINDOW_FAILED;
            int result = 0;
            ChannelSlot* slot = Slot(channel);
            if (!slot) result = VLNK_BAD_CHANNEL;
            else if (slot->bOpen) result = VLNK_CHANNEL_IN_USE;
            else if ((result = slot->link.Open(port)) == 0) slot->bOpen = true;
            if (result != 0) DropWindowIfUnused();
            return result;
        },
        true);
}

int VLNKCloseChannel(int channel)
{
    return Guarded(channel, VLNK_CLOSE_PORT_FAILED, [&]() -> int {
        ChannelSlot* slot = Slot(channel);
        if (!slot) return VLNK_BAD_CHANNEL;
        if (!slot->bOpen) return VLNK_CHANNEL_NOT_OPEN;
        slot->bOpen = false;
        const int result = slot->link.Close();
        DropWindowIfUnused();
        return result;
    });
}

int VLNKCheckConnect(int channel, int quick)
{
    if (quick) {
        return Guarded(channel, VLNK_NO_RESPONSE, [&]() -> int {
            if (const int front = CommandFront(channel, kCheckConnect, false)) return front;
            LinkState& link = Slot(channel)->link;
            return link.RunStart([&] {
                if (link.m_bResync) ReestablishLink(link);
                return QuickConnect(link);
            });
        });
    }
    return StartCommand(channel, kCheckConnect, [](LinkState& link) { return StartCheckConnect(link); });
}

int VLNKGetSessionId(int channel)
{
    return StartCommand(channel, kGetSessionId, [](LinkState& link) { return StartGetSessionId(link); });
}
int VLNKGetPath(int channel)
{
    return StartCommand(channel, kGetPath, [](LinkState& link) { return StartGetPath(link); });
}
int VLNKGetFreeSpace(int channel, int drive)
{
    return StartCommand(channel, kGetFreeSpace, [&](LinkState& link) { return StartGetFreeSpace(link, drive); });
}
int VLNKGetDrives(int channel)
{
    return StartCommand(channel, kGetDrives, [](LinkState& link) { return StartGetDrives(link); });
}
int VLNKGetDirectory(int channel, const char* pattern)
{
    return StartCommand(channel, kGetDirectory, [&](LinkState& link) { return StartGetDirectory(link, pattern); });
}
int VLNKSetDrive(int channel, int drive)
{
    return StartCommand(channel, kSetDrive, [&](LinkState& link) { return StartSetDrive(link, drive); });
}
int VLNKSetDirectory(int channel, const char* dir)
{
    return StartCommand(channel, kSetDirectory, [&](LinkState& link) { return StartSetDirectory(link, dir); });
}
int VLNKSetBaudRate(int channel, const char* baud)
{
    return StartCommand(channel, kSetBaudRate, [&](LinkState& link) { return StartSetBaudRate(link, baud); });
}
int VLNKSetHandheldDate(int channel)
{
    return StartCommand(channel, kSetHandheldDate, [](LinkState& link) { return StartSetHandheldDate(link); });
}
int VLNKSetHandheldTime(int channel)
{
    return StartCommand(channel, kSetHandheldTime, [](LinkState& link) { return StartSetHandheldTime(link); });
}
int VLNKTransmitFile(int channel, const char* pcPath)
{
    return StartCommand(channel, kTransmitFile, [&](LinkState& link) { return StartTransmitFile(link, pcPath); });
}
int VLNKReceiveFile(int channel, const char* pcPath)
{
    return StartCommand(channel, kReceiveFile, [&](LinkState& link) { return StartReceiveFile(link, pcPath); });
}
int VLNKDeleteFile(int channel, const char* name)
{
    return StartCommand(channel, kDeleteFile, [&](LinkState& link) { return StartDeleteFile(link, name); });
}
int VLNKAbortRemote(int channel)
{
    return StartCommand(channel, kAbortRemote, [](LinkState& link) { return StartAbortRemote(link); });
}
int VLNKSoftwareDownload(int channel, int machine)
{
    return StartCommand(channel, kSoftwareDownload,
                        [&](LinkState& link) { return StartSoftwareDownload(link, machine); });
}

int VLNKPollUser(int* channel, int user)
{
    return Guarded(
        0, VLNK_NO_RESPONSE,
        [&]() -> int {
            if (!channel) return VLNK_BAD_CHANNEL;
            if (VLNKGetFreeChannel(channel) != 0) return VLNK_CHANNEL_IN_USE;
            ChannelSlot* slot = Slot(*channel);
            if (!slot || slot->bOpen) return VLNK_CHANNEL_IN_USE;
            if (!EnsureWindow()) return VLNK_WINDOW_FAILED;
            LinkState& link = slot->link;
            const int result = link.RunStart([&] { return StartPollUser(link, user); });
            if (result == VLNK_WAITING) slot->bOpen = true;
            else DropWindowIfUnused();
            return result;
        },
        true, VLNK_CHANNEL_IN_USE);
}

int VLNKSetVerifyReceive(int channel, int verify)
{
    return Guarded(channel, VLNK_CHANNEL_NOT_OPEN, [&]() -> int {
        ChannelSlot* slot = Slot(channel);
        if (!slot) return VLNK_BAD_CHANNEL;
        if (!slot->bOpen) return VLNK_CHANNEL_NOT_OPEN;
        slot->link.m_nVerifyReceive = verify < 0 ? -1 : verify > 0 ? 1 : 0;
        LogWrite(channel, "Verify receive set to %s", verify < 0 ? "vlnkw.ini" : verify > 0 ? "on" : "off");
        return 0;
    });
}

int VLNKGetResult(int channel, int* value, char* text)
{
    return Guarded(channel, VLNK_CHANNEL_IDLE, [&]() -> int {
        PumpOneMessage();
        ChannelSlot* slot = Slot(channel);
        if (!slot) return VLNK_BAD_CHANNEL;
        return slot->link.Poll(value, text);
    });
}

int VLNKCancel(int channel)
{
    return Guarded(channel, VLNK_CHANNEL_IDLE, [&]() -> int {
        ChannelSlot* slot = Slot(channel);
        if (!slot) return VLNK_BAD_CHANNEL;
        if (!slot->bOpen) return VLNK_CHANNEL_NOT_OPEN;
        return slot->link.Cancel();
    });
}

void VLNKWriteLog(int channel, const char* text)
{
    Guarded(channel, 0, [&]() -> int {
        const std::string line = text ? text : "";
        if (line.size() <= VLNK_LOG_TEXT_MAX) {
            LogWrite(channel, "APP:%s", line.c_str());
            return 0;
        }
        LogWrite(channel, "APP:%s", line.substr(0, VLNK_LOG_TEXT_MAX).c_str());
        LogWrite(channel, "VLNKWDLL:ERROR:Log text of %zu characters cut to %d", line.size(), VLNK_LOG_TEXT_MAX);
        return 0;
    });
}

int VLNKGetErrorString(int code, char* buf)
{
    if (!buf) return 0;
    const std::string text = ErrorText(code);
    const size_t n = std::min(text.size(), static_cast<size_t>(VLNK_ERROR_TEXT_SIZE - 1));
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

intptr_t VLNKMessageHdlr(VLNK_HWND /*hwnd*/, unsigned int msg, uintptr_t wParam, intptr_t lParam)
{
    Guarded(0, 0, [&]() -> int {
        if (msg == WM_TIMER) {
            const int channel = wParam <= kChannelCount ? static_cast<int>(wParam) : 0;
            ChannelSlot* slot = Slot(channel);
            if (slot && slot->bOpen) slot->link.Deliver(StepEvent::TimerEvent);
            else LogWrite(0, "VLNKWDLL:ERROR:Invalid timer message received");
        } else if (msg == WM_COMMNOTIFY && lParam != 0) {
            for (int n = 1; n <= kChannelCount; ++n) {
                ChannelSlot* slot = Slot(n);
                const int handle = slot ? slot->link.m_Port.Handle() : -1;
                if (handle >= 0 && static_cast<uintptr_t>(handle) == wParam) {
                    slot->link.Deliver(StepEvent::CommsEvent);
                    return 0;
                }
            }
            LogWrite(0, "VLNKWDLL:ERROR:Invalid comms message received");
        }
        return 0;
    });
    return 0;
}

} // extern "C"
