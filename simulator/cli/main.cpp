#include "SimCommand.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    // Whatever goes wrong ends in a message and status 1, never in an abort.
    try {
        return talvo::sim::runSimCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                         std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "talvo-sim: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "talvo-sim: unexpected failure\n";
    }
    return 1;
}
