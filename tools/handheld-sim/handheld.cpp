// SPDX-License-Identifier: GPL-3.0-or-later
#include "handheld.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vlnksim {
namespace {

std::string U16(unsigned value) { return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)}; }
std::string U32(uint32_t value)
{
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string CText(const std::string& data) { return data.substr(0, data.find('\0')); }

// DOS wildcard match, without regard to case; "*.*" matches names without a dot too.
bool Match(const char* pattern, const char* name)
{
    if (std::strcmp(pattern, "*.*") == 0) return true;
    for (; *pattern; ++pattern) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (Match(pattern + 1, rest)) return true;
                if (!*rest) return false;
            }
        }
        if (!*name) return false;
        if (*pattern != '?'
            && std::toupper(static_cast<unsigned char>(*pattern)) != std::toupper(static_cast<unsigned char>(*name)))
            return false;
        ++name;
    }
    return *name == '\0';
}

constexpr std::chrono::milliseconds kFrameTimeout{500};

} // namespace

uint8_t Sum8(const std::string& bytes)
{
    uint8_t sum = 0;
    for (const char c : bytes) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    return sum;
}

std::string MakeFrame(const std::string& payload)
{
    std::string frame(1, STX);
    frame += U16(static_cast<unsigned>(payload.size()));
    frame += payload;
    frame += static_cast<char>(Sum8(payload));
    return frame;
}

CHandheld::CHandheld(HandheldOptions options)
    : m_opt(std::move(options))
    , m_rng(m_opt.seed)
{
    std::error_code ignored;
    if (m_opt.createDataDir) fs::create_directories(fs::path(m_opt.root) / "TRE" / "DATEN", ignored);
}

std::vector<std::string> CHandheld::TakeOutput()
{
    std::vector<std::string> out;
    out.swap(m_out);
    return out;
}

bool CHandheld::Fault()
{
    return m_opt.faultRate > 0 && std::uniform_real_distribution<double>(0, 1)(m_rng) < m_opt.faultRate;
}

CHandheld::Clock::time_point CHandheld::NextDeadline() const
{
    auto next = m_resendAt;
    if (!m_frame.empty()) next = std::min(next, m_frameDeadline);
    return next;
}

void CHandheld::Feed(uint8_t byte, Clock::time_point now)
{
    if (!m_frame.empty()) {
        m_frame += static_cast<char>(byte);
        if (m_frame.size() >= 3) {
            const size_t length
                = static_cast<uint8_t>(m_frame[1]) | (static_cast<size_t>(static_cast<uint8_t>(m_frame[2])) << 8);
            if (length > 280) {
                m_frame.clear();
                Emit(std::string(1, NAK));
            } else if (m_frame.size() == length + 4) {
                const std::string payload = m_frame.substr(3, length);
                const bool good = Sum8(payload) == static_cast<uint8_t>(m_frame.back());
                m_frame.clear();
                if (good) OnFrame(payload, now);
                else Emit(std::string(1, NAK));
            }
        }
        return;
    }
    switch (byte) {
    case STX:
        m_frame.assign(1, STX);
        m_frameDeadline = now + kFrameTimeout;
        m_line.clear();
        return;
    case ENQ: Emit(std::string(1, m_opt.infrared ? 'I' : ACK)); return;
    case ACK:
        if (Fault() && m_opt.lostAck) return;
        OnAck(now);
        return;
    case NAK:
        ++m_nNaks;
        ResendLast();
        return;
    case EOT:
        ++m_nEots;
        if (m_mode == Mode::ReceiveDone) EndReceive(false);
        return;
    case '\r':
    case '\n':
        if (!m_line.empty()) OnLine(m_line);
        m_line.clear();
        return;
    default:
        if (std::isprint(byte) && m_line.size() < 80) m_line += static_cast<char>(byte);
        return;
    }
}

