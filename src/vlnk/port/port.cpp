// SPDX-License-Identifier: LGPL-2.1-or-later
#include "port.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "logfile.h"
#include "msgwindow.h"
#include "settings.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

struct BaudEntry {
    const char* text;
    long number;
    speed_t speed;
};
constexpr BaudEntry kBauds[] = {
    {"115200", 115200, B115200}, {"38400", 38400, B38400}, {"19200", 19200, B19200},
    {"9600", 9600, B9600},       {"4800", 4800, B4800},    {"2400", 2400, B2400},
};

// Device time-outs: a read waits at most a second in all; a write one second per byte.
constexpr int kReadTotalMs = 1000;
constexpr int kWriteMsPerByte = 1000;

// Guards CheckError against the re-entry that ClearGarbage would cause.
bool g_bInCheckError = false;

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// poll() for one descriptor, retried on EINTR. >0 ready, 0 time-out, <0 error.
int PollOne(int fd, short events, int timeoutMs, short* revents = nullptr)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) {
            timeoutMs = MsLeft(deadline);
            continue;
        }
        if (revents) *revents = p.revents;
        return r;
    }
}

long SpeedNumber(speed_t speed)
{
    switch (speed) {
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

// Start bit, data bits, parity bit, stop bits.
int CharacterBits(const termios& tio)
{
    int data = 8;
    switch (tio.c_cflag & CSIZE) {
    case CS5: data = 5; break;
    case CS6: data = 6; break;
    case CS7: data = 7; break;
    default: break;
    }
    return 1 + data + ((tio.c_cflag & PARENB) ? 1 : 0) + ((tio.c_cflag & CSTOPB) ? 2 : 1);
}

void RawMode(termios& tio)
{
    tio.c_iflag
        &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

} // namespace

CPort::CPort(int channel)
    : m_nChannel(channel)
{ }

CPort::~CPort() { ClosePort(); }

const char* CPort::BaudName(int index) { return index >= 0 && index < kBaudCount ? kBauds[index].text : nullptr; }
long CPort::BaudNumber(int index) { return index >= 0 && index < kBaudCount ? kBauds[index].number : 0; }

int CPort::OpenPort(const std::string& name)
{
    if (m_bOpen) return 0;
    if (name.size() > kNameMax) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Port name longer than %zu characters '%.*s...'", kNameMax,
                 static_cast<int>(kNameMax), name.c_str());
        return VLNK_OPEN_PORT_FAILED;
    }
    m_strName = name;
    m_thread.wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_thread.wakeFd < 0) return VLNK_OPEN_PORT_FAILED;

    const std::string path = DevicePath(name);
    int fd = path.empty() ? -1 : open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0)) {
        // Only a terminal is a port, and only one user may hold it at a time.
        const int error = errno ? errno : ENOTTY;
        close(fd);
        fd = -1;
        errno = error;
    }
    if (fd < 0) {
        Fail(path.empty() ? ENOENT : errno);
        CheckError("OpenPort");
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Failed to open port '%s'=[%d]", name.c_str(), -1);
        CloseEventFds();
        return VLNK_OPEN_PORT_FAILED;
    }
    m_hDevice = fd;
    if (!MakeEventSet()) {
        Fail(errno);
        CheckError("OpenPort");
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Failed to open port '%s'=[%d]", name.c_str(), -1);
        close(m_hDevice);
        m_hDevice = -1;
        CloseEventFds();
        return VLNK_OPEN_PORT_FAILED;
    }
    m_thread.lost.store(0);
    m_bLossLogged = false;
    m_bHaveOriginal = tcgetattr(fd, &m_original) == 0;
    m_bOpen = true;
    FlushReceive();
    Setup(name, "2400");
    StartThread();
    CheckError("OpenPortEnd");
    return 0;
}

int CPort::ClosePort()
{
    if (!m_bOpen) return 0;
    m_bOpen = false;
    if (m_hDevice < 0) return 0;
    StopThread();
    DisarmNotify();
    // Output already written still goes out: discarding it would cut off the
    // end of the last command (the tail of a firmware image, the last
    // acknowledgement), and on a pseudo-terminal it would drop bytes that are
    // merely on their way to the other end. Only what cannot leave is dropped.
    tcflush(m_hDevice, DrainOutput() ? TCIFLUSH : TCIOFLUSH);
    // Ptys refuse the modem lines; that is no reason to keep the port.
    int line = TIOCM_DTR;
    ioctl(m_hDevice, TIOCMBIC, &line);
    line = TIOCM_RTS;
    ioctl(m_hDevice, TIOCMBIC, &line);
    if (m_bHaveOriginal) tcsetattr(m_hDevice, TCSANOW, &m_original);
    if (CMsgWindow* window = TheWindow()) window->DropCommNotify(static_cast<uintptr_t>(m_hDevice));

    const bool closed = close(m_hDevice) == 0;
    if (!closed) Fail(errno);
    CloseEventFds();
    CheckError("ClosePort");
    m_hDevice = -1;
    if (!closed) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Failed to close port");
        return VLNK_CLOSE_PORT_FAILED;
    }
    return 0;
}

