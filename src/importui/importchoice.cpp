// SPDX-License-Identifier: GPL-3.0-or-later
#include "importchoice.h"

#include "doc/dochost.h"
#include "import/filebytes.h"
#include "importdlg.h"
#include "importmaps.h"
#include "ui/uiseam.h"

#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

bool IsImportName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0
           || suffix.compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
}

bool ChooseImportMap(QWidget* parent, const QString& path, tresimport::CCsvOptions& chosen)
{
    const QString name = QFileInfo(path).fileName();
    tresimport::CFileBytes bytes;
    CCollectingHost host;
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        CUiSeam::Current().Message(parent, QString::fromUtf8("Die Datei %1 lässt sich nicht öffnen.").arg(path),
                                   QMessageBox::Warning);
        return false;
    }
    const bool read = tresimport::ReadWhole(fd, path.toStdString(), host, bytes);
    ::close(fd);
    if (!read) {
        CUiSeam::Current().Message(parent, QString::fromStdString(host.messages), QMessageBox::Warning);
        return false;
    }
    // What the program would read the file with now: the dialog starts there.
    const tresimport::CCsvReader reader;
    tresimport::SRememberedMap initial;
    if (auto known = reader.ChosenMap(bytes.View())) initial = *known;
    CImportDlg dlg(parent, name, std::string(bytes.View()), initial);
    if (dlg.exec() != QDialog::Accepted) return false;
    const tresimport::SRememberedMap map = dlg.Chosen();
    RememberImportMap(map);
    chosen = tresimport::CCsvOptions{map.map, map.skipBad, {}};
    return true;
}
