// SPDX-License-Identifier: GPL-3.0-or-later
#include "fault_relay.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "handheld.h"

namespace vlnktest {

CFaultRelay::CFaultRelay(const std::string& handheldPort)
{
    m_handheld = open(handheldPort.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (Ok()) m_thread = std::thread([this] { Run(); });
}

CFaultRelay::~CFaultRelay()
{
    m_stop = true;
    const uint64_t one = 1;
    if (m_wake >= 0) [[maybe_unused]]
        const ssize_t n = write(m_wake, &one, sizeof one);
    if (m_thread.joinable()) m_thread.join();
    if (m_handheld >= 0) close(m_handheld);
    if (m_wake >= 0) close(m_wake);
}

void CFaultRelay::SetFilter(Filter filter)
{
    std::lock_guard lock(m_mutex);
    m_filter = std::move(filter);
}

void CFaultRelay::Inject(Dir dir, const std::string& bytes) { Write(dir, bytes); }

void CFaultRelay::Write(Dir dir, const std::string& bytes)
{
    const int fd = dir == Dir::ToPc ? m_pc.Master() : m_handheld;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 1000) <= 0) break;
        } else if (!(n < 0 && errno == EINTR)) {
            break;
        }
    }
    (dir == Dir::ToPc ? m_toPc : m_toHandheld) += done;
}

void CFaultRelay::Run()
{
    while (!m_stop) {
        pollfd fds[3] = {{m_pc.Master(), POLLIN, 0}, {m_handheld, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            char buf[4096];
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) continue;
            const Dir dir = i == 0 ? Dir::ToHandheld : Dir::ToPc;
            std::string bytes(buf, static_cast<size_t>(n));
            {
                std::lock_guard lock(m_mutex);
                if (m_filter) bytes = m_filter(dir, bytes);
            }
            if (!bytes.empty()) Write(dir, bytes);
        }
    }
}

CFaultRelay::Filter CStaleHandheld::Filter(CFaultRelay& relay)
{
    using Dir = CFaultRelay::Dir;
    return [this, &relay](Dir dir, const std::string& bytes) -> std::string {
        if (!m_active) return bytes;
        if (dir == Dir::ToPc) return {};
        const std::string endOfReceive = vlnksim::MakeFrame("\xFF");
        if (bytes == std::string(1, vlnksim::ENQ) || bytes.find(endOfReceive) != std::string::npos) {
            m_active = false;
            return bytes;
        }
        if (bytes[0] == vlnksim::STX) relay.Inject(Dir::ToPc, std::string(1, vlnksim::ACK) + m_frame);
        else if (bytes[0] == vlnksim::NAK) relay.Inject(Dir::ToPc, m_frame);
        return {};
    };
}

} // namespace vlnktest
