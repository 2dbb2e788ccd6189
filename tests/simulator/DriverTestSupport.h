#pragma once

#include "device/KeyDriverBinding.h"
#include "tests/support/Cp936.h"
#include "tests/support/SimulatedKey.h"

#include <QByteArray>
#include <QString>

#include <string>

namespace talvo::testing {

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