void CHandheld::Tick(Clock::time_point now)
{
    if (!m_frame.empty() && now >= m_frameDeadline) {
        m_frame.clear();
        Emit(std::string(1, NAK));
    }
    if (now >= m_resendAt) {
        m_resendAt = Clock::time_point::max();
        if (m_mode == Mode::Entries) SendEntry(now);
    }
}

void CHandheld::Reply(const std::string& payload)
{
    m_lastFrame = MakeFrame(payload);
    if (oversizeReplies > 0) {
        --oversizeReplies;
        std::string bogus(1, STX);
        bogus += U16(257);
        bogus += std::string(258, 'x');
        Emit(bogus);
        return;
    }
    if (badChecksumReplies > 0) {
        --badChecksumReplies;
        std::string bad = m_lastFrame;
        bad.back() = static_cast<char>(bad.back() ^ 0x5A);
        Emit(bad);
        return;
    }
    Emit(m_lastFrame);
}

void CHandheld::ResendLast()
{
    if (!m_lastFrame.empty()) Emit(m_lastFrame);
}

void CHandheld::OnFrame(const std::string& payload, Clock::time_point now)
{
    m_requests.push_back(payload);
    m_line.clear();
    if (m_mode == Mode::ReceiveFile) return OnDataFrame(payload, now);
    const bool data = payload.empty() || (payload.size() == 1 && (payload[0] == '\0' || payload[0] == '\xFF'));
    if (data) return OnDataFrame(payload, now);
    if (m_mode == Mode::ReceiveDone) EndReceive(true); // our ACK for the final status got lost
    m_mode = Mode::Idle;
    m_resendAt = Clock::time_point::max();
    OnCommand(payload[0], payload.substr(1), now);
}

