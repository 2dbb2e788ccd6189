#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace talvo::sim {

// Runs one talvo-sim command line (without the program name) against the key in the state
// directory. Returns the exit code: 0 done, 1 refused or failed (said on err).
int runSimCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace talvo::sim
