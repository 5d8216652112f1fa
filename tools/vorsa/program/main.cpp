// The note renderer as a program: the arguments of a render call by position, as the system gives
// them (UTF-8 bytes).

#include "tools/vorsa/VorsaProgram.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string errors;
    const int code = tova::vorsa::VorsaProgram::run(arguments, errors);
    if (!errors.empty()) std::fputs(errors.c_str(), stderr);
    return code;
}
