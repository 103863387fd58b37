// SPDX-License-Identifier: LGPL-2.1-or-later
// CMDVLNK: a whole transfer job from one command line, on a channel of its
// own. The interpreter starts the library's own command steps and waits for
// each with its own polling loop, which also keeps the message window running.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "cmdline.h"
#include "cmdprogress.h"
#include "dospath.h"
#include "errortext.h"
#include "filecommands.h"
#include "libdir.h"
#include "library.h"
#include "linkcommands.h"
#include "logfile.h"
#include "msgwindow.h"
#include "pcpath.h"
#include "profile.h"
#include "settings.h"
#include "sidefile.h"
#include "vlnkdirline.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

std::atomic<bool> g_bRunning{false};
// The Cancel command of the progress display. Set from a signal handler or
// another thread, so nothing but a lock-free store may touch it there.
std::atomic<int> g_nCancel{0};
static_assert(std::atomic<int>::is_always_lock_free);

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Written beside a temporary name and renamed, so a caller that waits for the
// file never reads half a line.
void WriteResultFile(int result)
{
    const std::string path = LibraryFile("vlnkw.end");
    char text[VLNK_ERROR_TEXT_SIZE];
    VLNKGetErrorString(result, text);
    char line[VLNK_ERROR_TEXT_SIZE + 8];
    const int length = std::snprintf(line, sizeof line, "%03d %s\n", result, text);
    std::string side;
    const int fd = CreateSideFile(path, side);
    if (fd >= 0) {
        if (write(fd, line, static_cast<size_t>(length)) == length && CommitSideFile(fd, side, path) == 0) return;
        close(fd);
        unlink(side.c_str());
    }
    LogWrite(0, "VLNKWDLL:CMDVLNK:ERROR:Could not write result file '%s'", path.c_str());
}

void OnInterrupt(int) { VLNKCMDMessageHdlr(nullptr, VLNK_WM_COMMAND, VLNK_IDCANCEL, 0); }

// Ctrl+C is the display's Cancel button while the display is drawn, unless
// the calling program handles SIGINT itself.
class CInterruptAsCancel {
public:
    CInterruptAsCancel()
    {
        struct sigaction current { };
        if (sigaction(SIGINT, nullptr, &current) != 0) return;
        if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) return;
        struct sigaction action { };
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        // A second Ctrl+C, while the cancel takes effect, ends the program as usual.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        m_bInstalled = sigaction(SIGINT, &action, &m_saved) == 0;
    }
    ~CInterruptAsCancel()
    {
        if (m_bInstalled) sigaction(SIGINT, &m_saved, nullptr);
    }
    CInterruptAsCancel(const CInterruptAsCancel&) = delete;
    CInterruptAsCancel& operator=(const CInterruptAsCancel&) = delete;

private:
    struct sigaction m_saved { };
    bool m_bInstalled = false;
};

// A directory line as the library's callers read it.
using HandheldFile = vlnkline::CDirLine;

// The file name part of a handheld pattern, upper-cased as the handheld
// has always been sent its names.
std::string HandheldPattern(const std::string& value) { return Upper(SplitPcPattern(DosValueToPath(value)).name); }

class CCmdRun {
public:
    explicit CCmdRun(ChannelSlot& slot)
        : m_slot(slot)
        , m_link(slot.link)
        , m_ch(slot.nChannel)
    { }
    int Job(const char* commandLine);
    // After an internal failure: the channel closed, whatever it was doing.
    void Abandon();

private:
    void SelectPort();
    int Execute();
    int SelectHandheld();
    int Download();
    int Transfer();
    int Connect();
    int SizePass();
    int RunList();
    int RunTx(const std::string& value);
    int RunRx(const std::string& value);
    int RunDel(const std::string& value);
    int ChangeDirectory(const std::string& value, int failure);
    int RunDateTime(CmdCode code);
    int AbortRemote();
    void FinalMessage(int result);

    // A listing that failed: a name the library refused keeps its own code.
    int ListFailure(int result, const std::string& pattern);
    int MapTx(int result, const std::string& dir, const std::string& name);
    int MapRx(int result, const std::string& dir, const std::string& name);
    using TransferFn = int (*)(int channel, const char* pcPath);
    using FailureMap = int (CCmdRun::*)(int result, const std::string& dir, const std::string& name);
    // Moves the files one by one, each shown as "<action> '<name>' (<i> of
    // <count>)"; the first failure ends the run with its mapped result.
    template <typename File>
    int TransferEach(const std::vector<File>& files, const std::string& dir, const char* action, TransferFn start,
                     FailureMap failure);
    // The handheld's files (no folders) that match the value's pattern; a
    // failed listing or no match fails the command.
    int HandheldFiles(const std::string& value, const std::string& remote, std::vector<HandheldFile>& files);
    int Fail(int result, std::string status)
    {
        m_status = std::move(status);
        return result;
    }