void CHandheld::OnCommand(char letter, const std::string& data, Clock::time_point now)
{
    const std::string text = CText(data);
    switch (letter) {
    case 'B':
    case 'Q': Emit(std::string(1, ACK)); return;
    case 'C':
    case 'D': {
        std::string folder;
        const std::vector<std::string> names = Matching(text, &folder);
        Emit(std::string(1, ACK));
        if (letter == 'C') return Reply(U16(static_cast<unsigned>(names.size())));
        m_entries.clear();
        for (const auto& name : names) m_entries.push_back(EntryRecord(folder, name));
        m_entry = 0;
        m_repeated = false;
        if (m_entries.empty()) return;
        m_mode = Mode::Entries;
        return SendEntry(now);
    }
    case 'F': Emit(std::string(1, ACK)); return Reply(U32(m_opt.freeBytes));
    case 'G': {
        Emit(std::string(1, ACK));
        return Reply("C:" + m_cwd + std::string(1, '\0'));
    }
    case 'I': Emit(std::string(1, ACK)); return Reply(U16(m_opt.session));
    case 'L': Emit(std::string(1, ACK)); return Reply(std::string("AC") + '\0');
    case 'S': {
        Emit(std::string(1, ACK));
        std::string dir = text.empty() || text[0] != '\\' ? (m_cwd == "\\" ? "\\" : m_cwd + "\\") + text : text;
        while (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
        const std::string host = HostPath(dir);
        std::error_code ec;
        if (dir.find("..") == std::string::npos && !host.empty() && fs::is_directory(host, ec)) {
            m_cwd = dir;
            return Reply(U16(0));
        }
        return Reply(U16(3));
    }
    case 'X': Emit(std::string(1, ACK)); return Reply(U16(data.size() == 1 && data[0] == 3 ? 0 : 15));
    case 'Y': {
        Emit(std::string(1, ACK));
        const bool ok = data.size() == 4 && data[0] >= 1 && data[0] <= 31 && data[1] >= 1 && data[1] <= 12;
        return Reply(U16(ok ? 0 : 1));
    }
    case 'Z': {
        Emit(std::string(1, ACK));
        const bool ok = data.size() == 3 && data[0] < 24 && data[1] < 60 && data[2] < 60;
        return Reply(U16(ok ? 0 : 1));
    }
    case 'R': {
        Emit(std::string(1, ACK));
        const std::string path = Resolve(HostPath(m_cwd), text);
        std::ifstream in(path, std::ios::binary);
        std::error_code ec;
        if (path.empty() || !in || !fs::is_regular_file(path, ec)) return Reply(U16(2));
        std::ostringstream content;
        content << in.rdbuf();
        m_data = content.str();
        m_pos = 0;
        m_seq = 0;
        m_blockAcked = true;
        m_sentEmpty = false;
        m_block.clear();
        m_mode = Mode::SendFile;
        return Reply(U16(0));
    }
    case 'T': {
        Emit(std::string(1, ACK));
        if (text.empty() || text.find_first_of("/\\") != std::string::npos) return Reply(U16(1));
        const std::string existing = Resolve(HostPath(m_cwd), text);
        m_target = existing.empty() ? HostPath(m_cwd) + "/" + text : existing;
        m_partial = m_target + ".sim-part";
        std::ofstream(m_partial, std::ios::binary | std::ios::trunc);
        m_lastSeqIn = -1;
        m_mode = Mode::ReceiveFile;
        return Reply(U16(0));
    }
    case 'U': {
        Emit(std::string(1, ACK));
        const std::string path = Resolve(HostPath(m_cwd), text);
        std::error_code ec;
        return Reply(U16(!path.empty() && fs::remove(path, ec) ? 0 : 2));
    }
    default: Emit(std::string(1, NAK)); return;
    }
}

void CHandheld::OnDataFrame(const std::string& payload, Clock::time_point now)
{
    if (m_mode == Mode::ReceiveFile) {
        Emit(std::string(1, ACK));
        if (payload.empty()) {
            m_mode = Mode::ReceiveDone;
            return Reply(U16(0));
        }
        std::string data = payload;
        if (m_opt.infrared) {
            const int seq = static_cast<uint8_t>(data[0]);
            data.erase(0, 1);
            if (seq == m_lastSeqIn) return Reply(U16(0)); // sent again: already written
            m_lastSeqIn = seq;
        }
        std::ofstream(m_partial, std::ios::binary | std::ios::app) << data;
        return Reply(U16(0));
    }
    if (m_mode != Mode::SendFile) {
        // The last frame of a receive that was already answered: the PC missed our ACK.
        Emit(std::string(1, ACK));
        return;
    }
    if (payload.size() == 1 && payload[0] == '\xFF') {
        Emit(std::string(1, ACK));
        m_mode = Mode::Idle;
        return;
    }
    if (m_sentEmpty) {
        Emit(std::string(1, ACK));
        m_mode = Mode::Idle;
        return;
    }
    Emit(std::string(1, ACK));
    SendBlock(now);
}

// Over a cable a request means "the next block": the PC asks again only for
// a reply it never got, and then by NAK. Over infrared the handheld moves on
// only after the PC's ACK; the sequence byte lets the PC drop a block it has.
void CHandheld::SendBlock(Clock::time_point /*now*/)
{
    if (m_opt.infrared && !m_blockAcked && !m_block.empty()) {
        Reply(m_block);
        return;
    }
    const size_t room = m_opt.infrared ? 255 : 256;
    const size_t count = std::min(room, m_data.size() - m_pos);
    m_block.clear();
    if (m_opt.infrared) m_block += static_cast<char>(m_seq++);
    m_block += m_data.substr(m_pos, count);
    m_pos += count;
    if (count == 0) m_sentEmpty = true;
    m_blockAcked = false;
    const size_t first = m_opt.infrared ? 1 : 0;
    if (sumKeepingBlocks > 0 && m_block.size() >= first + 2) {
        --sumKeepingBlocks;
        std::string damaged = m_block;
        const size_t i = std::uniform_int_distribution<size_t>(first, damaged.size() - 2)(m_rng);
        const size_t j = std::uniform_int_distribution<size_t>(i + 1, damaged.size() - 1)(m_rng);
        const int d = std::uniform_int_distribution<int>(1, 255)(m_rng);
        damaged[i] = static_cast<char>(damaged[i] + d);
        damaged[j] = static_cast<char>(damaged[j] - d);
        Reply(damaged);
        return;
    }
    Reply(m_block);
}

void CHandheld::OnAck(Clock::time_point now)
{
    switch (m_mode) {
    case Mode::Entries:
        if (!m_repeated && (repeatNextEntries > 0 || (m_opt.repeatEntry && Fault()))) {
            if (repeatNextEntries > 0) --repeatNextEntries;
            m_repeated = true; // as if our ACK wait had timed out
            return SendEntry(now);
        }
        m_repeated = false;
        if (++m_entry >= m_entries.size()) {
            m_mode = Mode::Idle;
            m_resendAt = Clock::time_point::max();
            return;
        }
        return SendEntry(now);
    case Mode::SendFile: m_blockAcked = true; return;
    case Mode::ReceiveDone: return EndReceive(true);
    default: return;
    }
}

void CHandheld::SendEntry(Clock::time_point now)
{
    Reply(m_entries[m_entry]);
    m_resendAt = now + std::chrono::milliseconds(m_opt.resendMs);
}

void CHandheld::EndReceive(bool keep)
{
    std::error_code ec;
    if (keep) fs::rename(m_partial, m_target, ec);
    else fs::remove(m_partial, ec);
    m_mode = Mode::Idle;
}

void CHandheld::OnLine(const std::string& line)
{
    char hello[40];
    std::snprintf(hello, sizeof hello, "%dHELLO%d", m_opt.user, m_opt.user);
    if (line != hello) return;
    char ready[80];
    std::snprintf(ready, sizeof ready, "%dREADY%d %2d%% %lu\r\n", m_opt.user, m_opt.user, m_opt.battery,
                  static_cast<unsigned long>(m_opt.freeBytes / 1024));
    Emit(ready);
}

std::string CHandheld::HostPath(const std::string& handheldPath) const
{
    std::string host = m_opt.root;
    std::stringstream parts(handheldPath);
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (part.empty()) continue;
        const std::string found = Resolve(host, part);
        if (found.empty()) return {};
        host = found;
    }
    return host;
}

