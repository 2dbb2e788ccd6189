// talvo-stamp-cli: the key holder puts a seal of the key on a PDF and signs it with the key.

#include "StampTool.h"
#include "platform/core/StandardStreams.h"

#include <clocale>

int main(int argc, char** argv)
{
    talvo::holdClosedStandardStreams();
    std::setlocale(LC_ALL, "");
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return talvo::stamp::StampTool().run(arguments);
}
