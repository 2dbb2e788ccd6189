#pragma once

#include <QWidget>

class QTabBar;

namespace talvo {

// A tab strip with a frame whose pages are ordinary children placed by their owner, as
// with the Windows tab control: its client rectangle is the whole control.
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    int insertItem(int index, const QString& text);
    int count() const;
    int currentSelection() const;
    // A programmatic selection raises no selectionChanged.
    void setCurrentSelection(int index);
    // Moves the selection one tab forward (or back), wrapping at the ends, as the operator's
    // click on that tab would: selectionChanged is raised.
    void stepSelection(bool forward);
    QTabBar* tabBar() const { return m_tabBar; }

signals:
    // The operator selected another tab.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    QTabBar* m_tabBar = nullptr;
};

} // namespace talvo
