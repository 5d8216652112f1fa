#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace tova {

// Re-rendering an output of which only a stretch changed: the appends of tool 1 that give the same
// bytes as in the previous render are not made again, their bytes are taken from the previous output.
//
// A render is a list of pieces, the tool-1 appends in order. A piece's key is the exact text of its
// call plus, for an input that is not a cache file, the input's size and modification time (a cache
// file's name stands for its content). The concatenator places a piece of F frames with overlap O on
// a data part of E frames at S = max(0, E - O): it touches the data from min(S, E) on and leaves
// max(E, S + F) frames. A piece r that reads nothing already there (S >= E) and below whose start
// E_r no later piece touches is a restart point: the bytes before E_r are final once the pieces
// before r are appended, and the bytes from E_r on depend only on the pieces from r on.
namespace RenderReuse {

// The key of one piece. `lengthText` and `envelope` (the envelope values as given to the road,
// separated by blanks) come first, as the geometry is read from them; the rest names the input.
QString pieceKey(const QString& road, const QString& kind, const QString& lengthText, const QString& envelope,
                 const QString& input, const QString& startText, const QString& inputStamp = QString());

// Where a piece lands (frames of the data part).
struct Placement {
    std::int64_t endBefore = 0;    // E: the data's length before the piece
    std::int64_t start = 0;        // S
    std::int64_t touchedFrom = 0;  // min(S, E)
    std::int64_t endAfter = 0;     // max(E, S + F)
};

// The placements of the pieces in order, with the concatenator's own arithmetic.
std::vector<Placement> simulate(const QStringList& keys);

// For each position 0..n (n: the end, after every piece), whether it is a restart point.
std::vector<bool> restartPoints(const std::vector<Placement>& placements);

// How the new render reuses the old output: the new pieces [first, newEnd) are appended afresh; the
// output is the old data [0, headFrames), those pieces' data (middleFrames long) and the old data from
// oldTailFrom on (to oldTotal).
struct Reuse {
    int first = 0;        // r
    int newEnd = 0;       // s' (new render)
    int oldEnd = 0;       // s (old render)
    std::int64_t headFrames = 0;    // E_r
    std::int64_t middleFrames = 0;  // new E_s' - E_r
    std::int64_t oldTailFrom = 0;   // old E_s
    std::int64_t oldTotal = 0;      // old data length
    std::int64_t newTotal = 0;      // new data length
};

// The reuse with the fewest pieces to append, or none when every new piece would be appended anyway.
std::optional<Reuse> findReuse(const QStringList& oldKeys, const QStringList& newKeys);

// The record of a finished render, kept in the cache folder.
struct Record {
    QString output;
    std::int64_t size = 0;
    std::int64_t mtimeNs = -1;
    QStringList keys;
};

// "<cacheFolder>/<output's base name>.render".
QString recordPath(const QString& cacheFolder, const QString& output);
QByteArray formatRecord(const Record& record);
std::optional<Record> parseRecord(const QByteArray& bytes);
// Written atomically (not synced: the record is checked against the output it describes).
bool writeRecord(const QString& path, const Record& record);
std::optional<Record> readRecord(const QString& path);

// Size and modification time (ns) of a file on disk (resolved), or none.
struct Stamp {
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;
};
std::optional<Stamp> stampOf(const QString& path);

// An output of the previous render held open, so it stays readable after its name is removed.
class OldOutput {
public:
    OldOutput() = default;
    ~OldOutput();
    OldOutput(const OldOutput&) = delete;
    OldOutput& operator=(const OldOutput&) = delete;
    // Opens `output` when the record describes it: same path, size and modification time, and the
    // canonical wave header for its size. False (nothing held) otherwise.
    bool open(const QString& output, const Record& record);
    bool isOpen() const { return fd_ >= 0; }
    std::int64_t dataFrames() const { return dataFrames_; }
    void close();
    // Closes it on a thread of its own: the last close of a file whose name is gone frees its blocks,
    // which takes longer than writing the new output, and nobody waits for that.
    void closeInBackground();

    // Writes `output` once, atomically and synced: the header for the new total, the old data
    // [0, headFrames), the whole data part `middleData` (which must be middleFrames long) and the old
    // data from oldTailFrom on. Throws a FileError when anything cannot be read or written; the output
    // is then not written.
    void writeSpliced(const Reuse& reuse, const QString& middleData, const QString& output) const;

private:
    int fd_ = -1;
    std::int64_t dataFrames_ = 0;
};

}  // namespace RenderReuse
}  // namespace tova
