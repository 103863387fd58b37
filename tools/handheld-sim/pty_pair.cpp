// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_pair.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vlnksim {

CPtyPair::CPtyPair()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) return;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) return;
    m_slavePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) return;
    // Until the port user sets the line up, a cooked slave would echo our bytes back.
    termios tio{};
    if (tcgetattr(m_slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

CPtyPair::~CPtyPair()
{
    if (m_slave >= 0) close(m_slave);
    if (m_master >= 0) close(m_master);
}

bool CPtyPair::Write(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{m_master, POLLOUT, 0};
            if (poll(&p, 1, 1000) <= 0) return false;
        } else if (!(n < 0 && errno == EINTR)) {
            return false;
        }
    }
    return true;
}

std::string CPtyPair::Read(size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string out;
    while (out.size() < count) {
        char buf[512];
        const ssize_t n = read(m_master, buf, std::min(sizeof buf, count - out.size()));
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{m_master, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) break;
    }
    return out;
}

termios CPtyPair::SlaveSettings() const
{
    termios tio{};
    tcgetattr(m_slave, &tio);
    return tio;
}

} // namespace vlnksim
