// SPDX-License-Identifier: GPL-3.0-or-later
// A fault-injecting relay for the link tests: it sits between the library and
// the handheld simulator on two pseudo-terminals and passes every byte on,
// unless its filter drops, changes or answers them itself.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "pty_pair.h"

namespace vlnktest {

class CFaultRelay {
public:
    enum class Dir { ToHandheld, ToPc };
    // Gets the bytes read in one piece and returns what goes on; it may also
    // Inject bytes. Runs on the relay's thread.
    using Filter = std::function<std::string(Dir, const std::string& bytes)>;

    // Relays to the simulator's port `handheldPort`; PortPath() is the port the
    // library opens.
    explicit CFaultRelay(const std::string& handheldPort);
    ~CFaultRelay();
    CFaultRelay(const CFaultRelay&) = delete;
    CFaultRelay& operator=(const CFaultRelay&) = delete;

    bool Ok() const { return m_pc.Ok() && m_handheld >= 0 && m_wake >= 0; }
    const std::string& PortPath() const { return m_pc.SlavePath(); }

    // Null passes everything.
    void SetFilter(Filter filter);
    void Inject(Dir dir, const std::string& bytes);

    // Bytes that reached each side.
    size_t BytesTo(Dir dir) const { return dir == Dir::ToPc ? m_toPc.load() : m_toHandheld.load(); }

private:
    void Run();
    void Write(Dir dir, const std::string& bytes);

    vlnksim::CPtyPair m_pc;
    int m_handheld = -1;
    int m_wake = -1;
    std::mutex m_mutex;
    Filter m_filter;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_toPc{0}, m_toHandheld{0};
    std::thread m_thread;
};

// A handheld left in its send mode, as the relay plays it: every request
// frame is answered with ACK and `staleFrame`, every NAK with `staleFrame`
// again; ENQ or the frame that ends a receive brings it back (that one goes
// on to the simulator too). Until then nothing reaches the simulator. Drops
// everything the simulator sends meanwhile.
class CStaleHandheld {
public:
    explicit CStaleHandheld(std::string staleFrame)
        : m_frame(std::move(staleFrame))
    { }
    CFaultRelay::Filter Filter(CFaultRelay& relay);
    bool Active() const { return m_active.load(); }

private:
    std::string m_frame;
    std::atomic<bool> m_active{true};
};

} // namespace vlnktest
