#pragma once

#include <QString>

class QWidget;

namespace talvo {

// Grabs the widget into DIRECTORY/NAME as PNG and says on standard output whether it could.
bool saveSnapshot(QWidget& widget, const QString& directory, const QString& name);

} // namespace talvo