// Waits while the output queue keeps shrinking; a line that has not taken a
// byte for a second (flow control held, device gone) is given up.
bool CPort::DrainOutput()
{
    constexpr auto kStalled = std::chrono::seconds(1);
    int last = -1;
    auto progress = Clock::now();
    for (;;) {
        int pending = 0;
        if (ioctl(m_hDevice, TIOCOUTQ, &pending) != 0) return false;
        if (pending <= 0) return true;
        const auto now = Clock::now();
        if (last < 0 || pending < last) {
            last = pending;
            progress = now;
        } else if (now - progress >= kStalled) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int CPort::Setup(const std::string& name, const std::string& baud)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to setup without open");
        return VLNK_SETUP_FAILED;
    }
    const bool comName = !name.empty() && (name[0] == 'C' || name[0] == 'c');
    termios tio{};
    if (tcgetattr(m_hDevice, &tio) != 0) {
        LoseOn(errno);
        Fail(errno);
        CheckError("Setup(Build)");
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Failed to build dcb '%s:%s'", name.c_str(), comName ? "1200,n,8,1" : "");
        return VLNK_SETUP_FAILED;
    }
    RawMode(tio);
    if (comName) {
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        tio.c_cflag |= CS8;
        tio.c_iflag &= ~static_cast<tcflag_t>(INPCK);
        cfsetispeed(&tio, B1200);
        cfsetospeed(&tio, B1200);
    }
    if (!baud.empty()) {
        const BaudEntry* match = nullptr;
        for (const auto& entry : kBauds)
            if (baud == entry.text) match = &entry;
        if (match) {
            cfsetispeed(&tio, match->speed);
            cfsetospeed(&tio, match->speed);
        } else {
            LogWrite(m_nChannel, "VLNKWDLL:ERROR:Setup - invalid baud [%s]", baud.c_str());
        }
    }
    if (tcsetattr(m_hDevice, TCSANOW, &tio) != 0) {
        LoseOn(errno);
        Fail(errno);
        CheckError("Setup");
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Failed to set comm state '%s:%s'", name.c_str(), baud.c_str());
        return VLNK_SETUP_FAILED;
    }
    NoteCharacterTime();
    CheckError("Setup");
    return 0;
}

void CPort::NoteCharacterTime()
{
    termios tio{};
    long baud = 0;
    if (tcgetattr(m_hDevice, &tio) == 0) {
        baud = SpeedNumber(cfgetispeed(&tio));
        if (baud == 0) baud = SpeedNumber(cfgetospeed(&tio));
    }
    m_thread.characterNs.store(baud > 0 ? CharacterBits(tio) * 1'000'000'000L / baud : 0);
}

int CPort::WriteAll(const uint8_t* bytes, size_t count, const char* operation)
{
    ClearGarbage(m_strName.c_str(), true);
    const auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long>(count) * kWriteMsPerByte);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = write(m_hDevice, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            LoseOn(errno);
            Fail(errno);
            break;
        }
        if (PollOne(m_hDevice, POLLOUT, MsLeft(deadline)) <= 0) {
            Fail(errno ? errno : ETIMEDOUT);
            break;
        }
    }
    if (done != count) {
        if (m_nLastError == 0) Fail(EIO);
        CheckError(operation);
        return VLNK_SEND_FAILED;
    }
    return 0;
}

void CPort::SendChar(uint8_t byte)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to send '%d' without being setup", byte);
        return;
    }
    WriteAll(&byte, 1, "SendChar");
}

int CPort::SendString(const uint8_t* bytes, size_t count)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to send string without being setup");
        return VLNK_SEND_FAILED;
    }
    return WriteAll(bytes, count, "SendString");
}

int CPort::ReadByte(uint8_t& out, bool& got)
{
    got = false;
    short revents = 0;
    const int ready = PollOne(m_hDevice, POLLIN, kReadTotalMs, &revents);
    if (ready == 0) return 0;
    if (ready > 0) {
        uint8_t byte;
        const ssize_t n = read(m_hDevice, &byte, 1);
        if (n == 1) {
            out = byte;
            got = true;
            return 0;
        }
        if (n < 0 && errno == EAGAIN) return 0;
        // A terminal reads as ended only when its line hung up.
        if (n == 0) Lose(&m_thread, kHungUp);
        else LoseOn(errno);
        Fail(n == 0 ? EIO : errno);
    } else {
        Fail(errno);
    }
    CheckError("GetChar");
    return VLNK_REMOTE_TIMEOUT;
}