std::string CHandheld::Resolve(const std::string& dir, const std::string& name) const
{
    if (dir.empty() || name.empty() || name == "." || name == "..") return {};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (Upper(entry.path().filename().string()) == Upper(name)) return entry.path().string();
    return {};
}

std::vector<std::string> CHandheld::Matching(const std::string& spec, std::string* folder) const
{
    std::string dir = m_cwd, pattern = spec;
    const size_t slash = spec.find_last_of('\\');
    if (slash != std::string::npos) {
        dir = spec.substr(0, slash);
        if (dir.empty()) dir = "\\";
        pattern = spec.substr(slash + 1);
    }
    *folder = HostPath(dir);
    std::vector<std::string> names;
    std::error_code ec;
    if (folder->empty()) return names;
    for (const auto& entry : fs::directory_iterator(*folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".sim-part") != std::string::npos) continue;
        if (Match(pattern.c_str(), name.c_str())) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string CHandheld::EntryRecord(const std::string& folder, const std::string& name) const
{
    struct stat st { };
    const std::string path = folder + "/" + name;
    ::stat(path.c_str(), &st);
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    const unsigned date = static_cast<unsigned>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    const unsigned time = static_cast<unsigned>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    std::string record(13, '\0');
    std::copy_n(name.begin(), std::min<size_t>(name.size(), 12), record.begin());
    record += U32(static_cast<uint32_t>(S_ISDIR(st.st_mode) ? 0 : st.st_size + sizeSkew));
    record += static_cast<char>(S_ISDIR(st.st_mode) ? 0x10 : 0x20);
    record += U16(date);
    record += U16(time);
    record += '\0';
    return record;
}

} // namespace vlnksim