    int Wait(const std::string& action, bool progress, int* value = nullptr, char* text = nullptr);
    void PumpTurn();
    void Progress(int percent, const char* text);
    void ShowAction(const std::string& text, unsigned holdMs = 100);
    int List(const std::string& pattern, std::vector<HandheldFile>& files);
    void CloseChannel();

    ChannelSlot& m_slot;
    LinkState& m_link;
    int m_ch;
    CmdJob m_job;
    std::string m_status;
    std::unique_ptr<CProgressDisplay> m_display;
    unsigned long m_nCurrentSize = 0;
    unsigned long m_nCurrentBytes = 0;
    unsigned long m_nTotal = 0;
    unsigned long m_nOverall = 0;
};

int CCmdRun::Job(const char* commandLine)
{
    m_slot.bOpen = true;
    std::remove(LibraryFile("vlnkw.end").c_str());
    int result = 1;
    ParseOutcome parsed = ParseCommandLine(commandLine ? commandLine : "");
    for (const std::string& line : parsed.log) LogWrite(m_ch, "%s", line.c_str());
    if (parsed.bOk) {
        m_job = std::move(parsed.job);
        SelectPort();
        result = Execute();
    } else {
        m_status = parsed.status;
    }
    LogWrite(m_ch, "CMDVLNK:%s (level %d)", m_status.c_str(), result);
    WriteResultFile(result);
    m_slot.bOpen = false;
    return result;
}

void CCmdRun::Abandon()
{
    m_display.reset();
    CloseChannel();
    m_slot.bOpen = false;
}

void CCmdRun::SelectPort()
{
    switch (m_job.mode) {
    case PortMode::GivenPort:
        LogWrite(m_ch, "CMDVLNK:Using port '%s'", m_job.port.c_str());
        profile::WriteString(IniPath(), "CMDVLNK", "ComPort", m_job.port);
        break;
    case PortMode::PollUser: LogWrite(m_ch, "CMDVLNK:Polling for user '%d'", m_job.user); break;
    case PortMode::LastPort:
        m_job.port = ReadBoundedString(m_ch, "CMDVLNK", "ComPort", "COM1", kComPortMax);
        LogWrite(m_ch, "CMDVLNK:Using last port '%s'", m_job.port.c_str());
        break;
    }
}

int CCmdRun::Execute()
{
    std::optional<CInterruptAsCancel> interrupt;
    if (m_job.bShowDialog) m_display = CreateTerminalDisplay(m_job.bMinimize);
    if (m_display) interrupt.emplace();
    g_nCancel.store(0);

    int result = SelectHandheld();
    if (result == 0) result = m_job.bDownload ? Download() : Transfer();
    CloseChannel();

    if (result == VLNK_USER_STOPPED) {
        result = VLNK_CMD_CANCELLED;
        m_status = "User cancelled operation";
    }
    if (result == 0 && m_status.empty()) m_status = "Commands completed successfully";
    // Failures without a text of their own still leave a message.
    if (result != 0 && m_status.empty()) m_status = ErrorText(result);
    FinalMessage(result);
    m_display.reset();
    return result;
}

void CCmdRun::CloseChannel()
{
    if (m_link.m_Port.IsOpen() || m_link.IsBusy()) m_link.Close();
}

int CCmdRun::SelectHandheld()
{
    if (m_job.mode == PortMode::PollUser) {
        const int user = m_job.user;
        int result = m_link.RunStart([&] { return StartPollUser(m_link, user); });
        int battery = 0;
        char space[VLNK_TEXT_SIZE] = "";
        if (result == VLNK_WAITING) result = Wait(Printf("Polling for user '%d'", user), false, &battery, space);
        if (result == VLNK_USER_STOPPED) return result;
        if (result != 0) return Fail(VLNK_CMD_NOT_CONNECTED, Printf("Failed to find user '%d'", user));
        ShowAction(Printf("Found user '%u' (power %d%%, %sk free)", static_cast<unsigned>(user), battery, space), 2000);
        return 0;
    }
    if (m_link.Open(m_job.port.c_str()) != 0)
        return Fail(VLNK_CMD_BAD_PORT, Printf("Could not open port '%s'", m_job.port.c_str()));
    return 0;
}

