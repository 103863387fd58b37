// SPDX-License-Identifier: LGPL-2.1-or-later
// The library's message window: a message queue owned by the thread that
// created it, with one timer per id.
//
// Watcher threads post to it from any thread; everything else - timers, pumping,
// dispatch - happens on the owning thread. A pump step removes one message
// (posted messages first, then a due timer) and hands it to the window
// procedure, outside any lock, so the procedure may pump again.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace vlnk {

inline constexpr unsigned WM_COMMNOTIFY = 0x0044;
inline constexpr unsigned WM_TIMER = 0x0113;

using WindowProc = intptr_t (*)(void* hwnd, unsigned msg, uintptr_t wParam, intptr_t lParam);

class CMsgWindow {
public:
    using Clock = std::chrono::steady_clock;

    explicit CMsgWindow(WindowProc proc);
    CMsgWindow(const CMsgWindow&) = delete;
    CMsgWindow& operator=(const CMsgWindow&) = delete;

    // Any thread.
    void Post(unsigned msg, uintptr_t wParam, intptr_t lParam);

    // Owning thread. A timer fires every `ms` milliseconds until killed;
    // setting an existing id restarts it.
    void SetTimer(unsigned id, unsigned ms);
    void KillTimer(unsigned id);

    // Removes and dispatches one message when one is pending (owning thread only).
    bool PumpOne();
    // Like PumpOne, but first waits up to `deadline` for a message to arrive.
    bool PumpOneUntil(Clock::time_point deadline);

    // Drops posted line notifications for a port handle, so a closed port's
    // late notification cannot reach a port that reuses its handle.
    void DropCommNotify(uintptr_t handle);

    bool IsOwnerThread() const { return std::this_thread::get_id() == m_owner; }

private:
    struct Message {
        unsigned msg;
        uintptr_t wParam;
        intptr_t lParam;
    };
    struct Timer {
        Clock::time_point due;
        Clock::duration period;
    };
    bool TakeLocked(Message& out, Clock::time_point now);
    Clock::time_point NextTimerLocked() const;

    WindowProc m_proc;
    std::thread::id m_owner;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Message> m_queue;
    std::map<unsigned, Timer> m_timers;
};

// The library's one window; null while none exists.
CMsgWindow* TheWindow();
// Creates the window on the calling thread when none exists. False on failure
// and while no library is loaded.
bool CreateTheWindow(WindowProc proc);
void DestroyTheWindow();
// The window belongs to the session, which lends its place for it here when
// the library loads and takes it back (null) before it goes.
void SetWindowSlot(std::unique_ptr<CMsgWindow>* slot);

// One pump step on the library's window (nothing when there is none or the
// caller is not its thread).
bool PumpOneMessage();

// Waits `ms` milliseconds (taken modulo 65536), dispatching the window's
// messages meanwhile. Without busy-waiting: each turn sleeps until a message
// arrives or the time is up.
void WaitPumping(unsigned ms);

class CPort;
// The same, but also discarding the port's input whenever bytes are queued,
// to let a misbehaving line settle.
void WaitPumping(unsigned ms, CPort& purge);

} // namespace vlnk
