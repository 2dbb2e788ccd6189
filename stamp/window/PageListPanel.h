#pragma once

#include <QListWidget>

namespace talvo::stamp {

// The document's pages by number; choosing one turns the view to it.
class PageListPanel : public QListWidget {
    Q_OBJECT
public:
    explicit PageListPanel(QWidget* parent = nullptr);

    void setPageCount(int count);
    void showCurrentPage(int page);

Q_SIGNALS:
    void pageChosen(int page);
};

} // namespace talvo::stamp
