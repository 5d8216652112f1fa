#pragma once

#include <stdexcept>
#include <string>

namespace tova::lean {

// A failure of the Qt-free core, with the classic runtime error number of its kind (6 overflow,
// 53 file not found, 57 input/output, 75 path or file access). The message is UTF-8.
class Failure : public std::runtime_error {
public:
    Failure(int number, const std::string& message) : std::runtime_error(message), number_(number) {}
    int number() const { return number_; }

    static constexpr int Overflow = 6;
    static constexpr int FileNotFound = 53;
    static constexpr int Io = 57;
    static constexpr int Access = 75;

private:
    int number_;
};

}  // namespace tova::lean
