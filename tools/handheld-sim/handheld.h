// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld's side of the link: fed with the bytes the PC sends, it answers
// with the messages (a control byte, a frame or a text line) the handheld
// would put on the line. It serves a host folder as its current drive.
//
// Line faults that concern whole protocol steps - an ACK from the PC that
// gets lost, an entry frame sent twice - are decided here; faults of single
// bytes belong to the line (simserver.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace vlnksim {

inline constexpr char STX = 0x02;
inline constexpr char EOT = 0x04;
inline constexpr char ENQ = 0x05;
inline constexpr char ACK = 0x06;
inline constexpr char NAK = 0x15;

struct HandheldOptions {
    std::string root = ".";    // host folder served as drive C:
    bool createDataDir = true; // create TRE/DATEN below it
    bool infrared = false;     // answer ENQ with "I"; data blocks carry a sequence byte
    int user = 1;              // the user number "HELLO" polls for
    uint32_t freeBytes = 1048576;
    int battery = 85; // percent
    unsigned session = 4711;
    int resendMs = 300;   // an entry or block frame without ACK is sent again after this
    double faultRate = 0; // chance per message of a fault (see simserver.h)
    bool lostAck = true;  // fault kinds decided here
    bool repeatEntry = true;
    bool mute = false; // never answer (a handheld that is off)
    uint32_t seed = 1;
};

class CHandheld {
public:
    using Clock = std::chrono::steady_clock;
    explicit CHandheld(HandheldOptions options);

    // One byte from the PC at `now`.
    void Feed(uint8_t byte, Clock::time_point now);
    // Runs time-outs; call at NextDeadline() at the latest.
    void Tick(Clock::time_point now);
    Clock::time_point NextDeadline() const;

    // The messages produced so far, oldest first.
    std::vector<std::string> TakeOutput();

    // Test hooks: the next replies go out broken once (a NAK gets the good one).
    int badChecksumReplies = 0;
    int oversizeReplies = 0;
    int repeatNextEntries = 0; // entry frames sent a second time after their ACK
    long sizeSkew = 0;         // added to the size a file's entry announces
    // The next data blocks of files sent to the PC go out with two bytes
    // changed by +d and -d: an error the 8-bit sum cannot see.
    int sumKeepingBlocks = 0;

    // What the PC sent: the payload of every good request frame, in order.
    const std::vector<std::string>& Requests() const { return m_requests; }
    int NakCount() const { return m_nNaks; }
    int EotCount() const { return m_nEots; }
    const std::string& Cwd() const { return m_cwd; }

private:
    enum class Mode { Idle, Entries, SendFile, ReceiveFile, ReceiveDone };

    void OnFrame(const std::string& payload, Clock::time_point now);
    void OnCommand(char letter, const std::string& data, Clock::time_point now);
    void OnDataFrame(const std::string& payload, Clock::time_point now);
    void OnAck(Clock::time_point now);
    void OnLine(const std::string& line);
    void Emit(const std::string& message)
    {
        if (!m_opt.mute) m_out.push_back(message);
    }
    void Reply(const std::string& payload);
    void ResendLast();
    void SendEntry(Clock::time_point now);
    void SendBlock(Clock::time_point now);
    void EndReceive(bool keep);
    bool Fault();

    std::string HostPath(const std::string& handheldPath) const;
    std::string Resolve(const std::string& dir, const std::string& name) const; // case-insensitive
    std::vector<std::string> Matching(const std::string& spec, std::string* folder) const;
    std::string EntryRecord(const std::string& folder, const std::string& name) const;

    HandheldOptions m_opt;
    std::mt19937 m_rng;
    std::vector<std::string> m_out;
    std::string m_lastFrame; // sent again on NAK

    // Frame and text reassembly.
    std::string m_frame;
    Clock::time_point m_frameDeadline{};
    std::string m_line;

    Mode m_mode = Mode::Idle;
    Clock::time_point m_resendAt = Clock::time_point::max();
    std::string m_cwd = "\\";
    // Listing.
    std::vector<std::string> m_entries;
    size_t m_entry = 0;
    bool m_repeated = false;
    // File to the PC.
    std::string m_data;
    size_t m_pos = 0;
    uint8_t m_seq = 0;
    bool m_blockAcked = true;
    bool m_sentEmpty = false;
    std::string m_block;
    // File from the PC.
    std::string m_target, m_partial;
    int m_lastSeqIn = -1;

    std::vector<std::string> m_requests;
    int m_nNaks = 0;
    int m_nEots = 0;
};

// A frame with its length and checksum around the payload.
std::string MakeFrame(const std::string& payload);
uint8_t Sum8(const std::string& bytes);

} // namespace vlnksim
