#include "cli.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = korvala::cli::Run(args, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "korvala-cli: the output could not be written\n";
        return korvala::cli::kExitFailed;
    }
    return code;
}
