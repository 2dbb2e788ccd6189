#include "ToolApp.h"

#include "MainDialog.h"
#include "platform/Interaction.h"

namespace talvo {

ToolApp::ToolApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(QIcon(QStringLiteral(":/talvo/talvo.png")));
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