int CCmdRun::Download()
{
    const char* image = DownloadImageName(m_job.nMachine);
    const std::string path = image ? FindOnPath(image) : std::string();
    if (path.empty()) {
        LogWrite(m_ch, "VLNKWDLL:ERROR:CMDVLNK:[%s] not found on path", image ? image : "");
        return VLNK_CMD_NO_IMAGE;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    struct stat st { };
    if (!file || fstat(fileno(file), &st) != 0) {
        if (file) std::fclose(file);
        LogWrite(m_ch, "VLNKWDLL:ERROR:CMDVLNK:Could not open file to transmit [%s]", path.c_str());
        return VLNK_CMD_OPEN_FAILED;
    }
    std::fclose(file);
    m_nTotal = m_nCurrentSize = static_cast<unsigned long>(st.st_size);
    const int result = VLNKSoftwareDownload(m_ch, m_job.nMachine);
    return result == VLNK_WAITING ? Wait("Downloading software to remote...", true) : result;
}

int CCmdRun::Transfer()
{
    int result = Connect();
    if (result == 0) result = SizePass();
    if (result == 0) result = RunList();
    if (result == 0 && m_job.bAbortAtEnd) result = AbortRemote();
    return result;
}

int CCmdRun::Connect()
{
    char baud[VLNK_TEXT_SIZE] = "";
    int result = VLNKCheckConnect(m_ch, 0);
    if (result == VLNK_WAITING) result = Wait("Checking for remote...", false, nullptr, baud);
    if (result != 0)
        return Fail(result == VLNK_REMOTE_TIMEOUT ? VLNK_CMD_NOT_CONNECTED : result, "Failed to connect to remote");
    ShowAction(Printf("Connected to remote at %s", baud), 1000);
    return 0;
}

int CCmdRun::SizePass()
{
    const bool hasCd = std::any_of(m_job.list.begin(), m_job.list.end(),
                                   [](const CmdEntry& entry) { return entry.code == CmdCode::Cd; });
    std::string saved;
    if (hasCd) {
        char path[VLNK_TEXT_SIZE] = "";
        int result = VLNKGetPath(m_ch);
        if (result == VLNK_WAITING) result = Wait("Getting remote's path...", false, nullptr, path);
        if (result == VLNK_USER_STOPPED) return result;
        if (result != 0) return Fail(VLNK_CMD_COMMS_FAILED, "Failed to get remote's directory");
        saved = path;
    }
    ShowAction("Calculating transfer size...");
    m_nTotal = 0;
    for (const CmdEntry& entry : m_job.list) {
        if (entry.code == CmdCode::Tx) {
            for (const PcFile& file : MatchingPcFiles(SplitPcPattern(DosValueToPath(entry.value))))
                m_nTotal += file.size;
        } else if (entry.code == CmdCode::Rx) {
            const std::string pattern = HandheldPattern(entry.value);
            std::vector<HandheldFile> files;
            const int result = List(pattern, files);
            if (result != 0) return ListFailure(result, pattern);
            for (const HandheldFile& file : files) m_nTotal += file.size;
        } else if (entry.code == CmdCode::Cd) {
            // Later patterns are sized in the directory they will be received from.
            if (const int result = ChangeDirectory(entry.value, VLNK_CMD_COMMS_FAILED)) return result;
        }
    }
    if (hasCd) return ChangeDirectory(saved, VLNK_CMD_COMMS_FAILED);
    return 0;
}

int CCmdRun::RunList()
{
    for (const CmdEntry& entry : m_job.list) {
        int result = 0;
        switch (entry.code) {
        case CmdCode::Tx: result = RunTx(entry.value); break;
        case CmdCode::Rx: result = RunRx(entry.value); break;
        case CmdCode::Del: result = RunDel(entry.value); break;
        case CmdCode::Cd:
            LogWrite(m_ch, "CMDVLNK:Changing directory to '%s' on remote", entry.value.c_str());
            result = ChangeDirectory(entry.value, VLNK_CMD_CD_FAILED);
            break;
        case CmdCode::Date:
        case CmdCode::Time: result = RunDateTime(entry.code); break;
        default: // "/BAUD" is kept in the list without effect
            break;
        }
        if (result != 0) return result;
    }
    return 0;
}

int CCmdRun::RunTx(const std::string& value)
{
    LogWrite(m_ch, "CMDVLNK:Sending '%s' to remote", value.c_str());
    const PcPattern pattern = SplitPcPattern(DosValueToPath(value));
    const std::vector<PcFile> files = MatchingPcFiles(pattern);
    if (files.empty()) return Fail(VLNK_CMD_FILE_NOT_FOUND, Printf("PC cannot find '%s'", value.c_str()));
    return TransferEach(files, pattern.dir, "Sending", VLNKTransmitFile, &CCmdRun::MapTx);
}

template <typename File>
int CCmdRun::TransferEach(const std::vector<File>& files, const std::string& dir, const char* action, TransferFn start,
                          FailureMap failure)
{
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count; ++i) {
        const File& file = files[static_cast<size_t>(i)];
        m_nCurrentSize = file.size;
        int result = start(m_ch, (dir + file.name).c_str());
        if (result == VLNK_WAITING)
            result = Wait(Printf("%s '%s' (%d of %d)", action, file.name.c_str(), i + 1, count), true);
        if (result != 0) return (this->*failure)(result, dir, file.name);
    }
    return 0;
}

