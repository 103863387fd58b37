// SPDX-License-Identifier: GPL-3.0-or-later
#include "transferdlg.h"

#include "artwork.h"
#include "linkresult.h"
#include "portsearchdlg.h"
#include "uiseam.h"

#include "vlnkw32.h"

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

const char kHandheldDir[] = "\\TRE\\DATEN";
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

CTransferDlg::CTransferDlg(QWidget* parent, const QRect& mainRect, const QString& dataFolder, const QString& port)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_mainRect(mainRect)
    , m_strDataFolder(dataFolder)
    , m_strPort(port)
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
    auto* handheldLabel = new QLabel(QStringLiteral("Trefeld  C:\\Tre\\Daten\\*.tsd"), this);
    handheldLabel->setGeometry(Du(40, 30, 124, 9));
    m_pFreeSpace = new QLabel(QStringLiteral("Logato : 232 KByte frei"), this);
    m_pFreeSpace->setGeometry(Du(10, 166, 109, 11));
    auto* pcLabel = new QLabel(QStringLiteral("PC-Dateien    ..\\Logato\\*.tsd"), this);
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

int CTransferDlg::Wait(int result, int* number, char* text, const std::function<void(int)>& onNumber)
{
    while (result == VLNK_WAITING && !m_bClosed) {
        result = VLNKGetResult(m_nChannel, number, text);
        if (onNumber && number) onNumber(*number);
        if (result == VLNK_WAITING) PumpEvents();
    }
    return result;
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
    if (m_nChannel == 0) return;
    // A run's command ends within a second of its cancel.
    if (m_nBusy > 0 && VLNKCancel(m_nChannel) == 0)
        while (VLNKGetResult(m_nChannel, nullptr, nullptr) == VLNK_WAITING)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    VLNKCloseChannel(m_nChannel);
}

