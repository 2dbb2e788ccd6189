#pragma once

#include <QPushButton>

namespace talvo {

// A push button with the flat style as Windows draws it: a thin one-pixel frame around a
// flat face, a sunken face and shifted label while pressed, a dotted focus rectangle. Qt's own flat button
// draws no frame at all and reads as a label.
class FlatPushButton : public QPushButton {
    Q_OBJECT
public:
    explicit FlatPushButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace talvo
