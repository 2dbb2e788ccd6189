#pragma once

namespace talvo {

// Puts /dev/null, opened so that it cannot be written, in the place of a standard stream that
// the caller closed (">&-"). Otherwise the next file the program opens takes that number and
// receives what was meant for the terminal; this way writing the closed stream fails, and the
// program can say so. Call first thing in main.
void holdClosedStandardStreams();

} // namespace talvo
