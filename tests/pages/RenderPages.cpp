// Renders both pages with a filled form to PNG files, without a display, so that their look
// can be checked by eye: pages-render <directory>.
#include "device/KeyDriverBinding.h"
#include "pages/DeviceInfoPage.h"
#include "pages/PinPage.h"
#include "platform/Cp936Codec.h"
#include "platform/ScriptedInteraction.h"
#include "recording/RecordingDriver.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>

namespace {

bool save(QWidget& widget, const QString& path)
{
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

void fillKey()
{
    auto& driver = talvo::testing::recordingDriver();
    KeyBaseInfo& key = driver.keyInfo.base;
    key.factoryFlag = 1;
    key.formatFlag = 1;
    key.initFlag = 2;
    key.timeControlFlag = 1;
    key.keyRole = 101;
    key.errorTimes = 3;
    key.mode = 2;
    talvo::copyToField(talvo::testing::recordingHash("730264"), key.pinHash);
    talvo::copyToField(talvo::toCp936(QStringLiteral("辽宁省某单位")), key.unitId);
    talvo::copyToField(talvo::toCp936(QStringLiteral("vudeze 操作员")), key.userId);
    driver.sealCount = 4;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("page-renders");
    if (!QDir().mkpath(directory))
        return 1;

    talvo::ScriptedInteraction script;
    fillKey();
    talvo::KeyDriverBinding binding;
    bool saved = true;
    {
        talvo::DeviceInfoPage page;
        page.show();
        page.setBinding(&binding);
        page.controlAs<QPushButton>(talvo::DeviceInfoPage::ViewButton)->click();
        saved &= save(page, QDir(directory).filePath(QStringLiteral("device-info-page.png")));
    }
    {
        talvo::PinPage page;
        page.show();
        page.setBinding(&binding);
        page.setItemText(talvo::PinPage::OldPasswordEdit, QStringLiteral("730264"));
        page.setItemText(talvo::PinPage::NewPasswordEdit, QStringLiteral("口令1"));
        page.setItemText(talvo::PinPage::ConfirmationEdit, QStringLiteral("口令1"));
        page.setItemText(talvo::PinPage::PinEdit, QStringLiteral("123456"));
        saved &= save(page, QDir(directory).filePath(QStringLiteral("pin-page.png")));
        // An incomplete change writes its warning into the operation information edit.
        page.setItemText(talvo::PinPage::ConfirmationEdit, QString());
        script.answerBox(talvo::BoxResult::Ok);
        page.controlAs<QPushButton>(talvo::PinPage::SetPasswordButton)->click();
        saved &= save(page, QDir(directory).filePath(QStringLiteral("pin-page-incomplete.png")));
    }
    for (const QString& text : script.boxTexts())
        std::printf("box: %s\n", qPrintable(text));
    return saved ? 0 : 1;
}
