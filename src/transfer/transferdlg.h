// SPDX-License-Identifier: GPL-3.0-or-later
// "Logato-Transfer": finds the handheld on COM1 or COM2, lists its survey
// files and those already on the PC, receives and deletes files on the
// handheld and shows its free space. Every operation is started on the
// handheld's one channel and polled to its end; while it runs the dialog
// keeps painting and answering, and the row buttons are disabled.
#pragma once

#include "handheld/handheldlink.h"

#include <QDialog>
#include <QMessageBox>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CPortSearchDlg;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

class CTransferDlg : public QDialog {
    Q_OBJECT
public:
    // `mainRect` is the main window on the screen (the search window is
    // centred over it), `dataFolder` the PC folder that receives the files,
    // `port` the port that answered last time ("COM1", "COM2" or empty);
    // `handheld` the link to it (none: the serial-link library's).
    CTransferDlg(QWidget* parent, const QRect& mainRect, const QString& dataFolder, const QString& port,
                 std::unique_ptr<treshandheld::CHandheld> handheld = {});
    ~CTransferDlg() override;

    // Searches the handheld first; when that fails the error is reported
    // and the dialog ends without being shown (also, silently, when the
    // search was cancelled).
    int exec() override;
    void reject() override;
    // The search and the first filling of both lists; false when the
    // search was cancelled or no handheld answered (the error is reported
    // then).
    bool OnInitDialog();

    // The port that answered (or the one given, when none did).
    QString Port() const { return m_strPort; }
    int Channel() const { return m_pLink->Channel(); }
    const QString& LibraryVersion() const { return m_strVersion; }

    virtual void FillPcList();
    // The handheld's survey pattern for the PC's folder ("*.tsd").
    QString PcPattern() const;
    virtual void FillHandheldList();
    virtual void ShowFreeSpace();
    virtual void ReportError(const QString& key);
    virtual bool PcFileExists(const QString& name);

    void OnEmpfangen();
    void OnLoeschen();

    // One entry of the handheld's listing as the list shows it; nothing for
    // entries without a name or extension, and for names that would leave
    // the data folder. ParseDirectoryLine: the same from a listing's line.
    struct SEntry {
        QString name, size, date;
    };
    static std::optional<SEntry> ListedEntry(const treshandheld::CDirEntry& entry);
    static std::optional<SEntry> ParseDirectoryLine(const QByteArray& line);
    // "232 KB frei" from the free bytes as the handheld reports them.
    static QString FreeSpaceText(const QByteArray& bytes);

    QTreeWidget* HandheldList() const { return m_pHandheld; }
    QTreeWidget* PcList() const { return m_pPc; }
    QPushButton* ReceiveButton() const { return m_pReceive; }
    QPushButton* DeleteButton() const { return m_pDelete; }
    QPushButton* CancelButton() const { return m_pCancel; }
    QCheckBox* VerifyBox() const { return m_pVerify; }
    QLabel* FreeSpaceLabel() const { return m_pFreeSpace; }
    QLabel* ProgressText() const { return m_pProgressText; }
    QProgressBar* ProgressBar() const { return m_pProgress; }
    bool IsBusy() const { return m_nBusy > 0; }
    // The search window while it exists (for looking at it).
    CPortSearchDlg* SearchWindow() const { return m_pSearch; }

signals:
    // Each poll of a running operation, after the dialog's own events.
    void Polled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Ends the running library command the way the library ends it (the
    // handheld is told), then closes the channel.
    void CloseChannel();
    // Cancels the library command that runs and waits for its end.
    void EndCommand();
    // Polls until the operation that answered `result` has ended; `onNumber`
    // sees the number after each poll. The library writes the number only on
    // the poll where a step ends, so between those the caller's last value
    // stands (a receive's percentage stays up instead of falling back to 0).
    // Returns the final step.
    treshandheld::CStep Wait(treshandheld::CStep step, int* number, std::string* text,
                             const std::function<void(int)>& onNumber = {});
    void PumpEvents();
    // Lists file `name` with why its run failed ("Datei nicht gefunden"),
    // unless `step` went through or the dialog was closed meanwhile.
    void NoteFailure(const QString& name, const treshandheld::CStep& step);
    // The user answered "Yes" to `question`.
    bool Confirmed(const QString& question, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    void SetBusy(bool busy);
    void SetProgressText(const QString& text);
    bool CheckConnection();
    void SetDirectory();
    void ReportFailures(const QString& action);
    // The selected handheld names, in list order.
    QStringList SelectedNames() const;
    // Start of a receive or delete run: busy, connection checked, handheld
    // directory set. False (with the message shown) when the handheld is gone.
    bool BeginRun();
    // End of a run: idle again; a completed run refreshes the lists; the
    // files that failed are reported in one box.
    void EndRun(bool completed, bool handheldChanged, const QString& failureTitle);

    QRect m_mainRect;
    QString m_strDataFolder;
    QString m_strPort;
    QString m_strVersion;
    std::unique_ptr<treshandheld::CHandheld> m_pLink;
    int m_nBusy = 0;
    bool m_bClosed = false;
    QStringList m_failures;

    QTreeWidget* m_pHandheld;
    QTreeWidget* m_pPc;
    QPushButton* m_pReceive;
    QPushButton* m_pDelete;
    QPushButton* m_pCancel;
    QCheckBox* m_pVerify;
    QLabel* m_pFreeSpace;
    QLabel* m_pProgressText;
    QProgressBar* m_pProgress;
    CPortSearchDlg* m_pSearch = nullptr;
};
