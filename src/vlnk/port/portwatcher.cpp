// SPDX-License-Identifier: LGPL-2.1-or-later
// The port's watcher thread: it waits on the device and a wake-up descriptor
// and turns an armed receive or transmit threshold into one line
// notification for the message window; and the port's loss, noticed by the
// watcher or the library's thread, announced the same way.
#include "port.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

#include "logfile.h"
#include "msgwindow.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

// The watcher's waits. A wait on the wire time of missing bytes lasts at most
// kLongestEstimateNs, so that a device going away while a long block trickles
// in at a slow rate is noticed soon. Without a known character time, a partly
// filled threshold is looked at every kUnknownRateStepNs; an output queue that
// did not shrink (flow control gives no event) every kStalledOutputNs.
constexpr long long kLongestEstimateNs = 50'000'000;
constexpr long long kUnknownRateStepNs = 1'000'000;
constexpr long long kStalledOutputNs = 2'000'000;

timespec ToTimespec(long long ns)
{
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

bool CPort::MakeEventSet()
{
    m_thread.eventFd = epoll_create1(EPOLL_CLOEXEC);
    if (m_thread.eventFd < 0) return false;
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = m_thread.wakeFd;
    epoll_event device{};
    device.events = EPOLLIN | EPOLLET;
    device.data.fd = m_hDevice;
    return epoll_ctl(m_thread.eventFd, EPOLL_CTL_ADD, m_thread.wakeFd, &wake) == 0
           && epoll_ctl(m_thread.eventFd, EPOLL_CTL_ADD, m_hDevice, &device) == 0;
}

void CPort::CloseEventFds()
{
    if (m_thread.eventFd >= 0) close(m_thread.eventFd);
    if (m_thread.wakeFd >= 0) close(m_thread.wakeFd);
    m_thread.eventFd = m_thread.wakeFd = -1;
}

void CPort::Lose(ThreadBlock* block, int cause)
{
    int none = 0;
    if (!block->lost.compare_exchange_strong(none, cause != 0 ? cause : EIO)) return;
    if (block->window && block->inUse.load())
        block->window->Post(WM_COMMNOTIFY, static_cast<uintptr_t>(block->hDevice), 1);
}

void CPort::Wake()
{
    if (m_thread.wakeFd < 0) return;
    const uint64_t one = 1;
    // A full counter already means "wake up"; nothing is lost when this write fails.
    [[maybe_unused]] const ssize_t n = write(m_thread.wakeFd, &one, sizeof one);
}

void CPort::ArmNotify(int rxThreshold, int txThreshold)
{
    m_thread.rxThreshold.store(rxThreshold);
    m_thread.txThreshold.store(txThreshold);
    Wake();
}

void CPort::DisarmNotify()
{
    m_thread.rxThreshold.store(-1);
    m_thread.txThreshold.store(-1);
}

void CPort::StartThread()
{
    if (m_thread.inUse.load()) {
        LogWrite(m_nChannel, "Thread already in use, channel [%d]", m_nChannel);
        DisarmNotify();
        return;
    }
    m_thread.channel = m_nChannel;
    m_thread.hDevice = m_hDevice;
    m_thread.window = TheWindow();
    DisarmNotify();
    // Marked running before it starts, so StopThread cannot miss a thread that
    // has not yet reached its first line.
    m_thread.inUse.store(1);
    m_thread.threadId.store(-1);
    try {
        m_watcher = std::thread(&CPort::Watch, &m_thread);
    } catch (const std::system_error& e) {
        m_thread.inUse.store(0);
        m_thread.threadId.store(0);
        Fail(e.code().value());
        CheckError("StartThread");
        LogWrite(m_nChannel, "Could not create thread");
    }
}

void CPort::StopThread()
{
    DisarmNotify();
    m_thread.inUse.store(0);
    Wake();
    for (int id; (id = m_thread.threadId.load()) != 0;) {
        PumpOneMessage();
        m_thread.threadId.wait(id);
    }
    if (m_watcher.joinable()) m_watcher.join();
    CheckError("StopThread");
}

// Besides its stop and a new threshold (the wake-up descriptor), the watcher
// waits for:
// - new bytes on the line, while a receive threshold is armed and nothing came
//   since its last look: nothing queued yet, or a sender that paused mid-way;
// - the wire time of the bytes still missing, while a partly filled threshold
//   grows: then they are there, unless the sender paused;
// - the wire time of the output above a transmit threshold.
// So the bytes of a step take a wake-up or two (a block longer than
// kLongestEstimateNs on a slow line one more per such stretch), and an idle
// port or a paused line costs nothing. A device that went away stays
// "ready" for ever; once the port is lost the watcher waits only for its stop.
void CPort::Watch(ThreadBlock* block)
{
    block->threadId.store(static_cast<int>(gettid()));
    block->threadId.notify_all();
    int lastQueued = -1;
    int lastPending = -1;
    while (block->inUse.load()) {
        if (block->lost.load()) {
            WaitForWake(block, -1);
            continue;
        }
        bool notify = false;
        int queued = 0;
        int pending = 0;
        int rx = block->rxThreshold.load();
        if (rx != -1) {
            if (ioctl(block->hDevice, FIONREAD, &queued) != 0) {
                Lose(block, errno);
                continue;
            }
            notify = queued >= rx && block->rxThreshold.compare_exchange_strong(rx, -1);
        }
        int tx = block->txThreshold.load();
        if (!notify && tx != -1) {
            if (ioctl(block->hDevice, TIOCOUTQ, &pending) != 0) {
                Lose(block, errno);
                continue;
            }
            notify = pending <= tx && block->txThreshold.compare_exchange_strong(tx, -1);
        }
        if (notify) {
            if (!block->inUse.load()) break;
            if (block->window) block->window->Post(WM_COMMNOTIFY, static_cast<uintptr_t>(block->hDevice), 1);
            lastQueued = lastPending = -1;
            continue;
        }

        const long long characterNs = block->characterNs.load();
        bool forBytes = false;
        long long timeoutNs = -1;
        if (rx != -1) {
            // More bytes are needed than are queued; when none came since the
            // last look, only new ones can help.
            if (queued == 0 || queued <= lastQueued) forBytes = true;
            else if (characterNs == 0) timeoutNs = kUnknownRateStepNs;
            else timeoutNs = std::min(static_cast<long long>(rx - queued) * characterNs, kLongestEstimateNs);
            lastQueued = queued;
        } else {
            lastQueued = -1;
        }
        if (tx != -1) {
            const bool stalled = lastPending >= 0 && pending >= lastPending;
            const long long txNs
                = stalled || characterNs == 0
                      ? kStalledOutputNs
                      : std::min(static_cast<long long>(pending - tx) * characterNs, kLongestEstimateNs);
            timeoutNs = timeoutNs < 0 ? txNs : std::min(timeoutNs, txNs);
            lastPending = pending;
        } else {
            lastPending = -1;
        }
        if (forBytes) WaitForBytes(block, timeoutNs);
        else WaitForWake(block, timeoutNs);
    }
    block->threadId.store(0);
    block->threadId.notify_all();
}

void CPort::DrainWake(ThreadBlock* block)
{
    uint64_t value;
    [[maybe_unused]] const ssize_t n = read(block->wakeFd, &value, sizeof value);
}

void CPort::WaitForWake(ThreadBlock* block, long long timeoutNs)
{
    pollfd wake{block->wakeFd, POLLIN, 0};
    const timespec timeout = ToTimespec(timeoutNs);
    if (ppoll(&wake, 1, timeoutNs < 0 ? nullptr : &timeout, nullptr) > 0 && (wake.revents & POLLIN)) DrainWake(block);
}

// The device is edge-triggered in the set: the wait ends with bytes that
// arrived since the last wait ended (or at once when some did meanwhile).
void CPort::WaitForBytes(ThreadBlock* block, long long timeoutNs)
{
    epoll_event events[2];
    const timespec timeout = ToTimespec(timeoutNs);
    const int n = epoll_pwait2(block->eventFd, events, 2, timeoutNs < 0 ? nullptr : &timeout, nullptr);
    for (int i = 0; i < n; ++i) {
        if (events[i].data.fd == block->wakeFd) DrainWake(block);
        else if (events[i].events & (EPOLLHUP | EPOLLERR)) Lose(block, (events[i].events & EPOLLHUP) ? kHungUp : EIO);
    }
}

} // namespace vlnk
