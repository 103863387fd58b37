// SPDX-License-Identifier: GPL-3.0-or-later
#include "celleditor.h"

#include <QLineEdit>
#include <QPainter>

QWidget* CCellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setFont(option.font);
    (void)index;
    return edit;
}

void CCellEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    m_bRefused = false;
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (!edit->isModified()) return;
    m_bRefused = !model->setData(index, edit->text(), Qt::EditRole);
}

void CCellEditDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const bool selected = opt.state & QStyle::State_Selected;
    if (selected) painter->fillRect(opt.rect, opt.palette.brush(QPalette::Highlight));
    else if (opt.backgroundBrush.style() != Qt::NoBrush) painter->fillRect(opt.rect, opt.backgroundBrush);

    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect = opt.rect.adjusted(1, 0, -1, 0);
    painter->setClipRect(textRect);
    painter->drawText(textRect, static_cast<int>(opt.displayAlignment) | Qt::TextSingleLine, opt.text);
    painter->restore();

    if (opt.state & QStyle::State_HasFocus) {
        painter->save();
        painter->setPen(QPen(opt.palette.color(QPalette::WindowText), 1, Qt::DotLine));
        painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}
