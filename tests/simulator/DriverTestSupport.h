#pragma once

#include "device/KeyDriverBinding.h"
#include "simulator/common/ContainerKeys.h"
#include "support/Cp936.h"
#include "support/SimulatedKey.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace talvo::testing {

// The driver's contract holds for a key of files and for a key on a token alike: a suite
// derived from this runs each of its tests against both.
class DriverContractTest : public ::testing::TestWithParam<SimulatedKey::Backing> {};
std::string backingName(const ::testing::TestParamInfo<SimulatedKey::Backing>& info);
inline void PrintTo(SimulatedKey::Backing backing, std::ostream* out)
{
    *out << (backing == SimulatedKey::Backing::Token ? "a key on a token" : "a key of files");
}
#define TALVO_DRIVER_CONTRACT(Suite)                                                                         \
    INSTANTIATE_TEST_SUITE_P(Backing, Suite,                                                                 \
                             ::testing::Values(SimulatedKey::Backing::Files, SimulatedKey::Backing::Token),  \
                             backingName)

// What the key holds, wherever it holds it: the serial number it answers, whether a seal's
// picture is stored, the certificate as stored (DER) and the signature pair's public half.
std::string keySerial(const SimulatedKey& key);
bool holdsPicture(const SimulatedKey& key, int32_t sealNumber);
QByteArray storedCertificate(const SimulatedKey& key);
sim::EvpPkeyPtr signaturePublicKey(const SimulatedKey& key);

// Every called function once, through the binding, with arguments that work on a whole demo
// key. Functions without a status answer 0 for true or a text and 1 for false or none; the
// count answers itself.
std::map<std::string, int32_t> callEveryFunction();

// The driver library as the tool loads it, bound once for the test program.
KeyDriverBinding& driver();

// The key's record as TLKeyReadKeyInfo gives it; a failed read fails the test.
KeyInfo readKeyInfo();

// The bytes of a file in the key's state directory (empty when missing).
QByteArray keyFile(const SimulatedKey& key, const QString& name);
void writeKeyFile(const SimulatedKey& key, const QString& name, const QByteArray& bytes);

// The text in a fixed field, up to its terminator.
template <std::size_t N> std::string fieldText(const char (&field)[N])
{
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return std::string(field, length);
}

// The uppercase MD5 hex that the key's hash of "730264" is.
inline constexpr const char* kFactoryPinHash = "6ACD62A9DBF1B96D8359BDD7E4439F70";

} // namespace talvo::testing
