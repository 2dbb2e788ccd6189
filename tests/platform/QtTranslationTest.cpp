#include "platform/QtTranslation.h"
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

// The buttons read as the Chinese Windows showed them, whatever the desktop's locale.
TEST(QtTranslationTest, StandardButtonsAreChineseWhileInstalled)
{
    {
        const QtTranslation translation;
        ASSERT_TRUE(translation.isInstalled()) << "qt6-translations-l10n is not installed";
        EXPECT_EQ(standardButtonTexts(),
                  QStringList({QStringLiteral("确定"), QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));
    }
    const testing::TempDirectory empty;
    const QtTranslation missing(empty.path());
    EXPECT_FALSE(missing.isInstalled());
    EXPECT_EQ(standardButtonTexts(),
              QStringList({QStringLiteral("OK"), QStringLiteral("&Yes"), QStringLiteral("&No")}));
}

} // namespace
} // namespace talvo
