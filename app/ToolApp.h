#pragma once

#include "platform/widgets/QtTranslation.h"

#include <QApplication>

namespace talvo {

// The application object: runs the main window modally and ends when it closes. Qt needs the
// command line before an application object can exist, so it is made in main().
class ToolApp : public QApplication {
    Q_OBJECT
public:
    ToolApp(int& argc, char** argv);

    // Runs the main window; returns false so that the caller ends the process.
    bool initInstance();

private:
    QtTranslation m_qtTranslation;
};

} // namespace talvo
