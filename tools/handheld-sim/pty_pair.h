// SPDX-License-Identifier: GPL-3.0-or-later
// A pseudo-terminal pair standing in for a serial cable: the slave path is
// the "port" the library opens, the master is the handheld's end.
#pragma once

#include <cstddef>
#include <string>
#include <termios.h>

namespace vlnksim {

class CPtyPair {
public:
    // Opens the pair; Ok() tells whether that worked.
    CPtyPair();
    ~CPtyPair();
    CPtyPair(const CPtyPair&) = delete;
    CPtyPair& operator=(const CPtyPair&) = delete;

    bool Ok() const { return m_master >= 0 && m_slave >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }

    // Writes all bytes to the master end (towards the port's input).
    bool Write(const std::string& bytes);
    // Reads from the master end until `count` bytes came or `timeoutMs` passed.
    std::string Read(size_t count, int timeoutMs);
    // The slave's current line settings, as the port user set them.
    termios SlaveSettings() const;

private:
    int m_master = -1;
    // Held open so the master never sees a hang-up while the port is closed.
    int m_slave = -1;
    std::string m_slavePath;
};

} // namespace vlnksim