int CPort::GetChar(uint8_t& out)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to read without being setup");
        return VLNK_REMOTE_TIMEOUT;
    }
    bool got;
    return ReadByte(out, got);
}

int CPort::GetString(uint8_t* out, size_t count)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to get string without being setup");
        return VLNK_RECEIVE_FAILED;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(kReadTotalMs);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = read(m_hDevice, out + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if ((n < 0 && errno != EAGAIN) || n == 0) {
            if (n == 0) Lose(&m_thread, kHungUp);
            else LoseOn(errno);
            Fail(n == 0 ? EIO : errno);
            break;
        }
        if (PollOne(m_hDevice, POLLIN, MsLeft(deadline)) <= 0) break;
    }
    if (done != count) {
        // A short block is a failure even when the device reported none: the
        // caller would otherwise take stale buffer bytes for received data.
        if (m_nLastError == 0) Fail(ETIMEDOUT);
        CheckError("GetString");
        return VLNK_RECEIVE_FAILED;
    }
    return 0;
}

int CPort::ReadLine(char* out, size_t size)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to get ascii string without setup");
        return VLNK_REMOTE_TIMEOUT;
    }
    if (!out || size == 0) return VLNK_REMOTE_TIMEOUT;
    out[0] = '\0';
    size_t length = 0;
    size_t dropped = 0;
    for (;;) {
        uint8_t byte = 0;
        bool got = false;
        if (ReadByte(byte, got) != 0) return VLNK_REMOTE_TIMEOUT;
        if (!got) {
            // A quiet line ends the line: repeating the last byte would fill the buffer.
            if (length == 0 && dropped == 0) return VLNK_REMOTE_TIMEOUT;
            break;
        }
        if (byte == '\r' || byte == '\n') {
            if (length == 0 && dropped == 0) continue;
            break;
        }
        if (length + 1 < size) {
            out[length++] = static_cast<char>(byte);
            out[length] = '\0';
        } else {
            ++dropped;
        }
    }
    if (dropped) LogWrite(m_nChannel, "VLNKWDLL:WARNING:Line cut to %zu characters, %zu dropped", length, dropped);
    return 0;
}

void CPort::FlushReceive() { Flush(TCIFLUSH, "receive", "FlushReceive"); }

void CPort::FlushTransmit() { Flush(TCOFLUSH, "transmit", "FlushTransmit"); }

void CPort::Flush(int queue, const char* direction, const char* operation)
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Trying to flush %s without setup", direction);
        return;
    }
    if (tcflush(m_hDevice, queue) != 0) {
        LoseOn(errno);
        Fail(errno);
        CheckError(operation);
    }
}

int CPort::GetNumInRxBuffer()
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Calling GetNumInRxBuffer() without setup");
        return 0;
    }
    int queued = 0;
    if (ioctl(m_hDevice, FIONREAD, &queued) != 0) {
        LoseOn(errno);
        return 0;
    }
    return queued;
}

bool CPort::Lost()
{
    const int cause = m_thread.lost.load();
    if (cause == 0 || !m_bOpen) return false;
    if (!m_bLossLogged) {
        m_bLossLogged = true;
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Port '%s' is gone (%s)", m_strName.c_str(),
                 cause == kHungUp ? "hang-up" : std::strerror(cause));
    }
    return true;
}

void CPort::LoseOn(int error)
{
    // What a device that is no longer there answers; anything else is a
    // passing fault that the protocol's retries deal with.
    if (error == EIO || error == ENXIO || error == ENODEV) Lose(&m_thread, error);
}

void CPort::CheckError(const char* operation)
{
    if (g_bInCheckError) return;
    g_bInCheckError = true;
    while (m_nLastError != 0 && m_nLastError != EAGAIN && m_nLastError != EINPROGRESS) {
        LogWrite(m_nChannel, "VLNKWDLL:WARNING:%s on '%s': %s", operation, m_strName.c_str(),
                 std::strerror(m_nLastError));
        if (m_hDevice >= 0 && m_bOpen) ClearGarbage(operation, false);
        m_nLastError = 0;
    }
    m_nLastError = 0;
    g_bInCheckError = false;
}

void CPort::ResetPort()
{
    if (!m_bOpen) {
        LogWrite(m_nChannel, "VLNKWDLL:ERROR:Calling ResetPort() without setup");
        return;
    }
    CheckError("ResetPort");
}

void CPort::ClearGarbage(const char* operation, bool check)
{
    while (GetNumInRxBuffer() != 0) {
        FlushReceive();
        if (check) CheckError(operation);
        WaitPumping(100);
    }
}

} // namespace vlnk
