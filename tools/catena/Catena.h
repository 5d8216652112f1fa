#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tova {

// Tool 1, the concatenator. Its program and its library form both come here, so the same call gives
// the same bytes either way.
class Catena {
public:
    // Appends one piece to the parts of `output` (see CatenaParts): `lengthText` (see CatenaLength) of
    // `input` from `startPointText` ms on, shaped by `envelope` (see CatenaEnvelope), starting the
    // envelope's overlap before the current end. Throws a TovaError when the parts cannot be written.
    static void append(const std::string& output, const std::string& input, const std::string& startPointText,
                       const std::string& lengthText, const std::vector<std::string>& envelope);

    // Joins the header part and the data part into the output wave.
    static void appendFiles(const std::string& headerPart, const std::string& dataPart, const std::string& output);

    // The program: arguments output, input, start point, length, then the envelope values. Returns the
    // exit code (0 done, 1 failed, 2 wrong arguments) after writing any complaint to `errors`.
    // Texts are UTF-8; a failure to write throws a lean::Failure.
    static int runProgram(const std::vector<std::string>& arguments, std::string& errors);

    // Milliseconds to whole samples at 44100 Hz (halves away from zero), limited to +-2^50.
    static std::int64_t toFrames(double ms);
};

}  // namespace tova
