#include "FlatPushButton.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace talvo {

namespace {

constexpr int kPressedFaceDarkness = 115; // percent, as QColor::darker takes it

} // namespace

FlatPushButton::FlatPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setFlat(true);
}

void FlatPushButton::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QStyleOptionButton option;
    initStyleOption(&option);
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const bool pressed = option.state & (QStyle::State_Sunken | QStyle::State_On);
    // Held down, the face sinks: darker, with the shadow along its upper and left edges.
    const QColor face = option.palette.color(QPalette::Button);
    painter.fillRect(rect(), pressed ? face.darker(kPressedFaceDarkness) : face);
    if (pressed) {
        painter.setPen(option.palette.color(QPalette::Dark));
        painter.drawLine(1, 1, frame.right() - 1, 1);
        painter.drawLine(1, 1, 1, frame.bottom() - 1);
    }
    // The window frame colour, as Windows draws a flat button's frame.
    painter.setPen(option.palette.color(QPalette::WindowText));
    painter.drawRect(frame);

    // The shift is ours alone: a style that shifts pressed labels itself would double it.
    option.rect = rect().adjusted(1, 1, -1, -1);
    if (pressed)
        option.rect.translate(1, 1);
    option.state &= ~(QStyle::State_Sunken | QStyle::State_On);
    style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, this);

    if (hasFocus()) {
        const QPen dotted(option.palette.color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawRect(frame.adjusted(2, 2, -2, -2));
    }
}

} // namespace talvo
