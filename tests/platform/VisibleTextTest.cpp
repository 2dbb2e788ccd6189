#include "platform/VisibleText.h"
#include "platform/NativePath.h"

#include <gtest/gtest.h>

namespace {

using namespace talvo;

TEST(VisibleText, ControlAndReorderingCharactersShowEscaped)
{
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {QStringLiteral("辽宁 unit 1"), QStringLiteral("辽宁 unit 1")},
        {QStringLiteral("x\u001b[31mRED\r\nlockFlag: 0"), QStringLiteral("x\\x1B[31mRED\\r\\nlockFlag: 0")},
        {QStringLiteral("a\tb\u007f\u0085"), QStringLiteral("a\\tb\\x7F\\u0085")},
        {QStringLiteral("TLV-\u202Egpj.exe\u2066\u200F"), QStringLiteral("TLV-\\u202Egpj.exe\\u2066\\u200F")},
        {decodeNativePath("\xff.gif"), QStringLiteral("\\xFF.gif")},
        {QStringLiteral("emoji \U0001F600"), QStringLiteral("emoji \U0001F600")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(visibleText(c.text), c.shown) << c.text.toStdString();
}

} // namespace
