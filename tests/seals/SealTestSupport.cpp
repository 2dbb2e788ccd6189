#include "SealTestSupport.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace talvo::testing {

void clickDayThenEnter(QCalendarWidget* calendar, int day)
{
    auto* view = calendar->findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    QWindow* window = calendar->window()->windowHandle();
    ASSERT_TRUE(window && QTest::qWaitForWindowExposed(window));
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            if (cell.data().toString() != QString::number(day))
                continue;
            const QPoint point = view->viewport()->mapTo(calendar->window(), view->visualRect(cell).center());
            QTest::mouseClick(window, Qt::LeftButton, {}, point);
            QTest::keyClick(window, Qt::Key_Return);
            return;
        }
    }
    FAIL() << "day " << day << " not shown";
}

} // namespace talvo::testing
