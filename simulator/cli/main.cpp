#include "SimCommand.h"

#include <iostream>

int main(int argc, char** argv)
{
    return talvo::sim::runSimCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
