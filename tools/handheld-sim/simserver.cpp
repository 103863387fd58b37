// SPDX-License-Identifier: GPL-3.0-or-later
#include "simserver.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace vlnksim {
namespace {

long SpeedToBaud(speed_t speed)
{
    switch (speed) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

} // namespace

CSimServer::CSimServer(ServerOptions options)
    : m_opt(std::move(options))
    , m_handheld(m_opt.handheld)
    , m_rng(m_opt.handheld.seed * 7919u + 1)
    , m_noise(m_opt.handheld.seed * 104729u + 7)
{
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!m_opt.capture.empty()) m_capture = std::fopen(m_opt.capture.c_str(), "wb");
}

CSimServer::~CSimServer()
{
    Stop();
    if (m_wake >= 0) close(m_wake);
    if (m_capture) std::fclose(m_capture);
}

void CSimServer::Start()
{
    m_thread = std::thread([this] { Run(); });
}

void CSimServer::RequestStop()
{
    m_stop = true;
    const uint64_t one = 1;
    if (m_wake >= 0) [[maybe_unused]]
        const ssize_t n = write(m_wake, &one, sizeof one);
}

void CSimServer::Stop()
{
    RequestStop();
    if (m_thread.joinable()) m_thread.join();
}

long CSimServer::LineBaud() const
{
    const termios tio = m_pty.SlaveSettings();
    return SpeedToBaud(cfgetospeed(&tio));
}

CSimServer::Clock::duration CSimServer::ByteTime() const
{
    const long baud = LineBaud();
    return std::chrono::nanoseconds(baud > 0 ? 10'000'000'000LL / baud : 0);
}

void CSimServer::Queue(const std::string& message, Clock::time_point now)
{
    std::string bytes = message;
    if (m_opt.handheld.faultRate > 0 && !bytes.empty() && (m_opt.corrupt || m_opt.drop)
        && std::uniform_real_distribution<double>(0, 1)(m_rng) < m_opt.handheld.faultRate) {
        const size_t at = std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(m_rng);
        const bool corrupt = m_opt.corrupt && (!m_opt.drop || std::uniform_int_distribution<int>(0, 1)(m_rng) == 0);
        if (corrupt) bytes[at] = static_cast<char>(bytes[at] ^ std::uniform_int_distribution<int>(1, 255)(m_rng));
        else bytes.erase(at, 1);
        ++m_faults;
    }
    if (m_opt.byteErrors > 0) {
        std::uniform_real_distribution<double> chance(0, 1);
        std::uniform_int_distribution<int> other(1, 255);
        for (char& c : bytes) {
            if (chance(m_noise) >= m_opt.byteErrors) continue;
            c = static_cast<char>(c ^ other(m_noise));
            ++m_byteErrors;
        }
    }
    const auto byteTime = m_opt.paced ? ByteTime() : Clock::duration::zero();
    for (const char c : bytes) {
        m_outFree = std::max(m_outFree, now) + byteTime;
        m_out.push_back({m_opt.paced ? m_outFree : now, static_cast<uint8_t>(c)});
    }
}

void CSimServer::Turn()
{
    const auto now = Clock::now();
    // Input, each byte arriving one byte time after the one before.
    uint8_t buf[4096];
    for (;;) {
        const ssize_t n = read(m_pty.Master(), buf, sizeof buf);
        if (n <= 0) break;
        m_bytesIn += static_cast<uint64_t>(n);
        if (m_capture) {
            std::fwrite(buf, 1, static_cast<size_t>(n), m_capture);
            std::fflush(m_capture);
            continue;
        }
        if (m_opt.onlyBaud && LineBaud() != m_opt.onlyBaud) continue; // noise at the wrong rate
        const auto byteTime = m_opt.paced ? ByteTime() : Clock::duration::zero();
        for (ssize_t i = 0; i < n; ++i) {
            m_inFree = std::max(m_inFree, now) + byteTime;
            m_in.push_back({m_inFree, buf[i]});
        }
    }
    {
        std::lock_guard lock(m_mutex);
        while (!m_in.empty() && m_in.front().due <= now) {
            m_handheld.Feed(m_in.front().value, m_in.front().due);
            m_in.pop_front();
        }
        m_handheld.Tick(now);
        for (const auto& message : m_handheld.TakeOutput()) Queue(message, now);
    }
    // Output that is due, in one write.
    std::string due;
    while (!m_out.empty() && m_out.front().due <= now) {
        due += static_cast<char>(m_out.front().value);
        m_out.pop_front();
    }
    if (!due.empty()) {
        m_bytesOut += due.size();
        m_pty.Write(due);
    }
}

void CSimServer::Run(const volatile int* stop)
{
    m_servingThread = static_cast<int>(gettid());
    while (!m_stop && !(stop && *stop)) {
        Turn();
        auto next = Clock::time_point::max();
        {
            std::lock_guard lock(m_mutex);
            next = m_handheld.NextDeadline();
        }
        if (!m_in.empty()) next = std::min(next, m_in.front().due);
        if (!m_out.empty()) next = std::min(next, m_out.front().due);
        pollfd fds[2] = {{m_pty.Master(), POLLIN, 0}, {m_wake, POLLIN, 0}};
        timespec timeout{};
        const timespec* wait = nullptr;
        if (next != Clock::time_point::max()) {
            const auto left = std::max(next - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            wait = &timeout;
        }
        if (ppoll(fds, 2, wait, nullptr) < 0 && errno != EINTR) break;
        if (fds[1].revents & POLLIN) {
            uint64_t value;
            [[maybe_unused]] const ssize_t n = read(m_wake, &value, sizeof value);
        }
    }
}

} // namespace vlnksim
