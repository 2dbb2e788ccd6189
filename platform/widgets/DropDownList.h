#pragma once

#include <QComboBox>

namespace talvo {

// A template's drop-down list. A class of its own so that screen readers meet it through our
// accessible interface, which names it by its label rather than by the item it shows.
class DropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownList(QWidget* parent = nullptr);
};

} // namespace talvo
