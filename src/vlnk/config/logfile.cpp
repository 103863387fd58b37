// SPDX-License-Identifier: LGPL-2.1-or-later
#include "logfile.h"

#include <cstdarg>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace vlnk {
namespace {

// A plain pointer: no exit handler touches what it points to.
CLogFile* g_pLog = nullptr;

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

} // namespace

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
    struct stat st { };
    if (stat(m_strPath.c_str(), &st) == 0) return;
    if (std::FILE* file = std::fopen(m_strPath.c_str(), "w")) {
        WriteBanner(file);
        std::fclose(file);
    }
}

// Keeps about the newest tenth of the allowed size behind a fresh banner. The
// copy goes to a side file that replaces the log, so a failure half-way leaves
// the old log in place.
void CLogFile::Trim()
{
    std::string tmp = m_strPath;
    const auto slash = tmp.find_last_of('/');
    const auto dot = tmp.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) tmp.erase(dot);
    tmp += ".$$$";

    std::FILE* in = std::fopen(m_strPath.c_str(), "rb");
    if (!in) return;
    std::FILE* out = std::fopen(tmp.c_str(), "wb");
    if (!out) {
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
    ok = (std::fclose(out) == 0) && ok;
    if (!ok || std::rename(tmp.c_str(), m_strPath.c_str()) != 0) std::remove(tmp.c_str());
}

void CLogFile::Write(int channel, const char* text)
{
    if (m_strPath.empty()) return;
    struct stat st { };
    if (stat(m_strPath.c_str(), &st) == 0 && st.st_size >= static_cast<off_t>(m_nMaxSizeKb) * 1024) Trim();

    std::FILE* file = std::fopen(m_strPath.c_str(), "a");
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
