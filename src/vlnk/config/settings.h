// SPDX-License-Identifier: LGPL-2.1-or-later
// The library's settings in vlnkw.ini: keys, defaults, field limits, and the
// points at which they are read and written back.
//
// Settings are read when needed, never cached for the library's lifetime, and
// several are written back at once so that the file shows the values in force.
#pragma once

#include <string>

namespace vlnk {

// Field limits of texts read from the ini file. A longer value is refused: the
// default stands in and the refusal is logged.
inline constexpr size_t kIgnorePortsMax = 40;
inline constexpr size_t kBaudTextMax = 10;
inline constexpr size_t kLogPathMax = 80;
// As long as a port name may be: device paths here are longer than "COM1".
inline constexpr size_t kComPortMax = 21;

struct ProtocolSettings {
    unsigned MaxRetries = 5;
    unsigned MaxIRRetries = 10;
    unsigned ConnectTimeout = 1000;
    unsigned StartBlockTimeout = 5000;
    unsigned RetryTimeout = 1000;
    unsigned PollTimeout = 1000;
    std::string IgnorePorts = "None";
    int MaxPorts = 1;
    bool VerifyReceive = false;     // every receive reads the file twice
    bool bMaxPortsDetected = false; // detection runs once per channel
};

// Reads section "Protocol" and "Settings/MaxPorts" for a channel and writes the
// protocol keys back at once. The first call for a channel detects MaxPorts.
void ReadProtocolSettings(int channel, ProtocolSettings& settings);

// "Protocol/VerifyReceive" (default 0) as it stands now.
bool ReadVerifyReceive();

// "BaudRates/<port>Baud", default "38400".
std::string ReadRememberedBaud(int channel, const std::string& port);
// Logs "Could not write '<key>=<baud>'" when the file cannot be written.
bool WriteRememberedBaud(int channel, const std::string& port, const std::string& baud);

struct LogSettings {
    std::string Filename;
    unsigned MaxSizeKb = 100;
    bool bFilenameRefused = false; // the ini value was longer than its field
};
// Reads "LogFile", raises MaxSize to at least 10 and writes both keys back.
LogSettings ReadLogSettings();

// Removes the misspelt section "Procotol" that older versions left behind.
void DeleteStaleProtocolSection();

// A text setting bounded by its field; a longer value is refused in favour of
// the default, with a log line on the channel.
std::string ReadBoundedString(int channel, const char* section, const char* key, const char* def, size_t maxLen);

// The device path of a port name: "COMn" through section "Ports" (key "COMn"),
// else /dev/ttyS<n-1>; any other name is a device path used as given.
std::string DevicePath(const std::string& port);

// Highest of COM1..COM4 that exists and is a terminal; 1 when none is.
int DetectMaxPorts();

} // namespace vlnk
