// catena: appends one piece of a sound to the two parts of an output wave.
//   catena output input start-point length [p1 p2 p3 v1 v2 v3 v4 [overlap [p4 [p5 [v5]]]]]
#include "tools/catena/Catena.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string errors;
    const int code = tova::Catena::runProgram(arguments, errors);
    if (!errors.empty()) std::fputs(errors.c_str(), stderr);
    return code;
}
