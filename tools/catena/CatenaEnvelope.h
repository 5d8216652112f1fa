#pragma once

#include <array>
#include <string>
#include <vector>

namespace tova {

// The volume envelope that shapes one appended piece, given as up to eleven values
// p1 p2 p3 v1 v2 v3 v4 [overlap [p4 [p5 [v5]]]] (times in ms, volumes in percent).
//
// In time order the piece's volume runs from 0 % at its start through P1 (p1 after the start, v1),
// P2 (p2 after P1, v2), P5 (p5 after P2, v5), P3 (p3 before P4, v3) and P4 (p4 before the end, v4) to
// 0 % at its end, linearly between the points. An absent or empty value takes its neutral default:
// times 0, v1..v4 those of "0 5 35 0 100 100 0" (0, 100, 100, 0), overlap 0, v5 the value of v2.
// Numbers are read leniently ("%" reads as 0); negative times and volumes count as 0. Points that
// would fall before an earlier point are moved onto it, and none lies past the end of the piece.
class CatenaEnvelope {
public:
    static constexpr int ValueCount = 11;

    explicit CatenaEnvelope(const std::vector<std::string>& values);

    // How far (ms) the piece starts before the current end of the output.
    double overlapMs() const { return overlap_; }

    // The envelope's points for a piece `lengthMs` long: times (ms, non-decreasing, within
    // 0..lengthMs) and volumes (%), from the start of the piece to its end.
    struct Point {
        double timeMs;
        double volume;
    };
    std::array<Point, 7> points(double lengthMs) const;

    // Volume in percent at `timeMs` after the start of a piece `lengthMs` long. Where two points share a
    // time the later one counts, so a volume step takes effect at its own time.
    double volumeAt(double timeMs, double lengthMs) const;

    // Multiplies each sample (at 44100 Hz from the piece's start) by the volume at its time.
    void shape(std::vector<double>& samples, double lengthMs) const;
    // The same for the `count` samples of a piece from its sample `first` on, held in `block`: each
    // gets exactly the factor it gets when the whole piece is shaped at once.
    void shape(double* block, std::size_t first, std::size_t count, double lengthMs) const;

    static constexpr int SampleRate = 44100;

private:
    static double interpolate(const std::array<Point, 7>& pts, double timeMs, std::size_t& k);

    double p1_ = 0, p2_ = 0, p3_ = 0, p4_ = 0, p5_ = 0;
    double v1_ = 0, v2_ = 100, v3_ = 100, v4_ = 0, v5_ = 100;
    double overlap_ = 0;
};

}  // namespace tova
