// corvalo-cli: Corvalo's clipboard calculation on files or standard input.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return corvalo::cli::run(args, STDIN_FILENO, corvalo::platform::readUserLocaleSeparators(),
                             std::cout, std::cerr);
}
