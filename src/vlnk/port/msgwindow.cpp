// SPDX-License-Identifier: LGPL-2.1-or-later
#include "msgwindow.h"

#include <algorithm>
#include <memory>
#include <new>

#include "port.h"

namespace vlnk {
namespace {

// A plain pointer: no exit handler touches what it points to.
std::unique_ptr<CMsgWindow>* g_pWindowSlot = nullptr;

} // namespace

CMsgWindow::CMsgWindow(WindowProc proc)
    : m_proc(proc)
    , m_owner(std::this_thread::get_id())
{ }

void CMsgWindow::Post(unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({msg, wParam, lParam});
    }
    m_wake.notify_all();
}

void CMsgWindow::SetTimer(unsigned id, unsigned ms)
{
    const auto period = std::chrono::milliseconds(std::max(ms, 1u));
    std::lock_guard lock(m_mutex);
    m_timers[id] = {Clock::now() + period, period};
}

void CMsgWindow::KillTimer(unsigned id)
{
    std::lock_guard lock(m_mutex);
    m_timers.erase(id);
}

void CMsgWindow::DropCommNotify(uintptr_t handle)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_queue, [handle](const Message& m) { return m.msg == WM_COMMNOTIFY && m.wParam == handle; });
}

CMsgWindow::Clock::time_point CMsgWindow::NextTimerLocked() const
{
    auto next = Clock::time_point::max();
    for (const auto& [id, timer] : m_timers) next = std::min(next, timer.due);
    return next;
}

// Posted messages go before timer messages, as on the platform this mimics.
bool CMsgWindow::TakeLocked(Message& out, Clock::time_point now)
{
    if (!m_queue.empty()) {
        out = m_queue.front();
        m_queue.pop_front();
        return true;
    }
    auto due = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
        if (it->second.due <= now && (due == m_timers.end() || it->second.due < due->second.due)) due = it;
    if (due == m_timers.end()) return false;
    due->second.due = now + due->second.period;
    out = {WM_TIMER, due->first, 0};
    return true;
}

bool CMsgWindow::PumpOne() { return PumpOneUntil(Clock::time_point::min()); }

bool CMsgWindow::PumpOneUntil(Clock::time_point deadline)
{
    if (!IsOwnerThread()) return false;
    Message message{};
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            const auto now = Clock::now();
            if (TakeLocked(message, now)) break;
            if (now >= deadline) return false;
            m_wake.wait_until(lock, std::min(deadline, NextTimerLocked()));
        }
    }
    // The procedure may destroy this window; nothing of it is touched afterwards.
    m_proc(this, message.msg, message.wParam, message.lParam);
    return true;
}

CMsgWindow* TheWindow() { return g_pWindowSlot ? g_pWindowSlot->get() : nullptr; }

bool CreateTheWindow(WindowProc proc)
{
    if (!g_pWindowSlot) return false;
    std::unique_ptr<CMsgWindow>& window = *g_pWindowSlot;
    if (window) return true;
    window.reset(new (std::nothrow) CMsgWindow(proc));
    return window != nullptr;
}

void DestroyTheWindow()
{
    if (g_pWindowSlot) g_pWindowSlot->reset();
}

void SetWindowSlot(std::unique_ptr<CMsgWindow>* slot) { g_pWindowSlot = slot; }

bool PumpOneMessage()
{
    CMsgWindow* window = TheWindow();
    return window && window->PumpOne();
}

namespace {

void WaitPumpingImpl(unsigned ms, CPort* purge)
{
    using Clock = CMsgWindow::Clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms & 0xFFFFu);
    // While purging, turns stay short so that arriving bytes are thrown away soon.
    const auto turn = std::chrono::milliseconds(purge ? 10 : 1000);
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline) return;
        if (purge && purge->IsOpen() && purge->GetNumInRxBuffer() > 0) purge->FlushReceive();
        const auto until = std::min(deadline, now + turn);
        CMsgWindow* window = TheWindow();
        if (window && window->IsOwnerThread()) window->PumpOneUntil(until);
        else std::this_thread::sleep_until(until);
    }
}

} // namespace

void WaitPumping(unsigned ms) { WaitPumpingImpl(ms, nullptr); }
void WaitPumping(unsigned ms, CPort& purge) { WaitPumpingImpl(ms, &purge); }

} // namespace vlnk
