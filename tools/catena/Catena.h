#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// Tool 1, the concatenator. Its program and its library form both come here, so the same call gives
// the same bytes either way.
class Catena {
public:
    // Appends one piece to the parts of `output` (see CatenaParts): `lengthText` (see CatenaLength) of
    // `input` from `startPointText` ms on, shaped by `envelope` (see CatenaEnvelope), starting the
    // envelope's overlap before the current end. Throws a TovaError when the parts cannot be written.
    static void append(const QString& output, const QString& input, const QString& startPointText,
                       const QString& lengthText, const QStringList& envelope);

    // Joins the header part and the data part into the output wave.
    static void appendFiles(const QString& headerPart, const QString& dataPart, const QString& output);

    // The program: arguments output, input, start point, length, then the envelope values. Returns the
    // exit code (0 done, 1 failed, 2 wrong arguments) after writing any complaint to `errors`.
    static int runProgram(const QStringList& arguments, QString& errors);

    // Milliseconds to whole samples at 44100 Hz (halves away from zero), limited to +-2^50.
    static qint64 toFrames(double ms);
};

}  // namespace tova
