#include "ToolApp.h"

#include "MainDialog.h"
#include "platform/widgets/ChineseFont.h"
#include "platform/widgets/Interaction.h"

#include <QFileInfo>
#include <QLocale>

namespace talvo {

ToolApp::ToolApp(int& argc, char** argv) : QApplication(argc, argv)
{
    // Message boxes without a caption of their own show the executable's name without its
    // extension; Qt would keep the extension.
    setApplicationName(QFileInfo(applicationFilePath()).completeBaseName());
    setWindowIcon(QIcon(QStringLiteral(":/talvo/talvo.png")));
    // The operators' texts are Chinese; calendars and numbers follow them.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    preferSimplifiedChineseApplicationFont();
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
