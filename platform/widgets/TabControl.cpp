#include "TabControl.h"

#include <QChildEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace talvo {

TabControl::TabControl(QWidget* parent) : QWidget(parent)
{
    m_tabBar = new QTabBar(this);
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    // The focus given to the control goes to its strip, which Tab reaches.
    setFocusProxy(m_tabBar);
    connect(m_tabBar, &QTabBar::currentChanged, this, [this] { emit selectionChanged(); });
}

int TabControl::insertItem(int index, const QString& text)
{
    const QSignalBlocker blocker(m_tabBar);
    const int inserted = m_tabBar->insertTab(index, text);
    m_tabBar->resize(m_tabBar->sizeHint().width(), m_tabBar->sizeHint().height());
    return inserted;
}

int TabControl::count() const
{
    return m_tabBar->count();
}

int TabControl::currentSelection() const
{
    return m_tabBar->currentIndex();
}

void TabControl::setCurrentSelection(int index)
{
    const QSignalBlocker blocker(m_tabBar);
    m_tabBar->setCurrentIndex(index);
}

void TabControl::stepSelection(bool forward)
{
    const int tabs = count();
    if (tabs > 1)
        m_tabBar->setCurrentIndex((currentSelection() + (forward ? 1 : tabs - 1)) % tabs);
}

void TabControl::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    // Pages placed over the strip's lower edge must not swallow the clicks on its labels.
    if (m_tabBar && event->added() && event->child() != m_tabBar && event->child()->isWidgetType())
        m_tabBar->raise();
}

void TabControl::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect = rect().adjusted(0, m_tabBar->height() - 1, 0, 0);
    option.tabBarSize = m_tabBar->size();
    option.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_tabBar->resize(qMin(width(), m_tabBar->sizeHint().width()), m_tabBar->sizeHint().height());
}

} // namespace talvo
