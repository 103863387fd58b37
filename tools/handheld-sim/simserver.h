// SPDX-License-Identifier: GPL-3.0-or-later
// CSimServer: the handheld on the master end of a pseudo-terminal. It reads
// what the PC sends, feeds the handheld, and puts the handheld's messages on
// the line - at once, or paced at the byte time of the baud rate the PC set.
//
// Line faults: each message the handheld sends is, with the fault rate's
// chance, damaged once - one byte corrupted or one byte dropped. (One fault
// per message: a frame with two damaged bytes can pass an 8-bit sum.) Noise
// is the other kind: each byte the handheld sends is, with the byte error
// rate's chance, replaced by another byte, however many that makes in one
// frame - what a noisy line does, and what the 8-bit sum cannot always see.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "handheld.h"
#include "pty_pair.h"

namespace vlnksim {

struct ServerOptions {
    HandheldOptions handheld;
    long onlyBaud = 0;   // answer only while the line runs at this rate (0: any)
    bool paced = false;  // one byte per byte time each way, at the line's rate
    bool corrupt = true; // fault kinds of the line
    bool drop = true;
    std::string capture;   // write every received byte here and answer nothing (a loader)
    double byteErrors = 0; // chance per byte sent of being replaced by another byte
};

class CSimServer {
public:
    explicit CSimServer(ServerOptions options);
    ~CSimServer();
    CSimServer(const CSimServer&) = delete;
    CSimServer& operator=(const CSimServer&) = delete;

    bool Ok() const { return m_pty.Ok() && m_wake >= 0; }
    const std::string& PortPath() const { return m_pty.SlavePath(); }

    // Serves until Stop() (from any thread) or `stop` becomes non-zero.
    void Run(const volatile int* stop = nullptr);
    // Runs in a thread of its own.
    void Start();
    void Stop();
    // Makes Run() return soon; safe in a signal handler. A flag alone is not
    // enough there: a signal between Run's look at it and its wait would leave
    // the server waiting for a line that stays quiet.
    void RequestStop();

    // Bytes that went over the line each way, and faults injected.
    uint64_t BytesIn() const { return m_bytesIn.load(); }
    uint64_t BytesOut() const { return m_bytesOut.load(); }
    uint64_t Faults() const { return m_faults.load(); }
    uint64_t ByteErrors() const { return m_byteErrors.load(); }
    // The thread serving the line (0 before Run), so that a benchmark sharing
    // the process can tell the handheld's CPU use from the PC's.
    int ServingThread() const { return m_servingThread.load(); }

    // The handheld, for test hooks and what it saw; only while it is not running,
    // or through With() which holds the server between two turns.
    template <typename F> auto With(F f)
    {
        std::lock_guard lock(m_mutex);
        return f(m_handheld);
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Byte {
        Clock::time_point due;
        uint8_t value;
    };
    long LineBaud() const;
    Clock::duration ByteTime() const;
    void Turn();
    void Queue(const std::string& message, Clock::time_point now);

    ServerOptions m_opt;
    CPtyPair m_pty;
    int m_wake = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    CHandheld m_handheld;
    std::mt19937 m_rng;
    std::mt19937 m_noise; // its own stream: the same seed gives the same noise with or without faults
    std::deque<Byte> m_in, m_out;
    Clock::time_point m_inFree{}, m_outFree{};
    std::FILE* m_capture = nullptr;
    std::atomic<uint64_t> m_bytesIn{0}, m_bytesOut{0}, m_faults{0}, m_byteErrors{0};
    std::atomic<int> m_servingThread{0};
};

} // namespace vlnksim
