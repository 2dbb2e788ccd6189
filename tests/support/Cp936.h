#pragma once

#include <QString>

#include <string>

namespace talvo::testing {

// The text in CP936 bytes, as the key holds it: the one conversion for every test. It asks iconv
// directly, not the converter that the tool and the simulated key share, so that the bytes a
// test expects never come from the code it tests. A character CP936 cannot hold fails the test.
std::string cp936(const QString& text);

} // namespace talvo::testing
