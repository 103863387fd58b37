// SPDX-License-Identifier: GPL-3.0-or-later
#include "uiseam.h"

#include "import/readerregistry.h"
#include "listquestion.h"
#include "reportdlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QUrl>

namespace {
CUiSeam g_realSeam;
CUiSeam* g_pSeam = &g_realSeam;
} // namespace

CUiSeam& CUiSeam::Current() { return *g_pSeam; }

CUiSeam* CUiSeam::Install(CUiSeam* seam)
{
    CUiSeam* old = g_pSeam;
    g_pSeam = seam ? seam : &g_realSeam;
    return old;
}

QString CUiSeam::FileFilter()
{
    QString filter;
    for (const tresimport::CFileFilter& f : tresimport::CReaderRegistry::Program().Filters())
        filter += QString::fromStdString(tresimport::FilterText(f)) + QStringLiteral(";;");
    return filter + QStringLiteral("Alle Dateien (*)");
}

QString CUiSeam::SurveySuffix()
{
    // "*.tsd" of the first reader, the one of the format the program writes.
    const auto filters = tresimport::CReaderRegistry::Program().Filters();
    const std::string& pattern = filters.front().patterns.front();
    return QString::fromStdString(pattern.substr(pattern.find('.') + 1));
}
QString CUiSeam::PdfFilter() { return QStringLiteral("PDF-Dateien (*.pdf)"); }
QString CUiSeam::PipelineFilter() { return QStringLiteral("Leitungsdaten (*.geojson *.json)"); }

QString CUiSeam::OpenFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                              const QString& suffix)
{
    QFileDialog dlg(parent, title, initial, filter);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::ReadOnly, false);
    dlg.setDefaultSuffix(suffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().constFirst();
}

QString CUiSeam::OpenFileNameWithOption(QWidget* parent, const QString& title, const QString& initial,
                                        const QString& option, bool& checked)
{
    QFileDialog dlg(parent, title, initial, FileFilter());
    // The platform's own dialog has no room for a check box of ours.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setDefaultSuffix(SurveySuffix());
    auto* box = new QCheckBox(option, &dlg);
    box->setChecked(checked);
    if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout())) grid->addWidget(box, grid->rowCount(), 0, 1, -1);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    checked = box->isChecked();
    return dlg.selectedFiles().constFirst();
}

QString CUiSeam::SaveFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                              const QString& suffix)
{
    QFileDialog dlg(parent, title, QString(), filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(suffix);
    if (!initial.isEmpty()) dlg.selectFile(initial);
    // Overwriting an existing file is confirmed by the dialog itself.
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().constFirst();
}

bool CUiSeam::ReportRequest(QWidget* parent, SReportRequest& request)
{
    CReportDlg dlg(parent, request);
    if (dlg.exec() != QDialog::Accepted) return false;
    request = dlg.Request();
    return true;
}

QMessageBox::StandardButton CUiSeam::Question(QWidget* parent, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    if (QAbstractButton* b = box.button(QMessageBox::Yes)) b->setText(QStringLiteral("&Ja"));
    if (QAbstractButton* b = box.button(QMessageBox::No)) b->setText(QStringLiteral("&Nein"));
    if (QAbstractButton* b = box.button(QMessageBox::Cancel)) b->setText(QStringLiteral("Abbrechen"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton CUiSeam::ListQuestion(QWidget* parent, const SListQuestion& question,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    CListQuestionDlg dlg(parent, question, buttons, defaultButton);
    dlg.exec();
    return dlg.Answer();
}

void CUiSeam::Message(QWidget* parent, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool CUiSeam::OpenFile(const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); }
