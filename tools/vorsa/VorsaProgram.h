#pragma once

#include <string>
#include <vector>

namespace tova::vorsa {

class SampleCache;

// The note renderer as a program, for the program itself and for a batch runner that runs it in
// process: the arguments of a render call by position (UTF-8 texts), the exit code returned and the
// complaints the program writes to standard error, each line "vorsa: ..." with its line break, given
// in `errors`. `cache` keeps what was read of a sample for later calls (the output is the same bytes
// with it or without).
class VorsaProgram {
public:
    static int run(const std::vector<std::string>& arguments, std::string& errors, SampleCache* cache = nullptr);
};

}  // namespace tova::vorsa