void CTransferDlg::reject()
{
    // "Abbrechen" while a run goes on ends the run and closes the dialog.
    CloseChannel();
    m_nChannel = 0;
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
    char version[VLNK_TEXT_SIZE] = {};
    VLNKGetVersion(version);
    m_strVersion = QString::fromLatin1(version);

    m_nChannel = 0;
    if (VLNKGetFreeChannel(&m_nChannel) != 0) {
        ReportError(QStringLiteral("NoPort"));
        return false;
    }

    m_pSearch = new CPortSearchDlg(this);
    m_pSearch->move(m_mainRect.left() + m_mainRect.width() / 2 - 75, m_mainRect.top() + m_mainRect.height() / 2 - 15);
    m_pSearch->SetProgress(0);
    m_pSearch->StepProgress();
    m_pSearch->show();

    bool noPort = true;
    int result = -1;
    long polls = 0;
    QString first;
    for (int attempt = 1; attempt <= 2; ++attempt) {
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

        const QByteArray name = port.toLatin1();
        if (VLNKOpenChannel(m_nChannel, name.constData()) != 0) continue;
        noPort = false;
        int number = 0;
        char text[VLNK_TEXT_SIZE] = {};
        result = Wait(VLNKCheckConnect(m_nChannel, 0), &number, text, [&](int) {
            if (++polls > 30000) {
                m_pSearch->StepProgress();
                polls = 0;
            }
        });
        if (result == 0) {
            m_strPort = port;
            break;
        }
        VLNKCloseChannel(m_nChannel);
    }
    delete m_pSearch;
    m_pSearch = nullptr;
    activateWindow();

    if (noPort) {
        ReportError(QStringLiteral("NoPort"));
        return false;
    }
    if (result != 0) {
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

std::optional<CTransferDlg::SEntry> CTransferDlg::ParseDirectoryLine(const QByteArray& line)
{
    const int dot = line.indexOf('.');
    // The name field is twelve characters wide; a dot beyond it is not a
    // name's (the entry has no extension).
    if (dot <= 0 || dot >= 12) return std::nullopt;
    const QByteArray name = line.left(dot);
    const QByteArray ext = line.mid(dot + 1, 3);
    const QString full = QString::fromLatin1(name + '.' + ext).trimmed();
    // A name must never lead out of the data folder.
    if (full.contains(QLatin1Char('/')) || full.contains(QLatin1Char('\\')) || full.contains(QLatin1String(".."))
        || full.startsWith(QLatin1Char('.')))
        return std::nullopt;
    SEntry e;
    e.name = full;
    QByteArray size = line.mid(16, 6);
    while (size.startsWith(' ')) size.remove(0, 1);
    e.size = QString::fromLatin1(size);
    e.date = QString::fromLatin1(line.mid(31, 8));
    return e;
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
    char pattern[] = "*.TSD";
    int number = 0;
    char text[VLNK_TEXT_SIZE] = {};
    int result = VLNKGetDirectory(m_nChannel, pattern);
    m_pHandheld->clear();
    while ((result == 0 || result == VLNK_WAITING) && !m_bClosed) {
        text[0] = 0;
        result = VLNKGetResult(m_nChannel, &number, text);
        if (result == VLNK_WAITING) {
            PumpEvents();
            continue;
        }
        if (result != 0) break;
        if (auto entry = ParseDirectoryLine(QByteArray(text, static_cast<int>(qstrnlen(text, sizeof text)))))
            AddRow(m_pHandheld, entry->name, entry->size, entry->date);
    }
    ShowFreeSpace();
}

void CTransferDlg::ShowFreeSpace()
{
    char text[VLNK_TEXT_SIZE] = {};
    const int started = VLNKGetFreeSpace(m_nChannel, 3);
    if (started != VLNK_WAITING) return; // nothing reported: the text stays
    Wait(started, nullptr, text);
    m_pFreeSpace->setText(FreeSpaceText(QByteArray(text, static_cast<int>(qstrnlen(text, sizeof text)))));
}

void CTransferDlg::FillPcList()
{
    QDir dir(m_strDataFolder);
    m_pPc->clear();
    // Files from the handheld keep their upper-case names: match both cases.
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.tsd")}, QDir::Files, QDir::Unsorted);
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
            QMessageBox::Information);
}

// ---- receive and delete -------------------------------------------------------------

bool CTransferDlg::CheckConnection()
{
    if (Wait(VLNKCheckConnect(m_nChannel, 0), nullptr, nullptr) == 0) return true;
    if (!m_bClosed) CUiSeam::Current().Message(this, QStringLiteral("Keine Logato-Verbindung !"), QMessageBox::NoIcon);
    return false;
}

void CTransferDlg::SetDirectory()
{
    char dir[sizeof kHandheldDir];
    std::copy(std::begin(kHandheldDir), std::end(kHandheldDir), dir);
    Wait(VLNKSetDirectory(m_nChannel, dir), nullptr, nullptr);
}

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
        if (PcFileExists(name)) {
            const auto answer = CUiSeam::Current().Question(
                this,
                QStringLiteral("Eine Messdatei ") + name
                    + QStringLiteral(" existiert\nbereits im Logato-Verzeichnis des PC. \n\nDatei überschreiben ?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                completed = false;
                break;
            }
        }
        SetProgressText(QStringLiteral("  0%  ") + name);
        QByteArray file = name.toLatin1();
        int number = 0;
        char text[VLNK_TEXT_SIZE] = {};
        // Checked: this receive reads twice; else vlnkw.ini decides.
        VLNKSetVerifyReceive(m_nChannel, m_pVerify->isChecked() ? 1 : -1);
        const int result = Wait(VLNKReceiveFile(m_nChannel, file.data()), &number, text, [&](int n) {
            if (n == remembered) return;
            remembered = n;
            m_pProgress->setValue(n);
            SetProgressText(QString::number(n) + QStringLiteral("%  ") + name);
        });
        if (result != 0 && !m_bClosed) m_failures << name + QStringLiteral(": ") + LinkResultText(result);
    }
    EndRun(completed, false, QStringLiteral("Diese Dateien konnten nicht empfangen werden:"));
}

void CTransferDlg::OnLoeschen()
{
    if (!BeginRun()) return;
    bool completed = true;
    for (const QString& name : SelectedNames()) {
        if (m_bClosed) return;
        if (!PcFileExists(name)) {
            const auto answer = CUiSeam::Current().Question(
                this,
                QStringLiteral("Die Messdatei ") + name
                    + QStringLiteral("\nist noch nicht gesichert ! \n\nMessdatei trotzdem löschen ?"),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                completed = false;
                break;
            }
        }
        SetProgressText(QStringLiteral("  0%  ") + name);
        int number = 0;
        char text[VLNK_TEXT_SIZE] = {};
        QByteArray file = name.toLatin1();
        const int result = Wait(VLNKDeleteFile(m_nChannel, file.data()), &number, text);
        if (result != 0 && !m_bClosed) m_failures << name + QStringLiteral(": ") + LinkResultText(result);
        // The handheld keeps a backup beside each survey; it goes too, and a
        // missing one is no error.
        QByteArray backup = name.section(QLatin1Char('.'), 0, 0).toLatin1() + ".BAK";
        Wait(VLNKDeleteFile(m_nChannel, backup.data()), &number, text);
    }
    EndRun(completed, true, QStringLiteral("Diese Dateien konnten nicht gelöscht werden:"));
}