int CCmdRun::HandheldFiles(const std::string& value, const std::string& remote, std::vector<HandheldFile>& files)
{
    if (const int result = List(remote, files)) {
        return ListFailure(result, remote);
    }
    std::erase_if(files, [](const HandheldFile& file) { return file.bDirectory; });
    if (files.empty()) return Fail(VLNK_CMD_FILE_NOT_FOUND, Printf("File not found '%s'", value.c_str()));
    return 0;
}

int CCmdRun::MapTx(int result, const std::string& dir, const std::string& name)
{
    switch (result) {
    case VLNK_REMOTE_TIMEOUT:
        return Fail(VLNK_CMD_COMMS_FAILED, Printf("Failed to send '%s%s'", dir.c_str(), name.c_str()));
    case VLNK_BAD_FILENAME: return Fail(VLNK_CMD_BAD_FILENAME, Printf("Invalid filename '%s'", name.c_str()));
    case VLNK_FILE_NOT_FOUND: return Fail(VLNK_CMD_FILE_NOT_FOUND, Printf("PC cannot find '%s'", name.c_str()));
    case VLNK_FILE_OPEN_FAILED: return Fail(VLNK_CMD_OPEN_FAILED, Printf("Handheld cannot open '%s'", name.c_str()));
    case VLNK_HANDHELD_FULL: return Fail(VLNK_CMD_WRITE_FAILED, Printf("Handheld cannot write '%s'", name.c_str()));
    case VLNK_USER_STOPPED: return result;
    default: return Fail(result, Printf("Unknown error [%d] for '%s'", result, name.c_str()));
    }
}

int CCmdRun::ListFailure(int result, const std::string& pattern)
{
    if (result == VLNK_USER_STOPPED) return result;
    if (result == VLNK_BAD_FILENAME)
        return Fail(result, Printf("Refused a handheld name in '%s' that leaves its folder", pattern.c_str()));
    return Fail(VLNK_CMD_COMMS_FAILED, Printf("Failed to get directory '%s'", pattern.c_str()));
}

int CCmdRun::RunRx(const std::string& value)
{
    LogWrite(m_ch, "CMDVLNK:Receiving '%s' from remote", value.c_str());
    const PcPattern pattern = SplitPcPattern(DosValueToPath(value));
    std::vector<HandheldFile> files;
    if (const int result = HandheldFiles(value, Upper(pattern.name), files)) return result;
    return TransferEach(files, pattern.dir, "Receiving", VLNKReceiveFile, &CCmdRun::MapRx);
}

int CCmdRun::MapRx(int result, const std::string& dir, const std::string& name)
{
    const char* d = dir.c_str();
    const char* n = name.c_str();
    switch (result) {
    case VLNK_REMOTE_TIMEOUT: return Fail(VLNK_CMD_COMMS_FAILED, Printf("Failed to receive '%s%s'", d, n));
    case VLNK_RECEIVE_FAILED: return Fail(VLNK_CMD_COMMS_FAILED, Printf("Receive failed '%s%s'", d, n));
    case VLNK_FILE_NOT_FOUND: return Fail(VLNK_CMD_FILE_NOT_FOUND, Printf("Handheld cannot find '%s'", n));
    case VLNK_FILE_OPEN_FAILED: return Fail(VLNK_CMD_OPEN_FAILED, Printf("PC cannot open '%s%s'", d, n));
    case VLNK_PC_FULL: return Fail(VLNK_CMD_WRITE_FAILED, Printf("PC cannot write '%s%s'", d, n));
    case VLNK_PC_NO_RIGHTS: return Fail(VLNK_CMD_WRITE_FAILED, Printf("No rights to '%s%s'", d, n));
    default: return MapTx(result, dir, name);
    }
}

