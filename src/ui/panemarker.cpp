// SPDX-License-Identifier: GPL-3.0-or-later
#include "panemarker.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

// A transparent child over the whole pane that draws only its border; the
// mouse goes through it to the pane.
class CMarkFrame : public QWidget {
public:
    explicit CMarkFrame(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setObjectName(QStringLiteral("paneMarker"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int w = CPaneMarker::kWidth;
        const QColor c = palette().color(QPalette::Highlight);
        const QRect r = rect();
        p.fillRect(QRect(r.left(), r.top(), r.width(), w), c);
        p.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), c);
        p.fillRect(QRect(r.left(), r.top(), w, r.height()), c);
        p.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), c);
    }
};

} // namespace

CPaneMarker::CPaneMarker(std::vector<QWidget*> panes, std::function<void(int)> activated, QObject* parent)
    : QObject(parent)
    , m_fnActivated(std::move(activated))
{
    for (QWidget* pane : panes) {
        m_panes.emplace_back(pane);
        pane->installEventFilter(this);
        // A table takes its clicks in its viewport.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(pane)) area->viewport()->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const int i = IndexOf(now);
        if (i < 0) return; // focus elsewhere (header fields, docks): the last pane stays active
        Mark(i);
        if (m_fnActivated) m_fnActivated(i);
    });
}

CPaneMarker::~CPaneMarker()
{
    disconnect(qApp, nullptr, this, nullptr);
    delete m_pFrame;
}

int CPaneMarker::IndexOf(const QWidget* w) const
{
    for (; w; w = w->parentWidget())
        for (size_t i = 0; i < m_panes.size(); ++i)
            if (m_panes[i] == w) return static_cast<int>(i);
    return -1;
}

void CPaneMarker::Mark(int index)
{
    m_nMarked = index >= 0 && index < static_cast<int>(m_panes.size()) ? index : -1;
    QWidget* pane = m_nMarked >= 0 ? m_panes[static_cast<size_t>(m_nMarked)].data() : nullptr;
    if (!pane) {
        if (m_pFrame) m_pFrame->hide();
        return;
    }
    if (!m_pFrame) m_pFrame = new CMarkFrame(pane);
    else if (m_pFrame->parentWidget() != pane) m_pFrame->setParent(pane);
    Place();
}

QWidget* CPaneMarker::Marked() const
{
    return m_pFrame && m_pFrame->isVisibleTo(m_pFrame->parentWidget()) ? m_pFrame->parentWidget() : nullptr;
}

void CPaneMarker::Place()
{
    if (!m_pFrame) return;
    m_pFrame->setGeometry(m_pFrame->parentWidget()->rect());
    m_pFrame->raise(); // over the pane's scroll bars and buttons
    m_pFrame->show();
}

bool CPaneMarker::eventFilter(QObject* watched, QEvent* event)
{
    const bool onFramed = m_pFrame && watched == m_pFrame->parentWidget();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // A click makes a pane active even where it takes no focus itself;
        // the keys then go to the pane the user sees marked.
        const int i = IndexOf(qobject_cast<QWidget*>(watched));
        if (i < 0) break;
        QWidget* pane = m_panes[static_cast<size_t>(i)];
        if (i != m_nMarked) {
            Mark(i);
            if (m_fnActivated) m_fnActivated(i);
        }
        if (IndexOf(QApplication::focusWidget()) != i) pane->setFocus(Qt::MouseFocusReason);
        break;
    }
    case QEvent::Resize:
        if (onFramed) Place();
        break;
    case QEvent::ChildAdded:
        // Over the pane's children that come after the frame.
        if (onFramed) m_pFrame->raise();
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
