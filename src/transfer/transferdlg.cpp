// SPDX-License-Identifier: GPL-3.0-or-later
#include "transferdlg.h"

#include "handheld/vlnklink.h"
#include "portsearchdlg.h"
#include "ui/artwork.h"
#include "ui/uiseam.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>

#include <chrono>
#include <thread>

namespace {

// The program's settings key of the "Empfang prüfen" box.
const char kVerifyKey[] = "Transfer/VerifyReceive";

// Dialog units of the 8-point dialog font to pixels.
QRect Du(int x, int y, int w, int h) { return QRect(x * 3 / 2, y * 13 / 8, w * 3 / 2, h * 13 / 8); }

QTreeWidget* MakeList(QWidget* parent, bool multi)
{
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSortingEnabled(false); // entries stay in the order they were found
    list->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Größe"), QStringLiteral("Datum")});
    list->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    list->setColumnWidth(0, 95);
    list->setColumnWidth(1, 52);
    list->setColumnWidth(2, 64);
    return list;
}

void AddRow(QTreeWidget* list, const QString& name, const QString& size, const QString& date)
{
    auto* item = new QTreeWidgetItem(list, {name, size, date});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

} // namespace

CTransferDlg::CTransferDlg(QWidget* parent, const QRect& mainRect, const QString& dataFolder, const QString& port,
                           std::unique_ptr<treshandheld::CHandheld> handheld)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_mainRect(mainRect)
    , m_strDataFolder(dataFolder)
    , m_strPort(port)
    , m_pLink(handheld ? std::move(handheld) : treshandheld::MakeVlnkLink())
{
    setWindowTitle(QStringLiteral("Logato-Transfer"));
    setFixedSize(Du(0, 0, 361, 178).size());

    m_pDelete = new QPushButton(QStringLiteral("&Löschen"), this);
    m_pDelete->setGeometry(Du(160, 114, 45, 15));
    m_pReceive = new QPushButton(QStringLiteral("&Empfangen"), this);
    m_pReceive->setGeometry(Du(159, 76, 45, 15));
    m_pCancel = new QPushButton(QStringLiteral("&Abbrechen"), this);
    m_pCancel->setGeometry(Du(301, 7, 50, 15));
    m_pCancel->setDefault(true);
    // The line's 8-bit checksum misses some errors; reading each file twice
    // and comparing catches them, at twice the time.
    m_pVerify = new QCheckBox(QStringLiteral("Empfang &prüfen (zweimal lesen)"), this);
    m_pVerify->setGeometry(Du(112, 8, 160, 12));
    m_pVerify->setChecked(QSettings().value(QLatin1String(kVerifyKey), false).toBool());
    connect(m_pVerify, &QCheckBox::toggled, this, [](bool on) { QSettings().setValue(QLatin1String(kVerifyKey), on); });
    auto* handheldLabel
        = new QLabel(QStringLiteral("Trefeld  ") + QString::fromStdString(m_pLink->SurveyPlace()), this);
    handheldLabel->setGeometry(Du(40, 30, 124, 9));
    m_pFreeSpace = new QLabel(QStringLiteral("Logato : 232 KByte frei"), this);
    m_pFreeSpace->setGeometry(Du(10, 166, 109, 11));
    auto* pcLabel = new QLabel(QStringLiteral("PC-Dateien    ..\\Logato\\") + PcPattern(), this);
    pcLabel->setGeometry(Du(239, 30, 111, 9));
    auto* handheldIcon = new QLabel(this);
    handheldIcon->setPixmap(artwork::ToolIcon(artwork::EToolIcon::Transfer).pixmap(32, 27));
    handheldIcon->setGeometry(Du(10, 20, 22, 18));
    auto* pcIcon = new QLabel(this);
    pcIcon->setPixmap(artwork::ProgramIcon().pixmap(27, 27));
    pcIcon->setGeometry(Du(211, 19, 22, 18));
    m_pProgressText = new QLabel(this);
    m_pProgressText->setGeometry(Du(274, 166, 79, 8));
    m_pProgress = new QProgressBar(this);
    m_pProgress->setGeometry(Du(211, 167, 60, 7));
    m_pProgress->setTextVisible(false);
    m_pHandheld = MakeList(this, true);
    m_pHandheld->setGeometry(Du(9, 41, 143, 121));
    m_pPc = MakeList(this, false);
    m_pPc->setGeometry(Du(210, 41, 143, 121));

    // The dialog font here is wider than the one the layout was drawn
    // for: let a button grow around its centre rather than cut its text.
    for (QPushButton* b : {m_pDelete, m_pReceive, m_pCancel}) {
        QRect g = b->geometry();
        const int w = std::max(g.width(), b->sizeHint().width());
        g.setLeft(g.center().x() - w / 2);
        g.setWidth(w);
        b->setGeometry(g);
    }

    connect(m_pReceive, &QPushButton::clicked, this, &CTransferDlg::OnEmpfangen);
    connect(m_pDelete, &QPushButton::clicked, this, &CTransferDlg::OnLoeschen);
    connect(m_pCancel, &QPushButton::clicked, this, &CTransferDlg::reject);
    // The row buttons act on the handheld list: only it enables them.
    m_pHandheld->installEventFilter(this);
    m_pPc->installEventFilter(this);
}

CTransferDlg::~CTransferDlg() { CloseChannel(); }

bool CTransferDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && m_nBusy == 0) {
        if (watched == m_pPc) {
            m_pDelete->setEnabled(false);
            m_pReceive->setEnabled(false);
        } else if (watched == m_pHandheld) {
            m_pDelete->setEnabled(true);
            m_pReceive->setEnabled(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- polling ------------------------------------------------------------------

void CTransferDlg::PumpEvents()
{
    // The program's own events first, so the window paints and answers;
    // with nothing to do, give the core away for a moment instead of
    // spinning on it.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const bool busy = dispatcher && dispatcher->processEvents(QEventLoop::AllEvents);
    emit Polled();
    if (!busy) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

treshandheld::CStep CTransferDlg::Wait(treshandheld::CStep step, int* number, std::string* text,
                                       const std::function<void(int)>& onNumber)
{
    while (step.Waiting() && !m_bClosed && !(m_pSearch && m_pSearch->Cancelled())) {
        step = m_pLink->Poll(number, text);
        if (onNumber && number) onNumber(*number);
        if (step.Waiting()) PumpEvents();
    }
    return step;
}

void CTransferDlg::NoteFailure(const QString& name, const treshandheld::CStep& step)
{
    if (!step.Done() && !m_bClosed)
        m_failures << name + QStringLiteral(": ") + QString::fromStdString(m_pLink->FailureText(step.code));
}

bool CTransferDlg::Confirmed(const QString& question, QMessageBox::StandardButton defaultButton)
{
    return CUiSeam::Current().Question(this, question, QMessageBox::Yes | QMessageBox::No, defaultButton)
           == QMessageBox::Yes;
}

void CTransferDlg::SetBusy(bool busy)
{
    m_nBusy += busy ? 1 : -1;
    const bool idle = m_nBusy == 0;
    m_pReceive->setEnabled(idle);
    m_pDelete->setEnabled(idle);
}

void CTransferDlg::SetProgressText(const QString& text)
{
    m_pProgressText->setText(text);
    m_pProgressText->repaint();
}

void CTransferDlg::CloseChannel()
{
    if (m_pLink->Channel() == 0) return;
    if (m_nBusy > 0) EndCommand();
    m_pLink->ClosePort();
}

void CTransferDlg::EndCommand()
{
    // A command ends within a second of its cancel.
    if (m_pLink->Cancel())
        while (m_pLink->Poll(nullptr, nullptr).Waiting()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void CTransferDlg::reject()
{
    // "Abbrechen" while a run goes on ends the run and closes the dialog.
    CloseChannel();
    m_pLink->Release();
    m_bClosed = true;
    QDialog::reject();
}

// ---- initialisation --------------------------------------------------------------

int CTransferDlg::exec()
{
    if (!OnInitDialog()) {
        reject();
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

bool CTransferDlg::OnInitDialog()
{
    m_strVersion = QString::fromLatin1(m_pLink->Version());

    if (!m_pLink->TakeChannel()) {
        ReportError(QStringLiteral("NoPort"));
        return false;
    }

    m_pSearch = new CPortSearchDlg(this);
    m_pSearch->move(m_mainRect.left() + m_mainRect.width() / 2 - 75, m_mainRect.top() + m_mainRect.height() / 2 - 15);
    m_pSearch->SetProgress(0);
    m_pSearch->StepProgress();
    m_pSearch->show();

    bool noPort = true;
    treshandheld::CStep result{treshandheld::EState::Failed, -1};
    long polls = 0;
    QString first;
    for (int attempt = 1; attempt <= 2 && !m_pSearch->Cancelled(); ++attempt) {
        QString port;
        if (attempt == 1)
            port = first = m_strPort == QLatin1String("COM2") ? QStringLiteral("COM2") : QStringLiteral("COM1");
        else port = first == QLatin1String("COM1") ? QStringLiteral("COM2") : QStringLiteral("COM1");
        m_pSearch->SetText(
            QStringLiteral("Suche Logato an")
            + (port == QLatin1String("COM1") ? QStringLiteral(" COM 1 ...") : QStringLiteral(" COM 2 ...")));
        m_pSearch->SetProgress(0);
        m_pSearch->StepProgress();
        PumpEvents();

        if (!m_pLink->OpenPort(port.toStdString())) continue;
        noPort = false;
        int number = 0;
        std::string text;
        result = Wait(m_pLink->CheckConnect(), &number, &text, [&](int) {
            if (++polls > 30000) {
                m_pSearch->StepProgress();
                polls = 0;
            }
        });
        if (result.Done()) {
            m_strPort = port;
            break;
        }
        if (result.Waiting()) EndCommand(); // the search was cancelled
        m_pLink->ClosePort();
    }
    const bool cancelled = m_pSearch->Cancelled();
    delete m_pSearch;
    m_pSearch = nullptr;
    activateWindow();
    // The user ended the search: nothing to report.
    if (cancelled) return false;

    if (noPort) {
        ReportError(QStringLiteral("NoPort"));
        return false;
    }
    if (!result.Done()) {
        ReportError(QStringLiteral("NoLogato"));
        return false;
    }
    m_pProgress->hide();
    m_pHandheld->clear();
    m_pPc->clear();
    FillHandheldList();
    FillPcList();
    m_pHandheld->setFocus();
    return true;
}

// ---- lists ------------------------------------------------------------------------

std::optional<CTransferDlg::SEntry> CTransferDlg::ListedEntry(const treshandheld::CDirEntry& entry)
{
    const QByteArray line = QByteArray::fromStdString(entry.name);
    const int dot = line.indexOf('.');
    if (dot <= 0) return std::nullopt;
    const QByteArray name = line.left(dot);
    const QByteArray ext = line.mid(dot + 1, 3);
    const QByteArray full = (name + '.' + ext).trimmed();
    // A name must never lead out of the data folder; one that starts with
    // its dot has no name before the extension.
    if (treshandheld::IsUnsafeName(full.toStdString(), false) || full.startsWith('.')) return std::nullopt;
    SEntry e;
    e.name = QString::fromLatin1(full);
    // The list has always shown the size's last six digits.
    e.size = entry.size >= 1000000 ? QStringLiteral("%1").arg(entry.size % 1000000, 6, 10, QLatin1Char('0'))
                                   : QString::number(entry.size);
    e.date = QString::fromStdString(entry.date.substr(0, 8));
    return e;
}

std::optional<CTransferDlg::SEntry> CTransferDlg::ParseDirectoryLine(const QByteArray& line)
{
    return ListedEntry(treshandheld::EntryOfLine(std::string_view(line.constData(), static_cast<size_t>(line.size()))));
}

QString CTransferDlg::FreeSpaceText(const QByteArray& bytes)
{
    // The handheld's decimal text as a signed 32-bit number.
    bool ok = false;
    const qlonglong v = bytes.trimmed().toLongLong(&ok);
    const int32_t free = ok ? static_cast<int32_t>(static_cast<uint32_t>(v)) : 0;
    return QString::number(free / 1024) + QStringLiteral(" KB frei");
}

void CTransferDlg::FillHandheldList()
{
    SetDirectory();
    // The handheld's own folder of surveys, named as it names them.
    treshandheld::CStep step = m_pLink->ListFiles(m_pLink->SurveyPattern());
    m_pHandheld->clear();
    while (step.state != treshandheld::EState::Failed && !m_bClosed) {
        treshandheld::CDirEntry found;
        step = m_pLink->NextEntry(found);
        if (step.Waiting()) {
            PumpEvents();
            continue;
        }
        if (!step.Done()) break;
        if (auto entry = ListedEntry(found)) AddRow(m_pHandheld, entry->name, entry->size, entry->date);
    }
    ShowFreeSpace();
}

void CTransferDlg::ShowFreeSpace()
{
    std::string text;
    const treshandheld::CStep started = m_pLink->FreeSpace();
    if (!started.Waiting()) return; // nothing reported: the text stays
    Wait(started, nullptr, &text);
    m_pFreeSpace->setText(FreeSpaceText(QByteArray::fromStdString(text)));
}

void CTransferDlg::FillPcList()
{
    QDir dir(m_strDataFolder);
    m_pPc->clear();
    // Files from the handheld keep their upper-case names: match both cases.
    const QFileInfoList files = dir.entryInfoList({PcPattern()}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& f : files) {
        const QDate d = f.lastModified().toLocalTime().date();
        const QString date = QStringLiteral("%1/%2/%3")
                                 .arg(d.day(), 2, 10, QLatin1Char('0'))
                                 .arg(d.month(), 2, 10, QLatin1Char('0'))
                                 .arg(d.year() % 100, 2, 10, QLatin1Char('0'));
        AddRow(m_pPc, f.fileName(), QString::number(f.size()), date);
    }
}

bool CTransferDlg::PcFileExists(const QString& name)
{
    return QFileInfo(QDir(m_strDataFolder).filePath(name)).exists();
}

void CTransferDlg::ReportError(const QString& key)
{
    // These come before the dialog has been shown: a box over the hidden
    // dialog would sit at the screen's corner, so it goes over the window
    // the dialog was opened from.
    QWidget* owner = isVisible() || !parentWidget() ? static_cast<QWidget*>(this) : parentWidget();
    if (key == QLatin1String("NoPort"))
        CUiSeam::Current().Message(
            owner, QStringLiteral("Keine freie serielle Schnittstelle \r\nfür den VLNK-Transfer gefunden !"),
            QMessageBox::Critical);
    else if (key == QLatin1String("NoLogato"))
        CUiSeam::Current().Message(
            owner,
            QStringLiteral("Keine Verbindung zur Logato ! \r\n\r\nÜberprüfen Sie das Transfer-Kabel \n"
                           "und starten Sie VLNK auf dem\r\nLogato-Rechner neu."),
            QMessageBox::Critical);
}

// ---- receive and delete -------------------------------------------------------------

bool CTransferDlg::CheckConnection()
{
    if (Wait(m_pLink->CheckConnect(), nullptr, nullptr).Done()) return true;
    if (!m_bClosed)
        CUiSeam::Current().Message(this, QStringLiteral("Keine Logato-Verbindung !"), QMessageBox::Critical);
    return false;
}

void CTransferDlg::SetDirectory() { Wait(m_pLink->SetDirectory(m_pLink->SurveyFolder()), nullptr, nullptr); }

void CTransferDlg::ReportFailures(const QString& action)
{
    if (m_failures.isEmpty() || m_bClosed) return;
    CUiSeam::Current().Message(this, action + QStringLiteral("\n\n") + m_failures.join(QLatin1Char('\n')),
                               QMessageBox::Warning);
    m_failures.clear();
}

QStringList CTransferDlg::SelectedNames() const
{
    QStringList names;
    for (int i = 0; i < m_pHandheld->topLevelItemCount(); ++i)
        if (m_pHandheld->topLevelItem(i)->isSelected()) names << m_pHandheld->topLevelItem(i)->text(0).left(69);
    return names;
}

bool CTransferDlg::BeginRun()
{
    if (m_nBusy) return false;
    SetBusy(true);
    m_failures.clear();
    if (!CheckConnection()) {
        SetBusy(false);
        m_pCancel->setEnabled(true);
        return false;
    }
    SetDirectory();
    return true;
}

void CTransferDlg::EndRun(bool completed, bool handheldChanged, const QString& failureTitle)
{
    if (m_bClosed) return;
    SetBusy(false);
    // A run the user stopped leaves progress and lists as they are.
    if (completed) {
        m_pProgress->hide();
        SetProgressText(QString());
        m_pCancel->setEnabled(true);
        m_pCancel->setFocus();
        if (handheldChanged) FillHandheldList();
        FillPcList();
    }
    ReportFailures(failureTitle);
}

void CTransferDlg::OnEmpfangen()
{
    if (!BeginRun()) return;
    QDir::setCurrent(m_strDataFolder);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    m_pProgress->show();
    int remembered = 100;

    bool completed = true;
    for (const QString& name : SelectedNames()) {
        if (m_bClosed) return;
        if (PcFileExists(name)
            && !Confirmed(
                QStringLiteral("Eine Messdatei ") + name
                    + QStringLiteral(" existiert\nbereits im Logato-Verzeichnis des PC. \n\nDatei überschreiben ?"),
                QMessageBox::No)) {
            completed = false;
            break;
        }
        SetProgressText(QStringLiteral("  0%  ") + name);
        int number = 0;
        std::string text;
        m_pLink->SetVerifyReceive(m_pVerify->isChecked());
        const treshandheld::CStep result
            = Wait(m_pLink->Receive(name.toLatin1().toStdString()), &number, &text, [&](int n) {
                  if (n == remembered) return;
                  remembered = n;
                  m_pProgress->setValue(n);
                  SetProgressText(QString::number(n) + QStringLiteral("%  ") + name);
              });
        NoteFailure(name, result);
    }
    EndRun(completed, false, QStringLiteral("Diese Dateien konnten nicht empfangen werden:"));
}

void CTransferDlg::OnLoeschen()
{
    if (!BeginRun()) return;
    bool completed = true;
    for (const QString& name : SelectedNames()) {
        if (m_bClosed) return;
        if (!PcFileExists(name)
            && !Confirmed(QStringLiteral("Die Messdatei ") + name
                          + QStringLiteral("\nist noch nicht gesichert ! \n\nMessdatei trotzdem löschen ?"))) {
            completed = false;
            break;
        }
        SetProgressText(QStringLiteral("  0%  ") + name);
        int number = 0;
        std::string text;
        const treshandheld::CStep result = Wait(m_pLink->Delete(name.toLatin1().toStdString()), &number, &text);
        NoteFailure(name, result);
        // The handheld keeps a backup beside each survey; it goes too, and a
        // missing one is no error.
        const QByteArray backup = name.section(QLatin1Char('.'), 0, 0).toLatin1() + ".BAK";
        Wait(m_pLink->Delete(backup.toStdString()), &number, &text);
    }
    EndRun(completed, true, QStringLiteral("Diese Dateien konnten nicht gelöscht werden:"));
}

QString CTransferDlg::PcPattern() const
{
    // The folder's listing ignores case, as files from the handheld keep
    // their upper-case names.
    return QString::fromStdString(m_pLink->SurveyPattern()).toLower();
}
