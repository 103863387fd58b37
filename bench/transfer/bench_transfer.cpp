// SPDX-License-Identifier: GPL-3.0-or-later
// Receives one file through the transfer dialog from the simulator paced
// at a slow baud rate and reports the program's CPU use while it waited and
// the longest gap between two turns of its event handling (the time within
// which a repaint is served). Optionally saves a picture of the dialog at
// half the transfer.
#include "transferdlg.h"
#include "uiseam.h"
#include <QApplication>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("VLNK_DIR").isEmpty()) {
        std::fprintf(stderr, "bench-transfer: set VLNK_DIR to an empty folder\n");
        return 1;
    }
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() && qgetenv("DISPLAY").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString baud = QStringLiteral("9600"), shot;
    int kb = 8;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--baud")) baud = args[++i];
        else if (args[i] == QLatin1String("--kb")) kb = args[++i].toInt();
        else if (args[i] == QLatin1String("--shot")) shot = args[++i];
    }

    QTemporaryDir handheld, pc;
    QDir().mkpath(handheld.path() + QStringLiteral("/TRE/DATEN"));
    {
        QFile f(handheld.path() + QStringLiteral("/TRE/DATEN/LANG.TSD"));
        f.open(QIODevice::WriteOnly);
        QByteArray text = "[Kopfdaten]\r\n[Messdaten]\r\n";
        for (int m = 0; text.size() < kb * 1024; ++m) text += QByteArray::number(m) + ";-1.10;-0.90;12;3;;;\r\n";
        f.write(text);
        QFile small(handheld.path() + QStringLiteral("/TRE/DATEN/KURZ.TSD"));
        small.open(QIODevice::WriteOnly);
        small.write("[Kopfdaten]\r\n[Messdaten]\r\n0;-1.10;-0.90;12;3;;;\r\n");
    }
    // The remembered rate makes the first probe hit at once.
    QFile ini(QString::fromLocal8Bit(qgetenv("VLNK_DIR")) + QStringLiteral("/vlnkw.ini"));
    QProcess sim;
    sim.setProgram(QStringLiteral(HANDHELD_SIM));
    sim.setArguments({QStringLiteral("--root"), handheld.path(), QStringLiteral("--paced"), QStringLiteral("--baud"),
                      baud, QStringLiteral("--ini-port"), QStringLiteral("COM1")});
    sim.start();
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) return 2;
    if (ini.open(QIODevice::Append)) {
        ini.write(QByteArray("\r\n[BaudRates]\r\nCOM1Baud=") + baud.toLatin1() + "\r\n");
        ini.close();
    }

    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), pc.path(), QString());
    if (!dlg.OnInitDialog()) return 3;
    dlg.show();
    for (int i = 0; i < dlg.HandheldList()->topLevelItemCount(); ++i)
        dlg.HandheldList()->topLevelItem(i)->setSelected(dlg.HandheldList()->topLevelItem(i)->text(0)
                                                         == QLatin1String("LANG.TSD"));

    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    bool shotTaken = shot.isEmpty();
    QObject::connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (sinceLast.isValid()) longestGap = std::max(longestGap, sinceLast.nsecsElapsed());
        sinceLast.restart();
        if (!shotTaken && dlg.ProgressText()->text().section(QLatin1Char('%'), 0, 0).trimmed().toInt() >= 50) {
            dlg.grab().save(shot);
            shotTaken = true;
        }
    });
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    dlg.OnEmpfangen();
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    const bool ok = QFile::exists(pc.path() + QStringLiteral("/LANG.TSD"));
    std::printf("received %d KB at %s baud: %s in %.2f s; CPU %.2f s = %.1f %% of one core; "
                "longest gap between event turns %.1f ms\n",
                kb, qPrintable(baud), ok ? "ok" : "FAILED", seconds, cpu, 100.0 * cpu / seconds, longestGap / 1e6);
    dlg.reject();
    sim.terminate();
    sim.waitForFinished(3000);
    return ok ? 0 : 4;
}
