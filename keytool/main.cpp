// talvo-key: the Talvo key's maintenance from the command line, for scripts and batches, over
// the tool's own driver binding and page logic.

#include "KeyTool.h"
#include "platform/core/StandardStreams.h"

#include <clocale>

int main(int argc, char** argv)
{
    talvo::holdClosedStandardStreams();
    std::setlocale(LC_ALL, "");
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return talvo::keytool::KeyTool().run(arguments);
}
