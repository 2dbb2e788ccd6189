#include "PageListPanel.h"

#include <QSignalBlocker>

namespace talvo::stamp {

PageListPanel::PageListPanel(QWidget* parent) : QListWidget(parent)
{
    setAccessibleName(QStringLiteral("页面列表"));
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Q_EMIT pageChosen(row);
    });
}

void PageListPanel::setPageCount(int count)
{
    const QSignalBlocker blocker(this);
    clear();
    for (int page = 1; page <= count; ++page)
        addItem(QStringLiteral("第 %1 页").arg(page));
    setCurrentRow(count > 0 ? 0 : -1);
}

void PageListPanel::showCurrentPage(int page)
{
    const QSignalBlocker blocker(this);
    setCurrentRow(page);
}

} // namespace talvo::stamp
