// SPDX-License-Identifier: GPL-3.0-or-later
#include "printsheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>

// ---- pages -------------------------------------------------------------------

CTrePrintPage::CTrePrintPage(const QString& tab, int w, int h, QWidget* parent)
    : QWidget(parent)
    , m_strTab(tab)
    , m_dluSize(w, h)
{
    setFont(SheetFont());
    setFixedSize(PixelSize());
}

QFont CTrePrintPage::SheetFont()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

QRect CTrePrintPage::Dlu(int x, int y, int w, int h)
{
    // A dialog unit is a quarter of the font's average character width
    // across and an eighth of its height down. The fonts here set wider
    // than the one the sheets were drawn for (and the combo boxes carry a
    // wider button), so the width gets a fifth more room.
    const QFontMetrics fm(SheetFont());
    const int bx = std::max(1, fm.averageCharWidth() * 6 / 5);
    const int by = std::max(1, fm.height());
    return QRect(x * bx / 4, y * by / 8, w * bx / 4, h * by / 8);
}

QSize CTrePrintPage::PixelSize() const { return Dlu(0, 0, m_dluSize.width(), m_dluSize.height()).size(); }

QWidget* CTrePrintPage::Control(int id) const { return findChild<QWidget*>(QString::number(id)); }

void CTrePrintPage::SetChecked(int id, bool on) const
{
    if (auto* c = qobject_cast<QAbstractButton*>(Control(id))) c->setChecked(on);
}

bool CTrePrintPage::IsChecked(int id) const
{
    auto* c = qobject_cast<QAbstractButton*>(Control(id));
    return c && c->isChecked();
}

QCheckBox* CTrePrintPage::AddCheck(int id, int x, int y, int w, int h, const QString& text, bool disabled)
{
    auto* c = new QCheckBox(text, this);
    c->setObjectName(QString::number(id));
    const QRect r = Dlu(x, y, w, h);
    c->setGeometry(r.x(), r.y(), std::max(r.width(), c->sizeHint().width()),
                   std::max(r.height(), c->sizeHint().height()));
    c->setEnabled(!disabled);
    return c;
}

QRadioButton* CTrePrintPage::AddRadio(int id, int x, int y, int w, int h, const QString& text)
{
    auto* c = new QRadioButton(text, this);
    c->setObjectName(QString::number(id));
    const QRect r = Dlu(x, y, w, h);
    c->setGeometry(r.x(), r.y(), std::max(r.width(), c->sizeHint().width()),
                   std::max(r.height(), c->sizeHint().height()));
    return c;
}

QGroupBox* CTrePrintPage::AddGroup(int x, int y, int w, int h, const QString& text)
{
    auto* g = new QGroupBox(text, this);
    g->setGeometry(Dlu(x, y, w, h));
    g->lower();
    return g;
}

QLabel* CTrePrintPage::AddLabel(int x, int y, int w, int h, const QString& text)
{
    auto* l = new QLabel(text, this);
    l->setGeometry(Dlu(x, y, w, h));
    return l;
}

QComboBox* CTrePrintPage::AddCombo(int id, int x, int y, int w, bool editable, const QStringList& items)
{
    auto* c = new QComboBox(this);
    c->setObjectName(QString::number(id));
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    const QRect r = Dlu(x, y, w, 12);
    c->setGeometry(r.x(), r.y(), r.width(), std::max(r.height(), c->sizeHint().height()));
    return c;
}

QLineEdit* CTrePrintPage::AddEdit(int id, int x, int y, int w, int h)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::number(id));
    const QRect r = Dlu(x, y, w, h);
    e->setGeometry(r.x(), r.y(), r.width(), std::max(r.height(), e->sizeHint().height()));
    return e;
}

// ---- the sheet --------------------------------------------------------------

CTrePrintSheet::CTrePrintSheet(const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    setFont(CTrePrintPage::SheetFont());
    m_pTabs = new QTabWidget(this);
    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setObjectName(QString::number(IdOk));
    m_pOk->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_pCancel->setObjectName(QString::number(IdCancel));
    connect(m_pOk, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pTabs, &QTabWidget::currentChanged, this, &CTrePrintSheet::OnTabChanged);
    m_fnMessage = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
        box.exec();
    };
}

void CTrePrintSheet::AddPage(CTrePrintPage* page)
{
    m_pages.push_back(page);
    m_pTabs->addTab(page, page->TabText());
}

