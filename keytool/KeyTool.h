#pragma once

#include <string>
#include <vector>

namespace talvo::keytool {

// talvo-key from its arguments to its exit status: the command line read, the command's
// arguments checked, the password, the operator's answers, and only then the driver.
class KeyTool {
public:
    int run(const std::vector<std::string>& arguments);
};

} // namespace talvo::keytool
