// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivejob.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>

SArchiveJobResult RunArchiveJob(QWidget* parent, const QString& label,
                                const std::function<void(const tresarchive::ProgressFn& progress)>& work,
                                int showAfterMs)
{
    QProgressDialog dlg(label, QStringLiteral("Abbrechen"), 0, 0, parent);
    dlg.setObjectName(QStringLiteral("archiveProgress"));
    dlg.setWindowTitle(QStringLiteral("Archiv"));
    // Nothing else of the program may ask the archive meanwhile: its
    // connection serves one thread at a time.
    dlg.setWindowModality(Qt::ApplicationModal);
    // The dialog's own timer shows it after this.
    dlg.setMinimumDuration(std::max(showAfterMs, 0));
    dlg.setAutoClose(false);
    dlg.setAutoReset(false);
    std::atomic<bool> cancel{false};
    std::atomic<size_t> done{0}, total{0};
    QObject::connect(&dlg, &QProgressDialog::canceled, &dlg, [&] {
        cancel = true;
        dlg.setLabelText(QString::fromUtf8("Wird abgebrochen …"));
    });
    if (showAfterMs <= 0) dlg.show();

    SArchiveJobResult result;
    std::string error;
    const tresarchive::ProgressFn progress = [&](size_t d, size_t t) {
        done = d;
        total = t;
        return !cancel.load();
    };
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work(progress);
            result.ok = true;
        } catch (const tresarchive::CArchiveError& e) {
            if (e.Fault() == tresarchive::EArchiveFault::Cancelled) result.cancelled = true;
            else error = e.what();
        } catch (const std::exception& e) {
            error = e.what();
        }
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &dlg, [&] {
        if (total == 0 || cancel) return;
        dlg.setMaximum(static_cast<int>(total.load()));
        dlg.setValue(static_cast<int>(done.load()));
    });
    tick.start(50);
    worker->start();
    loop.exec();
    worker->wait();
    if (!error.empty()) result.error = QString::fromStdString(error);
    return result;
}
