// SPDX-License-Identifier: LGPL-2.1-or-later
#include "settings.h"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include "libdir.h"
#include "logfile.h"
#include "profile.h"

namespace vlnk {
namespace {

void WriteUnsigned(const char* section, const char* key, unsigned value)
{
    profile::WriteString(IniPath(), section, key, std::to_string(value));
}

bool IsTerminal(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios tio{};
    const bool ok = tcgetattr(fd, &tio) == 0;
    close(fd);
    return ok;
}

} // namespace

std::string ReadBoundedString(int channel, const char* section, const char* key, const char* def, size_t maxLen)
{
    std::string value = profile::GetString(IniPath(), section, key, def);
    if (value.size() <= maxLen) return value;
    LogWrite(channel, "VLNKWDLL:ERROR:%s '%s' is longer than %zu characters, using '%s'", section, key, maxLen, def);
    return def;
}

void ReadProtocolSettings(int channel, ProtocolSettings& s)
{
    const std::string ini = IniPath();
    s.MaxRetries = profile::GetInt(ini, "Protocol", "MaxRetries", 5);
    s.MaxIRRetries = profile::GetInt(ini, "Protocol", "MaxIRRetries", 10);
    s.ConnectTimeout = profile::GetInt(ini, "Protocol", "ConnectTimeout", 1000);
    s.StartBlockTimeout = profile::GetInt(ini, "Protocol", "StartBlockTimeout", 5000);
    s.RetryTimeout = profile::GetInt(ini, "Protocol", "RetryTimeout", 1000);
    s.PollTimeout = profile::GetInt(ini, "Protocol", "PollTimeout", 1000);
    s.IgnorePorts = ReadBoundedString(channel, "Protocol", "IgnorePorts", "None", kIgnorePortsMax);
    s.VerifyReceive = ReadVerifyReceive();
    if (!s.bMaxPortsDetected) {
        s.MaxPorts = DetectMaxPorts();
        s.bMaxPortsDetected = true;
    }
    s.MaxPorts = static_cast<int>(profile::GetInt(ini, "Settings", "MaxPorts", static_cast<unsigned>(s.MaxPorts)));

    WriteUnsigned("Protocol", "MaxRetries", s.MaxRetries);
    WriteUnsigned("Protocol", "MaxIRRetries", s.MaxIRRetries);
    WriteUnsigned("Protocol", "ConnectTimeout", s.ConnectTimeout);
    WriteUnsigned("Protocol", "StartBlockTimeout", s.StartBlockTimeout);
    WriteUnsigned("Protocol", "RetryTimeout", s.RetryTimeout);
    WriteUnsigned("Protocol", "PollTimeout", s.PollTimeout);
    if (!profile::WriteString(ini, "Protocol", "IgnorePorts", s.IgnorePorts))
        LogWrite(channel, "VLNKWDLL:ERROR:Could not write 'IgnorePorts=%s'", s.IgnorePorts.c_str());
    WriteUnsigned("Protocol", "VerifyReceive", s.VerifyReceive ? 1 : 0);
}

bool ReadVerifyReceive() { return profile::GetInt(IniPath(), "Protocol", "VerifyReceive", 0) != 0; }

std::string ReadRememberedBaud(int channel, const std::string& port)
{
    const std::string key = port + "Baud";
    return ReadBoundedString(channel, "BaudRates", key.c_str(), "38400", kBaudTextMax);
}

bool WriteRememberedBaud(int channel, const std::string& port, const std::string& baud)
{
    const std::string key = port + "Baud";
    if (profile::WriteString(IniPath(), "BaudRates", key.c_str(), baud)) return true;
    LogWrite(channel, "VLNKWDLL:ERROR:Could not write '%s=%s'", key.c_str(), baud.c_str());
    return false;
}

LogSettings ReadLogSettings()
{
    const std::string ini = IniPath();
    const std::string def = LibraryFile("VLNKW.LOG");
    LogSettings s;
    s.Filename = profile::GetString(ini, "LogFile", "Filename", def.c_str());
    if (s.Filename.size() > kLogPathMax) {
        s.Filename = def;
        s.bFilenameRefused = true;
    }
    s.MaxSizeKb = profile::GetInt(ini, "LogFile", "MaxSize", 100);
    if (s.MaxSizeKb < 10) s.MaxSizeKb = 10;
    profile::WriteString(ini, "LogFile", "Filename", s.Filename);
    WriteUnsigned("LogFile", "MaxSize", s.MaxSizeKb);
    return s;
}

void DeleteStaleProtocolSection() { profile::DeleteSection(IniPath(), "Procotol"); }

std::string DevicePath(const std::string& port)
{
    const bool com = port.size() > 3 && strncasecmp(port.c_str(), "COM", 3) == 0
                     && port.find_first_not_of("0123456789", 3) == std::string::npos;
    if (!com) return port;
    const std::string mapped = profile::GetString(IniPath(), "Ports", port.c_str(), "");
    if (!mapped.empty()) return mapped;
    const long n = std::strtol(port.c_str() + 3, nullptr, 10);
    if (n < 1) return {};
    return "/dev/ttyS" + std::to_string(n - 1);
}

int DetectMaxPorts()
{
    int highest = 1;
    for (int n = 1; n <= 4; ++n) {
        const std::string path = DevicePath("COM" + std::to_string(n));
        if (!path.empty() && IsTerminal(path)) highest = n;
    }
    return highest;
}

} // namespace vlnk
