// talvo-tour: a developer's program, not part of the tool. It renders every window of the
// tool into PNG files without a display, answering the login itself, so it is never shipped
// or installed beside the tool.
#include "HeadlessTour.h"

#include "platform/widgets/ChineseFont.h"
#include "platform/widgets/QtTranslation.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: %s DIRECTORY\nRenders every window of talvo-tool into PNG files in "
                     "DIRECTORY, on Qt's offscreen platform.\n",
                     argv[0]);
        return argc == 2 ? 0 : 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvo-tool"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    talvo::preferSimplifiedChineseApplicationFont();
    const talvo::QtTranslation qtTexts;
    return talvo::runHeadlessTour(QString::fromLocal8Bit(argv[1]));
}
