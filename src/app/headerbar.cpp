// SPDX-License-Identifier: GPL-3.0-or-later
#include "headerbar.h"

#include "doc/tredoc.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <memory>

CHeaderBar::CHeaderBar(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto field = [&](const QString& label, int width, const char* name, int entry) {
        layout->addWidget(new QLabel(label, this));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        // A preferred width only: the bar must never hold the window wide.
        edit->setMinimumWidth(24);
        edit->setFixedHeight(edit->sizeHint().height());
        layout->addWidget(edit, width);
        connect(edit, &QLineEdit::textEdited, this, [this, entry] { emit Edited(entry); });
        edit->installEventFilter(this);
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint& at) {
            std::unique_ptr<QMenu> menu(CreateFieldMenu(edit));
            menu->exec(edit->mapToGlobal(at));
        });
        return edit;
    };
    m_pName = field(QStringLiteral("Name :"), 120, "name", 3);
    m_pNumber = field(QStringLiteral("Nr. :"), 60, "number", 4);
    m_pDate = field(QStringLiteral("Datum :"), 70, "date", 1);
    layout->addWidget(new QLabel(QStringLiteral("Skrit :"), this));
    m_pCriterion = new QComboBox(this);
    m_pCriterion->setObjectName(QStringLiteral("criterion"));
    m_pCriterion->addItems(FixedCriteria());
    layout->addWidget(m_pCriterion);
    m_pText = field(QStringLiteral("Text :"), 120, "text", 7);
    connect(m_pCriterion, &QComboBox::activated, this,
            [this](int) { emit CriterionChosen(m_pCriterion->currentText()); });
}

void CHeaderBar::SetHistoryActions(QAction* undo, QAction* redo)
{
    m_pUndo = undo;
    m_pRedo = redo;
}

QMenu* CHeaderBar::CreateFieldMenu(QLineEdit* field) const
{
    QMenu* menu = field->createStandardContextMenu();
    // An editable line edit's menu opens with its own undo and redo, then a
    // separator (Qt 6.4 names these entries nowhere but in their texts).
    const QList<QAction*> all = menu->actions();
    if (field->isReadOnly() || all.size() < 3 || !all[2]->isSeparator()) return menu;
    for (int i = 0; i < 2; ++i) {
        if (QAction* instead = i == 0 ? m_pUndo : m_pRedo) menu->insertAction(all[i], instead);
        menu->removeAction(all[i]);
        delete all[i];
    }
    return menu;
}

bool CHeaderBar::IsHistoryKey(const QKeyEvent& key) const
{
    if (key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo)) return true;
    const QKeySequence typed(key.keyCombination());
    for (const QAction* a : {m_pUndo, m_pRedo})
        if (a && a->shortcuts().contains(typed)) return true;
    return false;
}

bool CHeaderBar::eventFilter(QObject* watched, QEvent* event)
{
    // Left unaccepted, the shortcut goes on to the window's actions; a key
    // press that still arrives (nothing to undo) is dropped, not undone here.
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && IsHistoryKey(*static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

QStringList CHeaderBar::FixedCriteria()
{
    return {QStringLiteral("-650 mV"), QStringLiteral("-750 mV"), QStringLiteral("-800 mV"),
            QStringLiteral("-850 mV"), QStringLiteral("-900 mV"), QStringLiteral("-950 mV")};
}

void CHeaderBar::ToDoc(CTreDoc& doc) const
{
    doc.m_header[3] = m_pName->text().toStdString();
    doc.m_header[4] = m_pNumber->text().toStdString();
    doc.m_header[1] = m_pDate->text().toStdString();
    doc.m_header[7] = m_pText->text().toStdString();
    doc.m_header[2] = m_pCriterion->currentText().toStdString();
}

void CHeaderBar::SetExtraCriterion(const QString& text)
{
    if (!m_strExtra.isEmpty()) {
        const int old = m_pCriterion->findText(m_strExtra, Qt::MatchExactly);
        if (old >= 0) m_pCriterion->removeItem(old);
        m_strExtra.clear();
    }
    if (m_bExtraEmpty) {
        const int old = m_pCriterion->findText(QString(), Qt::MatchExactly);
        if (old >= 0) m_pCriterion->removeItem(old);
        m_bExtraEmpty = false;
    }
    if (text.isEmpty()) return;
    // The list is sorted; the extra entry takes its place among the six.
    int pos = 0;
    while (pos < m_pCriterion->count() && QString::compare(m_pCriterion->itemText(pos), text, Qt::CaseInsensitive) < 0)
        ++pos;
    m_pCriterion->insertItem(pos, text);
    m_strExtra = text;
}

void CHeaderBar::FromDoc(const CTreDoc& doc)
{
    m_pName->setText(QString::fromStdString(doc.m_header[3]));
    m_pNumber->setText(QString::fromStdString(doc.m_header[4]));
    m_pDate->setText(QString::fromStdString(doc.m_header[1]));
    m_pText->setText(QString::fromStdString(doc.m_header[7]));
    // Show the beginning of long texts, not their end.
    for (QLineEdit* e : {m_pName, m_pNumber, m_pDate, m_pText}) e->setCursorPosition(0);

    const QString criterion = QString::fromStdString(doc.m_header[2]);
    auto findPrefix = [&]() {
        for (int i = 0; i < m_pCriterion->count(); ++i)
            if (m_pCriterion->itemText(i).startsWith(criterion, Qt::CaseInsensitive)) return i;
        return -1;
    };
    SetExtraCriterion(QString());
    if (criterion.isEmpty()) {
        // Every entry begins with nothing: the first of the list would stand
        // in for a survey without a criterion and be saved with it.
        m_pCriterion->insertItem(0, QString());
        m_bExtraEmpty = true;
        m_pCriterion->setCurrentIndex(0);
        return;
    }
    int index = findPrefix();
    if (index < 0) {
        // Replacing an unknown criterion with whatever the list showed
        // would change the survey on the next save.
        SetExtraCriterion(criterion);
        index = findPrefix();
    }
    if (index >= 0) m_pCriterion->setCurrentIndex(index);
}
