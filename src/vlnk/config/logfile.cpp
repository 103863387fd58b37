// SPDX-License-Identifier: LGPL-2.1-or-later
#include "logfile.h"

#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "sidefile.h"

namespace vlnk {
namespace {

// A plain pointer: no exit handler touches what it points to.
CLogFile* g_pLog = nullptr;

} // namespace

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

void CLogFile::Configure(const std::string& path, unsigned maxSizeKb)
{
    m_strPath = path;
    m_nMaxSizeKb = maxSizeKb;
    m_strDate.clear();
}

std::string CLogFile::DateTimeText() const
{
    const std::tm tm = m_clock ? m_clock() : LocalNow();
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", tm.tm_mday % 100, (tm.tm_mon + 1) % 100,
                  tm.tm_year % 100, tm.tm_hour % 100, tm.tm_min % 100, tm.tm_sec % 100);
    return text;
}

bool CLogFile::WriteBanner(std::FILE* file)
{
    std::fprintf(file, "Vexil VLNK for Windows Log File (Created : %s)        Ver %s\n", DateTimeText().c_str(),
                 kVersion);
    std::fprintf(file, "%s\n", kMakerNotice);
    std::fprintf(file, "%s\n\n", std::string(78, '-').c_str());
    std::fprintf(file, "Time      Ch  Remark\n");
    m_strDate.clear();
    return std::ferror(file) == 0;
}

void CLogFile::CreateIfMissing()
{
    if (m_strPath.empty()) return;
    // Exclusive: whatever already has the name, even a dangling link, stays.
    const int fd = open(m_strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return;
    if (std::FILE* file = fdopen(fd, "w")) {
        WriteBanner(file);
        std::fclose(file);
    } else {
        close(fd);
    }
}

// Keeps about the newest tenth of the allowed size behind a fresh banner. The
// copy goes to a side file that replaces the log, so a failure half-way leaves
// the old log in place.
void CLogFile::Trim()
{
    const int inFd = OpenRegularForRead(m_strPath);
    if (inFd < 0) return;
    std::FILE* in = fdopen(inFd, "rb");
    if (!in) {
        close(inFd);
        return;
    }
    std::string side;
    const int outFd = CreateSideFile(m_strPath, side);
    std::FILE* out = outFd < 0 ? nullptr : fdopen(outFd, "wb");
    if (!out) {
        if (outFd >= 0) {
            close(outFd);
            unlink(side.c_str());
        }
        std::fclose(in);
        return;
    }
    bool ok = WriteBanner(out);
    const long keep = static_cast<long>(m_nMaxSizeKb / 10) * 1024;
    if (std::fseek(in, -keep, SEEK_END) != 0) std::fseek(in, 0, SEEK_SET);
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n') { }
    char piece[132];
    size_t n;
    while ((n = std::fread(piece, 1, 131, in)) > 0) ok = ok && std::fwrite(piece, 1, n, out) == n;
    std::fclose(in);
    ok = std::fflush(out) == 0 && ok;
    // The descriptor goes to CommitSideFile, which closes it.
    const int fd = dup(fileno(out));
    std::fclose(out);
    if (fd < 0) {
        unlink(side.c_str());
        return;
    }
    if (!ok) {
        close(fd);
        unlink(side.c_str());
        return;
    }
    CommitSideFile(fd, side, m_strPath);
}

// The log is opened without blocking and written only when it is a regular
// file: a FIFO in its place must not stop the program that logs.
std::FILE* CLogFile::OpenForAppend(bool mayTrim)
{
    const int fd = open(m_strPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat st { };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    if (mayTrim && st.st_size >= static_cast<off_t>(m_nMaxSizeKb) * 1024) {
        close(fd);
        Trim();
        return OpenForAppend(false);
    }
    std::FILE* file = fdopen(fd, "a");
    if (!file) close(fd);
    return file;
}

void CLogFile::Write(int channel, const char* text)
{
    if (m_strPath.empty()) return;
    std::FILE* file = OpenForAppend();
    if (!file) return;
    const std::string now = DateTimeText();
    const std::string date = now.substr(0, 8);
    const std::string time = now.substr(9);
    if (date != m_strDate) {
        m_strDate = date;
        std::fprintf(file, "%s      Current date is %s\n", time.c_str(), date.c_str());
    }
    if (text) {
        char column[16] = "  ";
        if (channel != 0) std::snprintf(column, sizeof column, "%2d", channel);
        std::fprintf(file, "%s  %s  %s\n", time.c_str(), column, text);
    } else {
        std::fputc('\n', file);
    }
    std::fclose(file);
}

CLogFile* TheLog() { return g_pLog; }

void SetTheLog(CLogFile* log) { g_pLog = log; }

void LogWrite(int channel, const char* format, ...)
{
    CLogFile* log = TheLog();
    if (!log) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    log->Write(channel, text.data());
}

} // namespace vlnk