void CTrePrintSheet::DetachPages()
{
    m_bInTabChange = true;
    disconnect(m_pTabs, nullptr, this, nullptr);
    for (CTrePrintPage* page : m_pages) {
        m_pTabs->removeTab(m_pTabs->indexOf(page));
        page->setParent(nullptr);
    }
    m_pages.clear();
}

CTrePrintPage* CTrePrintSheet::Page(int i) const
{
    return i >= 0 && i < PageCount() ? m_pages[static_cast<size_t>(i)] : nullptr;
}

QPushButton* CTrePrintSheet::Button(int id) const
{
    switch (id) {
    case IdOk: return m_pOk;
    case IdCancel: return m_pCancel;
    case IdPreview: return m_pPreview;
    case IdPrint: return m_pPrint;
    default: return nullptr;
    }
}

void CTrePrintSheet::showEvent(QShowEvent* event)
{
    InitSheet();
    QDialog::showEvent(event);
}

void CTrePrintSheet::InitSheet()
{
    if (m_bInitDone) return;
    m_bInitDone = true;
    for (CTrePrintPage* page : m_pages) {
        page->OnInitDialog();
        page->DataToControls();
    }
    QSize pageSize;
    for (CTrePrintPage* page : m_pages) pageSize = pageSize.expandedTo(page->PixelSize());
    m_pTabs->move(7, 7);
    m_pTabs->resize(m_pTabs->sizeHint().expandedTo(pageSize + QSize(8, m_pTabs->tabBar()->sizeHint().height() + 8)));
    m_pPreview = new QPushButton(QStringLiteral("Vorschau"), this);
    m_pPreview->setObjectName(QString::number(IdPreview));
    m_pPreview->setFont(m_pCancel->font());
    connect(m_pPreview, &QPushButton::clicked, this, &CTrePrintSheet::OnPreview);
    m_pPrint = new QPushButton(QStringLiteral("Drucken"), this);
    m_pPrint->setObjectName(QString::number(IdPrint));
    m_pPrint->setFont(m_pCancel->font());
    connect(m_pPrint, &QPushButton::clicked, this, &CTrePrintSheet::OnPrint);
    m_pOk->setText(QString::fromUtf8("Übernehmen"));

    // The bottom row, right to left: Abbrechen, Vorschau, Drucken,
    // Übernehmen, with their widths and gaps from the dialog layout. Our
    // fonts are wider than the ones it was drawn for: a button grows to
    // its text (towards the left), and the sheet with it.
    struct SSlot {
        QPushButton* button;
        int width, gap; // gap: to the button on its right, or the edge
    };
    SSlot row[] = {{m_pCancel, 65, 12}, {m_pPreview, 65, 10}, {m_pPrint, 65, 10}, {m_pOk, 71, 11}};
    int rowWidth = 0;
    for (SSlot& s : row) {
        s.width = std::max(s.width, s.button->sizeHint().width());
        rowWidth += s.gap + s.width;
    }
    const int bh = m_pOk->sizeHint().height();
    const int c = std::max({m_pTabs->width() + 14, 320, rowWidth + 11});
    const int h = m_pTabs->y() + m_pTabs->height() + bh + 20;
    setFixedSize(c, h);
    const int y = h - bh - 10;
    int right = c;
    for (const SSlot& s : row) {
        right -= s.gap;
        s.button->setGeometry(right - s.width, y, s.width, bh);
        right -= s.width;
    }
    m_pPreview->show();
    m_pPrint->show();
}

bool CTrePrintSheet::ValidatePage(int index)
{
    CTrePrintPage* page = Page(index);
    if (!page) return true;
    QString message;
    QWidget* focus = nullptr;
    if (page->ControlsToData(message, focus)) return true;
    m_bInTabChange = true;
    m_pTabs->setCurrentIndex(index);
    m_nCurrent = index;
    m_bInTabChange = false;
    if (m_fnMessage) m_fnMessage(this, message);
    if (focus) {
        focus->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->selectAll();
    }
    return false;
}

void CTrePrintSheet::OnTabChanged(int index)
{
    if (m_bInTabChange) return;
    // Leaving a page takes its values over; a refused value keeps it.
    const int previous = m_nCurrent;
    m_nCurrent = index;
    if (previous != index) ValidatePage(previous);
}

bool CTrePrintSheet::OnOK()
{
    InitSheet();
    for (int i = 0; i < PageCount(); ++i)
        if (!ValidatePage(i)) return false;
    accept();
    return true;
}

void CTrePrintSheet::OnPreview()
{
    if (OnOK()) m_bPreview = true;
}

void CTrePrintSheet::OnPrint()
{
    if (OnOK()) m_bPrint = true;
}
