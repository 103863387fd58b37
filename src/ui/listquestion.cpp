// SPDX-License-Identifier: GPL-3.0-or-later
#include "listquestion.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* TextLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

CListQuestionDlg::CListQuestionDlg(QWidget* parent, const SListQuestion& question, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton)
    : QDialog(parent)
    , m_pList(new QListWidget(this))
    , m_answer(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::NoButton)
{
    setWindowTitle(QApplication::applicationDisplayName());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TextLabel(question.text, this));
    m_pList->addItems(question.items);
    m_pList->setSelectionMode(QAbstractItemView::NoSelection);
    m_pList->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    layout->addWidget(m_pList, 1);
    if (!question.after.isEmpty()) layout->addWidget(TextLabel(question.after, this));
    auto* box = new QDialogButtonBox(QDialogButtonBox::StandardButtons(static_cast<int>(buttons)), this);
    if (QPushButton* b = box->button(QDialogButtonBox::Cancel)) b->setText(QStringLiteral("Abbrechen"));
    if (QPushButton* b = box->button(QDialogButtonBox::Yes)) b->setText(QStringLiteral("&Ja"));
    if (QPushButton* b = box->button(QDialogButtonBox::No)) b->setText(QStringLiteral("&Nein"));
    if (defaultButton != QMessageBox::NoButton)
        if (QPushButton* b = box->button(static_cast<QDialogButtonBox::StandardButton>(defaultButton)))
            b->setDefault(true);
    connect(box, &QDialogButtonBox::clicked, this, [this, box](QAbstractButton* b) {
        m_answer = static_cast<QMessageBox::StandardButton>(box->standardButton(b));
        done(m_answer == QMessageBox::Cancel || m_answer == QMessageBox::No ? Rejected : Accepted);
    });
    layout->addWidget(box);
}
