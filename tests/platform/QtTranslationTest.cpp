#include "platform/widgets/QtTranslation.h"
#include "support/TempDirectory.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace talvo {
namespace {

QStringList standardButtonTexts()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
    return {box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Yes)->text(),
            box.button(QMessageBox::No)->text()};
}

// The buttons read as on the Chinese Windows, whatever the desktop's locale; without the
// translation Qt's English stays.
TEST(QtTranslationTest, StandardButtonsAreChineseWhileInstalled)
{
    {
        const QtTranslation translation;
        ASSERT_TRUE(translation.isInstalled()) << "qt6-translations-l10n is not installed";
        EXPECT_EQ(standardButtonTexts(), QStringList({"确定", "是(&Y)", "否(&N)"}));
    }
    const testing::TempDirectory empty;
    EXPECT_FALSE(QtTranslation(empty.path()).isInstalled());
    EXPECT_EQ(standardButtonTexts(), QStringList({"OK", "&Yes", "&No"}));
}

} // namespace
} // namespace talvo
