// SPDX-License-Identifier: LGPL-2.1-or-later
// The framed commands with a short reply: queries (path, free space, session
// number, drive list), settings (drive, directory, date, time) and the delete.
// Each is one CtrlCommand exchange; the Poll that sees it complete reads the
// reply and ends the command.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

#include "ctrlcommand.h"
#include "frame.h"
#include "linkcommands.h"
#include "logfile.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

constexpr size_t kDirectoryMax = 80;

void CopyText(char* text, const std::string& value)
{
    if (!text) return;
    const size_t n = std::min(value.size(), static_cast<size_t>(VLNK_TEXT_SIZE - 1));
    std::memcpy(text, value.data(), n);
    text[n] = '\0';
}

// Delivers the text reply of a query, tolerating a null text pointer.
int QueryResult(LinkState& link, char* text, const std::string& value, const char* logFormat, const char* nullLine)
{
    LogWrite(link.m_nChannel, logFormat, value.c_str());
    if (text) CopyText(text, value);
    else LogWrite(link.m_nChannel, "%s", nullLine);
    return 0;
}

int StatusOf(const char* reply) { return ReplyU16(reinterpret_cast<const uint8_t*>(reply), 2); }

// A setting the handheld refused: its status logged, the command's own code.
int SettingResult(LinkState& link, const char* reply, const char* logFormat, int failure)
{
    const int status = StatusOf(reply);
    if (status == 0) return 0;
    LogWrite(link.m_nChannel, logFormat, status);
    return failure;
}

int ShortStep(LinkState& link, StepEvent event, int* /*value*/, char* text)
{
    if (event != StepEvent::Poll) return CtrlCommand(link, event);
    char reply[kReplyPayloadMax + 1] = {};
    const int result = CtrlCommand(link, StepEvent::Poll, reply);
    if (result == VLNK_WAITING) return VLNK_WAITING;
    const int id = link.m_nCommandId;
    link.EndCommand();
    if (result != 0) return result;
    const int ch = link.m_nChannel;
    switch (id) {
    case kGetPath:
        return QueryResult(link, text, reply, "Current path is %s", "Got path but NULL passed as return value");
    case kGetFreeSpace:
        return QueryResult(link, text, std::to_string(ReplyU32(ReplyPayload(link), ReplyLength(link))),
                           "Free space is %s bytes", "Got free space but NULL passed as return value");
    case kGetSessionId:
        return QueryResult(link, text, std::to_string(ReplyU16(ReplyPayload(link), ReplyLength(link))),
                           "Session Identity is %s", "Got session id but NULL passed as return value");
    case kGetDrives:
        return QueryResult(link, text, reply, "List of drives is %s",
                           "Got list of drives but NULL passed as return value");
    case kSetDrive: return SettingResult(link, reply, "Error trying to set drive = (%d)", VLNK_SET_DRIVE_FAILED);
    case kSetDirectory:
        return SettingResult(link, reply, "VLNKWDLL:ERROR:Error trying to set directory = (%d)", VLNK_NO_DIRECTORY);
    case kSetHandheldDate:
        return SettingResult(link, reply, "VLNKWDLL:ERROR:Error trying to set date = (%d)", VLNK_SET_DATE_FAILED);
    case kSetHandheldTime:
        return SettingResult(link, reply, "VLNKWDLL:ERROR:Error trying to set time = (%d)", VLNK_SET_TIME_FAILED);
    case kDeleteFile:
        if (const int status = StatusOf(reply)) {
            LogWrite(ch, "VLNKWDLL:ERROR:File [%s] not found on handheld (%d)", link.m_strArgument.c_str(), status);
            return VLNK_FILE_NOT_FOUND;
        }
        LogWrite(ch, "Deleted file %s on handheld", link.m_strArgument.c_str());
        return 0;
    default: return 0;
    }
}

int Begin(LinkState& link, int id, ReplySize reply = kStatusReply)
{
    link.BeginCommand(id, ShortStep);
    return CtrlRequest(link, reply);
}

void PrepareLine(LinkState& link)
{
    link.LoadRememberedBaud();
    link.SetupLine();
}

// A query: nothing to check or log before the request goes out.
int Query(LinkState& link, int id, uint8_t command, const uint8_t* data, size_t size, ReplySize reply)
{
    PrepareLine(link);
    BuildFrame(link, command, data, size);
    return Begin(link, id, reply);
}

} // namespace

int StartGetPath(LinkState& link) { return Query(link, kGetPath, 'G', nullptr, 0, kAnyReply); }

int StartGetFreeSpace(LinkState& link, int drive)
{
    const uint8_t data = static_cast<uint8_t>(drive);
    return Query(link, kGetFreeSpace, 'F', &data, 1, {4, kReplyPayloadMax});
}

int StartGetSessionId(LinkState& link) { return Query(link, kGetSessionId, 'I', nullptr, 0, kStatusReply); }

int StartGetDrives(LinkState& link) { return Query(link, kGetDrives, 'L', nullptr, 0, kAnyReply); }

int StartSetDrive(LinkState& link, int drive)
{
    PrepareLine(link);
    const uint8_t data = static_cast<uint8_t>(drive);
    BuildFrame(link, 'X', &data, 1);
    LogWrite(link.m_nChannel, "Setting drive to %c", static_cast<char>(drive + 64));
    return Begin(link, kSetDrive);
}

int StartSetDirectory(LinkState& link, const char* dir)
{
    PrepareLine(link);
    const std::string text = dir ? dir : "";
    if (text.size() > kDirectoryMax) {
        // A cut path would name another directory.
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Directory longer than %zu characters [%.80s...]", kDirectoryMax,
                 text.c_str());
        return VLNK_NO_DIRECTORY;
    }
    BuildFrame(link, 'S', text);
    LogWrite(link.m_nChannel, "Setting directory to %s", text.c_str());
    return Begin(link, kSetDirectory);
}

std::array<uint8_t, 4> DateRequest(const std::tm& date)
{
    const int year = date.tm_year + 1900;
    return {static_cast<uint8_t>(date.tm_mday), static_cast<uint8_t>(date.tm_mon + 1), static_cast<uint8_t>(year >> 8),
            static_cast<uint8_t>(year & 0xFF)};
}

int StartSetHandheldDate(LinkState& link)
{
    PrepareLine(link);
    const std::tm now = LocalNow();
    const auto data = DateRequest(now);
    BuildFrame(link, 'Y', data.data(), data.size());
    LogWrite(link.m_nChannel, "Setting date to %d/%d/%d", now.tm_mday, now.tm_mon + 1, now.tm_year + 1900);
    return Begin(link, kSetHandheldDate);
}

int StartSetHandheldTime(LinkState& link)
{
    PrepareLine(link);
    const std::tm now = LocalNow();
    const uint8_t data[3]
        = {static_cast<uint8_t>(now.tm_hour), static_cast<uint8_t>(now.tm_min), static_cast<uint8_t>(now.tm_sec)};
    BuildFrame(link, 'Z', data, 3);
    LogWrite(link.m_nChannel, "Setting time to %02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
    return Begin(link, kSetHandheldTime);
}

int StartDeleteFile(LinkState& link, const char* name)
{
    PrepareLine(link);
    link.m_strArgument = name ? name : "";
    if (link.m_strArgument.size() > kRequestDataMax - 1) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Name longer than %zu characters", kRequestDataMax - 1);
        return VLNK_BAD_FILENAME;
    }
    BuildFrame(link, 'U', link.m_strArgument);
    return Begin(link, kDeleteFile);
}

} // namespace vlnk
