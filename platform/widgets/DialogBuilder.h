#pragma once

#include "DialogTemplate.h"
#include "DialogUnits.h"

#include <QHash>
#include <QList>

class QCalendarWidget;
class QWidget;

namespace talvo {

// The controls that a template produced, by id and in tab order.
struct BuiltControls {
    DialogBaseUnits baseUnits;
    QSize clientSize;
    QHash<int, QWidget*> byId;
    QList<QWidget*> inOrder;
};

// Turns a template into Qt widgets, children of the given window, at the pixel geometry
// that the Windows dialog-unit rule gives for the template's font.
class DialogBuilder {
public:
    static BuiltControls build(const DialogTemplate& dialogTemplate, QWidget* window);

private:
    static QWidget* createControl(const ControlTemplate& control, QWidget* window);
    // Each field takes the text of its label as its accessible name (on its row, else just
    // above it), else the title of the group box around it, else the window's caption.
    static void nameFieldsByTheirLabels(const DialogTemplate& dialogTemplate, const BuiltControls& built);
    // Qt leaves the month buttons and the year field nameless.
    static void nameCalendarParts(QCalendarWidget* calendar);
    // A "…" button is named by the field it fills, the one to its left.
    static void nameBrowseButtons(const QList<QWidget*>& controls, const QList<QWidget*>& fields);
};

} // namespace talvo
