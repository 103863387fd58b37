#include "tsdfile.h"

#include "codepage.h"
#include "fileerror.h"
#include "numtext.h"
#include "qmline.h"
#include "tredoc.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCrLf = "\r\n";

// A line break inside a header text or comment would split the record and
// lose the rest of the row when the file is read back.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

// Header texts stand at the start of their line, where the reader looks for
// section headings; one that begins like a heading is set in by a blank.
std::string HeaderLine(const std::string& text)
{
    std::string line = OneLine(text);
    if (!line.empty() && line[0] == '[') line.insert(line.begin(), ' ');
    return line;
}

std::string Flag(bool b) { return b ? "1" : "0"; }

std::string GradientField(int32_t tenths)
{
    return IsPresent(tenths) ? tresnum::FormatInt(tenths / 10) : std::string();
}

// Single precision holds every whole millivolt below 2^24 mV; beyond that
// (no real potential, but a file may say so) it would write a different
// value on every save, so those go out in double precision.
std::string VoltsField(int32_t mv, int width)
{
    constexpr int32_t kFloatExact = 1 << 24;
    if (mv > -kFloatExact && mv < kFloatExact) return tresnum::VoltsText(mv, width);
    return tresnum::FormatFixed(mv * 0.001, 2, width);
}

std::string PotentialField(int32_t mv) { return IsPresent(mv) ? VoltsField(mv, 5) : std::string(); }

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%d.%m.%y", &tm);
    return buf;
}

// Writes `text` to a temporary file beside `path`, flushes it to the disk and
// renames it over `path`, so the previous file stays whole until the new one
// is complete. Returns 0 or the errno of the step that failed.
int ReplaceFile(const std::string& path, const std::string& text)
{
    std::string target = path;
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Keep the link: write where it points.
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));

    std::string tmpl = target + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) return errno;

    int err = 0;
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    const char* p = text.data();
    size_t left = text.size();
    while (left > 0 && err == 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = errno;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(tmpl.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(tmpl.c_str());
        return err;
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd); // the rename itself reaches the disk
        ::close(dfd);
    }
    return 0;
}

} // namespace

std::string CTsdWriter::BuildText(const std::string& saveDate, const std::string& encodedQm)
{
    CTreDoc& d = m_doc;
    d.m_qm[7] = saveDate;
    d.m_qm[8] = "TS 3.018";

    std::string head = "[Version]\r\nV1.1\r\n\r\n[Kopfdaten]\r\n";
    for (int i = 1; i <= 7; ++i) head += HeaderLine(d.m_header[static_cast<size_t>(i)]) + kCrLf;
    head += "\r\n\r\n";

    std::string out = tresdoc::Utf8ToCp850(head);
    out.reserve(out.size() + static_cast<size_t>(d.GetRowCount()) * 40 + 1024);
    out += encodedQm;
    out += "\r\n\r\n";

    out += "[Tabellendruck]\r\n";
    out += "IR;" + Flag(d.m_bTabIR) + kCrLf;
    out += "QM;" + Flag(d.m_bTabQM) + kCrLf;
    out += "ARIAL;" + Flag(d.m_bTabArial) + kCrLf;
    out += "LINESGW;" + Flag(d.m_bTabLinesGW) + kCrLf;
    out += "KUNDE;" + Flag(!d.m_bTabHeadNumber) + kCrLf;
    out += kCrLf;
    out += "[Grafikdruck]\r\n";
    out += "IR;" + Flag(d.m_bPlotIR) + kCrLf;
    out += "QM;" + Flag(d.m_bPlotQM) + kCrLf;
    out += "GE;" + Flag(d.m_bPlotGradOn) + kCrLf;
    out += "GA;" + Flag(d.m_bPlotGradOff) + kCrLf;
    out += "GD;" + Flag(d.m_bPlotGradDiff) + kCrLf;
    out += "X;" + tresnum::FormatInt(d.m_nPlotScale) + kCrLf;
    out += "YP;" + tresnum::FormatInt(d.m_nPotAxisMax) + ";" + tresnum::FormatInt(d.m_nPotAxisMin) + kCrLf;
    out += "YG;" + tresnum::FormatInt(d.m_nGradAxisMax) + ";" + tresnum::FormatInt(d.m_nGradAxisMin) + kCrLf;
    out += kCrLf;
    out += "[Messdaten]\r\n";

    CProgressSteps progress(d.Host());
    const int n = d.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        progress.Report(static_cast<int>(100LL * r / n));
        const CMeasRow& row = *d.GetRow(r);
        out += tresnum::FormatInt(row.m_nMeter);
        out += ';';
        out += PotentialField(row.m_nPotOn);
        out += ';';
        out += PotentialField(row.m_nPotOff);
        out += ';';
        out += GradientField(row.m_nGradOnL);
        out += ';';
        out += GradientField(row.m_nGradOffL);
        out += ';';
        out += GradientField(row.m_nGradOnR);
        out += ';';
        out += GradientField(row.m_nGradOffR);
        out += ';';
        if (!row.m_strComment.empty()) out += tresdoc::Utf8ToCp850(OneLine(row.m_strComment));
        out += kCrLf;
    }
    out += kCrLf;

    if (d.HasAnyLimits()) {
        out += "[FehlerListe]\r\n";
        for (int k = 0; k < LIMIT_COUNT; ++k) {
            const int32_t a = d.m_limits[static_cast<size_t>(k)], b = d.m_limits[static_cast<size_t>(k + 12)];
            if (!IsPresent(a) || !IsPresent(b)) continue;
            out += LimitName(k);
            out += ';';
            if (k <= POTIR) {
                out += VoltsField(a, 0) + ";" + VoltsField(b, 0);
            } else {
                out += tresnum::FormatInt(a / 10) + ";" + tresnum::FormatInt(b / 10);
            }
            out += kCrLf;
        }
    }
    return out;
}

bool CTsdWriter::Write(const std::string& path)
{
    CDocHost& host = m_doc.Host();
    host.ActivateFirstCurvePane();
    host.HeaderBarToDoc(m_doc);
    host.StatusText("Test");
    host.ProgressBegin();

    // The filler is random per save; seeding from the clock's fine ticks
    // keeps two saves in the same second apart.
    std::minstd_rand rng(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ std::time(nullptr)));
    const std::string date = Today();
    std::array<std::string, 20> qm = m_doc.m_qm;
    qm[7] = date;
    qm[8] = "TS 3.018";
    // A line that reads back as other entries - or cuts the file short at
    // a NUL - would lose the survey on the next open; the old file stays.
    const std::optional<std::string> qmLine = tresdoc::EncodeQmLine(qm, rng);
    if (!qmLine) {
        host.StatusText("");
        host.ProgressEnd();
        host.ShowMessage(tresdoc::QmNotWritableText(path));
        return false;
    }
    const std::string text = BuildText(date, *qmLine);

    const int err = ReplaceFile(path, text);
    host.StatusText("");
    host.ProgressEnd();
    if (err != 0) {
        host.ShowMessage(tresdoc::WriteErrorText(path, err));
        return false;
    }
    m_doc.SetPathName(path);
    m_doc.SetModifiedFlag(false);
    return true;
}

bool CTreDoc::OnSaveDocument(const std::string& path) { return CTsdWriter(*this).Write(path); }