int CCmdRun::RunDel(const std::string& value)
{
    LogWrite(m_ch, "CMDVLNK:Deleting '%s' on remote", value.c_str());
    std::vector<HandheldFile> files;
    if (const int result = HandheldFiles(value, HandheldPattern(value), files)) return result;
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count; ++i) {
        const std::string& name = files[static_cast<size_t>(i)].name;
        int result = VLNKDeleteFile(m_ch, name.c_str());
        if (result == VLNK_WAITING)
            result = Wait(Printf("Deleting '%s' (%d of %d)", name.c_str(), i + 1, count), false);
        if (result == 0 || result == VLNK_USER_STOPPED) {
            if (result) return result;
            continue;
        }
        if (result == VLNK_REMOTE_TIMEOUT || result == VLNK_FILE_NOT_FOUND)
            return Fail(VLNK_CMD_COMMS_FAILED, Printf("Failed to delete '%s'", name.c_str()));
        return Fail(result, Printf("Unknown error [%d] for '%s'", result, name.c_str()));
    }
    return 0;
}

// "[drive letter ':'] directory": the drive first, then the rest as the directory.
int CCmdRun::ChangeDirectory(const std::string& value, int failure)
{
    std::string dir = Upper(value);
    if (dir.size() >= 2 && dir[1] == ':') {
        const int drive = static_cast<unsigned char>(dir[0]) - 64;
        int result = VLNKSetDrive(m_ch, drive);
        if (result == VLNK_WAITING) result = Wait("", false);
        if (result == VLNK_USER_STOPPED) return result;
        if (result != 0) return Fail(failure, Printf("Failed to set drive [%d]", drive));
        dir.erase(0, 2);
        // "C:" alone only selects the drive.
        if (dir.empty()) return 0;
    }
    int result = VLNKSetDirectory(m_ch, dir.c_str());
    if (result == VLNK_WAITING) result = Wait("", false);
    if (result == VLNK_USER_STOPPED) return result;
    if (result != 0) return Fail(failure, Printf("Failed to set directory '%s'", dir.c_str()));
    return 0;
}

int CCmdRun::RunDateTime(CmdCode code)
{
    const bool date = code == CmdCode::Date;
    int result = date ? VLNKSetHandheldDate(m_ch) : VLNKSetHandheldTime(m_ch);
    if (result == VLNK_WAITING) result = Wait(date ? "Setting date on handheld" : "Setting time on handheld", false);
    return result;
}

int CCmdRun::AbortRemote()
{
    int result = VLNKAbortRemote(m_ch);
    if (result == VLNK_WAITING) result = Wait("Aborting handheld from VLNK software", false);
    if (result != 0) m_status = "Failed to abort handheld from VLNK";
    return result;
}

void CCmdRun::FinalMessage(int result)
{
    if (m_status.empty() || !m_display) return;
    const std::string unattended = profile::GetString(IniPath(), "Settings", "UnattendedOperation", "X");
    const bool failed = result != 0;
    if (failed && m_display->Minimized()) m_display->Restore();
    m_display->SetAction(m_status);
    WaitPumping(500);
    if (unattended != "Y" && unattended != "y") {
        m_display->Beep(failed);
        if (failed) WaitPumping(1500);
    }
    WaitPumping(1000);
}

void CCmdRun::ShowAction(const std::string& text, unsigned holdMs)
{
    if (!m_display) return;
    m_display->SetAction(text);
    WaitPumping(holdMs);
}

void CCmdRun::PumpTurn()
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(5);
    CMsgWindow* window = TheWindow();
    if (window && window->IsOwnerThread()) window->PumpOneUntil(until);
    else std::this_thread::sleep_until(until);
}

