// Loads the library named on the command line with DynamicLibrary and prints the file that was
// loaded (exit 0), or why none was (exit 1).

#include "platform/core/DynamicLibrary.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
        return 2;
    }
    const talvo::DynamicLibrary library(argv[1]);
    if (!library.isLoaded()) {
        std::fprintf(stderr, "%s\n", library.errorText().c_str());
        return 1;
    }
    std::printf("%s\n", library.path().c_str());
    return 0;
}
