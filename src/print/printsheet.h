// SPDX-License-Identifier: GPL-3.0-or-later
// The tabbed option sheet both print commands show, with its button row
// "Übernehmen", "Drucken", "Vorschau", "Abbrechen". Pages are placed in
// dialog units of the sheet font, as their dialog resources give them.
#pragma once

#include <QDialog>
#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class CTrePrintPage : public QWidget {
    Q_OBJECT
public:
    // `tab` is the page's tab text, w x h its size in dialog units.
    CTrePrintPage(const QString& tab, int w, int h, QWidget* parent = nullptr);

    QString TabText() const { return m_strTab; }
    QSize DluSize() const { return m_dluSize; }
    // Pixel size of the page in the sheet font.
    QSize PixelSize() const;

    // The page's data exchange: members to controls, and controls to
    // members. The latter returns false with a message and the control to
    // focus when a value is refused.
    virtual void DataToControls() = 0;
    virtual bool ControlsToData(QString& message, QWidget*& focus) = 0;
    // Called once before the page is first shown.
    virtual void OnInitDialog() { }

    // A control by its id.
    QWidget* Control(int id) const;
    // The check box or radio button `id`; a missing one is left alone and
    // reads as not checked.
    void SetChecked(int id, bool on) const;
    bool IsChecked(int id) const;

    // Dialog units to pixels in the sheet font.
    static QRect Dlu(int x, int y, int w, int h);
    static QFont SheetFont();

protected:
    QCheckBox* AddCheck(int id, int x, int y, int w, int h, const QString& text, bool disabled = false);
    QRadioButton* AddRadio(int id, int x, int y, int w, int h, const QString& text);
    QGroupBox* AddGroup(int x, int y, int w, int h, const QString& text);
    QLabel* AddLabel(int x, int y, int w, int h, const QString& text);
    QComboBox* AddCombo(int id, int x, int y, int w, bool editable, const QStringList& items);
    QLineEdit* AddEdit(int id, int x, int y, int w, int h);

private:
    QString m_strTab;
    QSize m_dluSize;
};

// A check box's id and the page's flag it shows: one table serves a page's
// data exchange both ways.
template <class Page> struct SCheckFlag {
    int id;
    bool Page::*flag;
};

template <class Page, size_t N> void ChecksToControls(const Page& page, const SCheckFlag<Page> (&checks)[N])
{
    for (const SCheckFlag<Page>& c : checks) page.SetChecked(c.id, page.*c.flag);
}

// True: a check box has no value to refuse.
template <class Page, size_t N> bool ControlsToChecks(Page& page, const SCheckFlag<Page> (&checks)[N])
{
    for (const SCheckFlag<Page>& c : checks) page.*c.flag = page.IsChecked(c.id);
    return true;
}

class CTrePrintSheet : public QDialog {
    Q_OBJECT
public:
    enum EButton { IdOk = 1, IdCancel = 2, IdPreview = 57610, IdPrint = 57611 };

    explicit CTrePrintSheet(const QString& caption, QWidget* parent = nullptr);

    // Set after the sheet ended through "Vorschau" / "Drucken".
    bool m_bPreview = false;
    bool m_bPrint = false;

    // Where refused values are reported; by default a message box.
    using MessageFn = std::function<void(QWidget*, const QString&)>;
    void SetMessageHandler(MessageFn fn) { m_fnMessage = std::move(fn); }

    QPushButton* Button(int id) const;
    QTabWidget* Tabs() const { return m_pTabs; }
    CTrePrintPage* Page(int i) const;
    int PageCount() const { return static_cast<int>(m_pages.size()); }

    // The OK command: every page takes its controls over; a refused value
    // keeps the sheet open on its page. True when the sheet ended.
    bool OnOK();
    void OnPreview();
    void OnPrint();

    // Lays the sheet out (also done when it is first shown).
    void InitSheet();

protected:
    void AddPage(CTrePrintPage* page);
    // The derived sheets own their pages as members, which go before this
    // base: their destructors take the pages out first, so that no page
    // change (and no validation) runs while the sheet is torn down.
    void DetachPages();
    void showEvent(QShowEvent* event) override;

private:
    bool ValidatePage(int index);
    void OnTabChanged(int index);

    QTabWidget* m_pTabs = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
    QPushButton* m_pPreview = nullptr;
    QPushButton* m_pPrint = nullptr;
    std::vector<CTrePrintPage*> m_pages;
    MessageFn m_fnMessage;
    int m_nCurrent = 0;
    bool m_bInTabChange = false;
    bool m_bInitDone = false;
};
