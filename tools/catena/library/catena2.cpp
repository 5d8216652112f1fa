// The library form of the concatenator, loaded by the editor: texts arrive as NUL-terminated strings
// in code page 932, or in UTF-8 after the mark EF BB BF (characters the code page lacks); results are
// 0 on success and 1 on failure.
#include "platform/lean/Cp932Text.h"
#include "tools/catena/Catena.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

std::string text(const char* s) { return s ? tova::lean::decodeMarkedCp932(s) : std::string(); }

}  // namespace

extern "C" {

// Appends one piece: output, input, start point (ms), length, then the eleven envelope values
// p1 p2 p3 v1 v2 v3 v4 overlap p4 p5 v5 (empty texts take their defaults).
__attribute__((visibility("default"))) int32_t exec(const char* output, const char* input, const char* startPoint,
                                                    const char* length, const char* e0, const char* e1,
                                                    const char* e2, const char* e3, const char* e4,
                                                    const char* e5, const char* e6, const char* e7,
                                                    const char* e8, const char* e9, const char* e10) {
    try {
        const std::vector<std::string> envelope{text(e0), text(e1), text(e2), text(e3), text(e4), text(e5),
                                   text(e6), text(e7), text(e8), text(e9), text(e10)};
        tova::Catena::append(text(output), text(input), text(startPoint), text(length), envelope);
        return 0;
    } catch (...) {
        return 1;
    }
}

// Joins the header part and the data part into the output wave.
__attribute__((visibility("default"))) int32_t append_files(const char* headerPart, const char* dataPart,
                                                            const char* output) {
    try {
        tova::Catena::appendFiles(text(headerPart), text(dataPart), text(output));
        return 0;
    } catch (...) {
        return 1;
    }
}

}  // extern "C"
