// SPDX-License-Identifier: LGPL-2.1-or-later
#include "library.h"

#include <chrono>
#include <thread>

#include "libdir.h"
#include "logfile.h"
#include "msgwindow.h"
#include "session.h"
#include "settings.h"
#include "sidefile.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

// The thread that owns the open channels; none while no channel is open.
std::atomic<std::thread::id> g_owner{};
// Calls inside a CallScope on all threads, and those of them on the owner's.
// (No thread-local count: a sanitizer's leak check cannot stop the threads of
// a process whose run-time loaded library has thread-local storage.)
std::atomic<int> g_nCalls{0};
std::atomic<int> g_nOwnerCalls{0};
// Set by the unload: later calls find no session.
std::atomic<bool> g_bClosing{false};
// How long an unload waits for the calls of other threads to end. A call that
// runs longer (a whole CMDVLNK job) keeps the session: the process is ending,
// and memory left to it is better than memory freed under a running call.
constexpr auto kUnloadWait = std::chrono::seconds(3);

intptr_t WindowProcedure(void* hwnd, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    return VLNKMessageHdlr(hwnd, msg, wParam, lParam);
}

} // namespace

CallScope::CallScope(bool claim)
{
    ++g_nCalls;
    if (g_bClosing.load()) {
        m_nRefusal = VLNK_BAD_CHANNEL;
        return;
    }
    const std::thread::id me = std::this_thread::get_id();
    std::thread::id owner = g_owner.load();
    if (owner == std::thread::id{} && claim) g_owner.compare_exchange_strong(owner, me);
    owner = g_owner.load();
    if (owner != std::thread::id{} && owner != me) {
        m_nRefusal = VLNK_WRONG_THREAD;
    } else if (owner == me) {
        ++g_nOwnerCalls;
        m_bOwner = true;
    }
}

CallScope::~CallScope()
{
    if (m_bOwner) --g_nOwnerCalls;
    --g_nCalls;
}

void LibraryLoad()
{
    if (TheSession()) return;
    g_bClosing.store(false);
    const LogSettings logSettings = ReadLogSettings();
    Session& state = CreateSession();
    state.log.Configure(logSettings.Filename, logSettings.MaxSizeKb);
    state.log.CreateIfMissing();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        state.slots.push_back(std::make_unique<ChannelSlot>(channel));
    LogWrite(0, "Session started");
    if (!RegularOrAbsent(IniPath()))
        LogWrite(0, "VLNKWDLL:ERROR:'%s' is not a regular file: no setting is read from it or written to it",
                 IniPath().c_str());
    if (logSettings.bFilenameRefused)
        LogWrite(0, "VLNKWDLL:ERROR:LogFile 'Filename' is longer than %zu characters, using '%s'", kLogPathMax,
                 logSettings.Filename.c_str());
    state.bSysDirWritable = ProbeSystemDir();
    DeleteStaleProtocolSection();
}

// The channels close while the log and the window they use still exist; the
// log goes last, after its closing lines.
void LibraryUnload()
{
    Session* state = TheSession();
    if (!state) return;
    g_bClosing.store(true);
    const auto deadline = std::chrono::steady_clock::now() + kUnloadWait;
    // Calls of this thread in progress (an unload inside a call) are its own.
    const int own = g_owner.load() == std::this_thread::get_id() ? g_nOwnerCalls.load() : 0;
    while (g_nCalls.load() > own) {
        if (std::chrono::steady_clock::now() >= deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (auto& slot : state->slots) {
        if (!slot->bOpen) continue;
        slot->bOpen = false;
        slot->link.Close();
    }
    state->slots.clear();
    LogWrite(0, "Session terminated");
    state->log.Write(0, nullptr);
    DestroyTheWindow();
    DestroySession();
    g_owner.store(std::thread::id{});
}

bool LibraryLoaded() { return TheSession() != nullptr; }

ChannelSlot* Slot(int channel)
{
    Session* state = TheSession();
    if (!state || channel < 1 || channel > static_cast<int>(state->slots.size())) return nullptr;
    return state->slots[static_cast<size_t>(channel - 1)].get();
}

bool AnySlotOpen()
{
    if (Session* state = TheSession())
        for (const auto& slot : state->slots)
            if (slot->bOpen) return true;
    return false;
}

bool EnsureWindow()
{
    if (!TheSession()) return false;
    if (TheWindow()) return true;
    if (CreateTheWindow(&WindowProcedure)) return true;
    LogWrite(0, "VLNKWDLL:ERROR:Cannot create window");
    return false;
}

void DropWindowIfUnused()
{
    if (AnySlotOpen()) return;
    if (TheWindow()) DestroyTheWindow();
    g_owner.store(std::thread::id{});
}

} // namespace vlnk
