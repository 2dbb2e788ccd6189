// This program finds a driver that exports every name but breaks the contract where it can:
// an unterminated serial number, no CSP name.
#include "device/KeyDriverBinding.h"
#include "key/DeviceOperations.h"
#include "platform/core/Cp936Codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using talvo::KeyDriverBinding;

TEST(BindingHostileLibrary, BindsAllFiftyTwoNames)
{
    KeyDriverBinding binding;
    EXPECT_EQ(binding.boundCount(), 52);
    EXPECT_EQ(KeyDriverBinding::kBoundNames.size(), 52u);
}

TEST(BindingHostileLibrary, UnterminatedSerialIsCutAtItsBuffer)
{
    KeyDriverBinding binding;
    char serial[100] = {};
    ASSERT_EQ(binding.TLKeyReadSerial(serial, 4), 0);
    EXPECT_EQ(talvo::fromCp936(serial, sizeof serial), QString(100, QLatin1Char('S')));
}

TEST(BindingHostileLibrary, NullCspNameComesBackNull)
{
    KeyDriverBinding binding;
    EXPECT_EQ(binding.TLKeyReadCspName(), nullptr);
    EXPECT_EQ(talvo::cspNameText(binding.TLKeyReadCspName()), QString());
    EXPECT_EQ(binding.TLGetCertsNumFromIE(), 7);
    EXPECT_TRUE(binding.TLRegCerts());
}

TEST(CspNameText, AnUnterminatedNameIsCutAtItsLimit)
{
    std::vector<char> name(talvo::kCspNameMaxBytes + 40, 'M');
    EXPECT_EQ(talvo::cspNameText(name.data()),
              QString(static_cast<qsizetype>(talvo::kCspNameMaxBytes), QLatin1Char('M')));
    EXPECT_EQ(talvo::cspNameText("MERO Cryptographic Service Provider v1.0.0"),
              QStringLiteral("MERO Cryptographic Service Provider v1.0.0"));
}

} // namespace
