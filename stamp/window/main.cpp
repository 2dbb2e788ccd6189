#include "DriverStampKey.h"
#include "StampWindow.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/NativePath.h"
#include "platform/widgets/ChineseFont.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/QtTranslation.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // The path as the file system names it, before Qt reads the arguments as UTF-8.
    QString path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: talvo-stamp [FILE.pdf]\n");
            return 0;
        }
        if (argv[i][0] != '-' && path.isEmpty())
            path = talvo::decodeNativePath(argv[i]);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QFileInfo(QApplication::applicationFilePath()).completeBaseName());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/talvo/talvo.png")));
    QApplication::setDesktopFileName(QStringLiteral("talvo-stamp"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    talvo::preferSimplifiedChineseApplicationFont();
    const talvo::QtTranslation translation;

    talvo::KeyDriverBinding binding;
    talvo::stamp::DriverStampKey key(binding);
    talvo::stamp::StampWindow window(key);
    talvo::setMainWindow(&window);
    window.show();
    if (!path.isEmpty())
        window.openDocument(path);
    const int status = QApplication::exec();
    talvo::setMainWindow(nullptr);
    return status;
}
