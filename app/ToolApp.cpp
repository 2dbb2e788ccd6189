#include "ToolApp.h"

#include "MainDialog.h"
#include "platform/Interaction.h"

#include <QLocale>

namespace talvo {

ToolApp::ToolApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(QIcon(QStringLiteral(":/talvo/talvo.png")));
    // The operators' texts are Chinese; calendars and numbers follow them.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

bool ToolApp::initInstance()
{
    MainDialog mainDialog;
    setMainWindow(&mainDialog);
    mainDialog.doModal();
    setMainWindow(nullptr);
    return false;
}

} // namespace talvo
