// SPDX-License-Identifier: GPL-3.0-or-later
#include "tsdfile.h"

#include "codepage.h"
#include "fileerror.h"
#include "numtext.h"
#include "qmline.h"
#include "replacefile.h"
#include "tredoc.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

void CProgressSteps::Report(int percent)
{
    if (percent <= m_threshold) return;
    m_host.ProgressStep(percent);
    m_host.StatusText(tresnum::FormatInt(percent) + " %");
    m_threshold += 5;
}

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

// Row fields go straight into the file text: a survey has hundreds of
// thousands of them.
void AppendGradientField(std::string& out, int32_t tenths)
{
    if (IsPresent(tenths)) tresnum::AppendInt(out, tenths / 10);
}

// Single precision holds every whole millivolt below 2^24 mV; beyond that
// (no real potential, but a file may say so) it would write a different
// value on every save, so those go out in double precision.
void AppendVoltsField(std::string& out, int32_t mv, int width)
{
    constexpr int32_t kFloatExact = 1 << 24;
    if (mv > -kFloatExact && mv < kFloatExact) tresnum::AppendVolts(out, mv, width);
    else out += tresnum::FormatFixed(mv * 0.001, 2, width);
}

std::string VoltsField(int32_t mv, int width)
{
    std::string s;
    AppendVoltsField(s, mv, width);
    return s;
}

void AppendPotentialField(std::string& out, int32_t mv)
{
    if (IsPresent(mv)) AppendVoltsField(out, mv, 5);
}

void AppendComment(std::string& out, std::string_view comment)
{
    if (comment.empty()) return;
    const bool oneLine = std::none_of(comment.begin(), comment.end(), [](char c) { return c == '\r' || c == '\n'; });
    if (oneLine) out += tresdoc::Utf8ToCp850(comment);
    else out += tresdoc::Utf8ToCp850(OneLine(std::string(comment)));
}

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%d.%m.%y", &tm);
    return buf;
}

} // namespace

namespace {

const char kProgramStamp[] = "TS 3.018";

} // namespace

std::string CTsdWriter::BuildText(const std::string& saveDate, const std::string& encodedQm)
{
    m_doc.m_qm[7] = saveDate;
    m_doc.m_qm[8] = kProgramStamp;
    std::string out;
    out.reserve(static_cast<size_t>(m_doc.GetRowCount()) * 40 + 2048);
    BuildInto(encodedQm, out, [](std::string&) {});
    return out;
}

void CTsdWriter::BuildInto(const std::string& encodedQm, std::string& out,
                           const std::function<void(std::string&)>& pass)
{
    CTreDoc& d = m_doc;

    std::string head = "[Version]\r\nV1.1\r\n\r\n[Kopfdaten]\r\n";
    for (int i = 1; i <= 7; ++i) head += HeaderLine(d.m_header[static_cast<size_t>(i)]) + kCrLf;
    head += "\r\n\r\n";

    out += tresdoc::Utf8ToCp850(head);
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
        tresnum::AppendInt(out, row.m_nMeter);
        out += ';';
        AppendPotentialField(out, row.m_nPotOn);
        out += ';';
        AppendPotentialField(out, row.m_nPotOff);
        out += ';';
        AppendGradientField(out, row.m_nGradOnL);
        out += ';';
        AppendGradientField(out, row.m_nGradOffL);
        out += ';';
        AppendGradientField(out, row.m_nGradOnR);
        out += ';';
        AppendGradientField(out, row.m_nGradOffR);
        out += ';';
        AppendComment(out, row.m_strComment.View());
        out += kCrLf;
        pass(out);
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
}

bool CTsdWriter::Write(const std::string& path)
{
    const int err = WriteTo([&](const std::function<int(int fd)>& fill) {
        return tresdoc::ReplaceFile(path, [&fill](int fd, const std::string&) { return fill(fd); });
    });
    if (err == kQmNotWritable) {
        m_doc.Host().ShowMessage(tresdoc::QmNotWritableText(path));
        return false;
    }
    if (err != 0) {
        m_doc.Host().ShowMessage(tresdoc::WriteErrorText(path, err));
        return false;
    }
    m_doc.SetPathName(path);
    m_doc.SetModifiedFlag(false);
    return true;
}

bool CTsdWriter::WriteStandardOutput()
{
    const int err = WriteTo([](const std::function<int(int fd)>& fill) { return fill(STDOUT_FILENO); });
    if (err == kQmNotWritable) {
        m_doc.Host().ShowMessage(tresdoc::QmNotWritableText(tresdoc::kStandardOutputName));
        return false;
    }
    if (err != 0) {
        m_doc.Host().ShowMessage(tresdoc::StandardOutputErrorText(err));
        return false;
    }
    return true;
}

int CTsdWriter::WriteTo(const std::function<int(const std::function<int(int fd)>&)>& sink)
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
    std::array<std::string, 20> qm = m_doc.m_qm;
    qm[7] = Today();
    qm[8] = kProgramStamp;
    // A line that reads back as other entries - or cuts the file short at
    // a NUL - would lose the survey on the next open. Entries that no filler
    // can keep readable (the stamp moves the later ones to other shifts)
    // still go out as the file had them while they are unchanged: the line
    // as it was read, without the stamp. Changed, they cannot be written;
    // the old file stays.
    std::optional<std::string> qmLine = tresdoc::EncodeQmLine(qm, rng);
    const std::string& lineAsRead = m_doc.m_header[10];
    if (qmLine) {
        m_doc.m_qm[7] = qm[7];
        m_doc.m_qm[8] = qm[8];
    } else if (!lineAsRead.empty() && tresdoc::QmLineAsReadReadsBack(lineAsRead, m_doc.m_qm)) {
        qmLine = lineAsRead;
    } else {
        host.StatusText("");
        host.ProgressEnd();
        return kQmNotWritable;
    }
    // The text goes out in pieces as it is built: a large survey then needs
    // no second copy of itself in memory.
    constexpr size_t kPiece = 64 * 1024;
    const int err = sink([&](int fd) {
        int writeErr = 0;
        std::string piece;
        piece.reserve(kPiece + 4096);
        BuildInto(*qmLine, piece, [&](std::string& text) {
            if (text.size() < kPiece) return;
            if (writeErr == 0) writeErr = tresdoc::WriteAll(fd, text);
            text.clear();
        });
        if (writeErr == 0) writeErr = tresdoc::WriteAll(fd, piece);
        return writeErr;
    });
    host.StatusText("");
    host.ProgressEnd();
    // The file holds this line now: it is the one to keep if the entries
    // cannot be encoded on a later day.
    if (err == 0) m_doc.m_header[10] = *qmLine;
    return err;
}

bool CTreDoc::OnSaveDocument(const std::string& path) { return CTsdWriter(*this).Write(path); }