// Polls until the command's result is no longer 213. The first poll comes
// before any pause, so a listing hands out its lines without delay.
int CCmdRun::Wait(const std::string& action, bool progress, int* value, char* text)
{
    if (!action.empty()) ShowAction(action);
    int ownValue = 0;
    char ownText[VLNK_TEXT_SIZE] = "";
    if (!value) value = &ownValue;
    if (!text) text = ownText;
    int lastPercent = 0;
    if (progress) {
        m_nCurrentBytes = 0;
        *value = 0;
        if (m_display) m_display->ClearCurrent();
    }
    bool cancelled = false;
    for (;;) {
        const int result = VLNKGetResult(m_ch, value, text);
        if (g_nCancel.load() && !cancelled && m_link.IsBusy()) {
            cancelled = VLNKCancel(m_ch) == 0;
            if (m_display) m_display->DisableCancel();
        }
        if (progress && *value != lastPercent) {
            lastPercent = *value;
            Progress(*value, text);
        }
        if (result != VLNK_WAITING) return cancelled && result == VLNK_CHANNEL_IDLE ? VLNK_USER_STOPPED : result;
        PumpTurn();
    }
}

void CCmdRun::Progress(int percent, const char* text)
{
    const unsigned long current = std::strtoul(text, nullptr, 10);
    if (current >= m_nCurrentBytes) m_nOverall += current - m_nCurrentBytes;
    else m_nOverall -= std::min(m_nOverall, m_nCurrentBytes - current);
    m_nCurrentBytes = current;
    if (!m_display) return;
    const unsigned long long overall = m_nTotal ? static_cast<unsigned long long>(m_nOverall) * 100 / m_nTotal : 0;
    m_display->SetProgress(current, m_nCurrentSize, percent, m_nOverall, m_nTotal,
                           static_cast<int>(std::min<unsigned long long>(overall, 100)));
}

int CCmdRun::List(const std::string& pattern, std::vector<HandheldFile>& files)
{
    int result = VLNKGetDirectory(m_ch, pattern.c_str());
    if (result != VLNK_WAITING) return result;
    for (;;) {
        int left = 0;
        char line[VLNK_TEXT_SIZE] = "";
        result = Wait("", false, &left, line);
        if (result == VLNK_CHANNEL_IDLE) return 0;
        if (result != 0) return result;
        files.push_back(vlnkline::ParseDirLine(line));
    }
}

// Runs one job; every way out leaves the channel closed and a result file.
int RunCommandLine(const char* commandLine)
{
    CMsgWindow* window = TheWindow();
    if (!LibraryLoaded() || (window && !window->IsOwnerThread())) {
        // Its timers and notifications would never reach this thread.
        if (LibraryLoaded()) LogWrite(0, "VLNKWDLL:CMDVLNK:ERROR:Called on a thread that does not own the library");
        WriteResultFile(VLNK_WINDOW_FAILED);
        return VLNK_WINDOW_FAILED;
    }
    int channel = 0;
    if (VLNKGetFreeChannel(&channel) != 0) {
        WriteResultFile(VLNK_CHANNEL_IN_USE);
        return VLNK_CHANNEL_IN_USE;
    }
    if (!EnsureWindow()) {
        WriteResultFile(VLNK_WINDOW_FAILED);
        return VLNK_WINDOW_FAILED;
    }
    CCmdRun run(*Slot(channel));
    int result = VLNK_CMD_COMMS_FAILED;
    try {
        result = run.Job(commandLine);
    } catch (const std::exception& e) {
        LogWrite(channel, "VLNKWDLL:CMDVLNK:ERROR:Internal failure: %s", e.what());
        run.Abandon();
        WriteResultFile(result);
    }
    DropWindowIfUnused();
    return result;
}

} // namespace
} // namespace vlnk

extern "C" {

int CMDVLNK(const char* commandLine)
{
    bool idle = false;
    if (!vlnk::g_bRunning.compare_exchange_strong(idle, true)) return VLNK_CMD_RUNNING;
    int result = VLNK_CMD_COMMS_FAILED;
    try {
        const vlnk::CallScope scope(true);
        // After the unload no window can be made for the job.
        result = scope.Gone()      ? VLNK_WINDOW_FAILED
                 : scope.Refusal() ? scope.Refusal()
                                   : vlnk::RunCommandLine(commandLine);
    } catch (...) { }
    vlnk::g_bRunning.store(false);
    return result;
}

intptr_t VLNKCMDMessageHdlr(VLNK_HWND /*hwnd*/, unsigned int msg, uintptr_t wParam, intptr_t /*lParam*/)
{
    if (msg == VLNK_WM_COMMAND && (wParam & 0xFFFF) == VLNK_IDCANCEL) {
        vlnk::g_nCancel.store(1);
        return 1;
    }
    return 0;
}

} // extern "C"
