#pragma once

#include <QString>

namespace tova {

class Song;

// The export command "エクスポート(&E)...": one save dialog offers the formats and the chosen name's
// extension (in any letter case, at the very end of the name; a name without one takes the chosen
// filter's) picks the writer: ".vsq" a VSQ file, ".stm" the MIDI variant "TM", ".aqu" the variant "AQ",
// anything else the plain MIDI export. A file the dialog did not confirm (one whose name differs only
// in letter case, or the name with the added extension) is replaced only after "'{1}'を上書きします". The export
// changes neither the project nor its modified state. A song the writers refuse (a note outside the
// MIDI range) shows "ファイル形式が正しくありません" and writes nothing; errors of the file itself reach
// the caller.
class SongExport {
public:
    explicit SongExport(const Song& song) : song_(song) {}

    void mnSaveExport_Click();
    // The four exports; false when the song was refused (the message has been shown).
    bool ExportSmf(const QString& path);
    bool ExportSmfTM(const QString& path);
    bool ExportSmfAQ(const QString& path);
    bool ExportVsq(const QString& path);

private:
    bool exportSmf(const QString& path, bool withTempo, const QString& mode);

    const Song& song_;
};

}  // namespace tova
