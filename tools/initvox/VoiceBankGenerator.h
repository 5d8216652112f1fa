#pragma once

#include "tools/initvox/OtoTiming.h"
#include "tools/initvox/SampleShape.h"
#include "tools/initvox/SpeechEngine.h"
#include "tools/initvox/SyllableTable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tova::initvox {

// Makes the default voice bank in a folder from the generator's table: one wave per sample (spoken
// by the speech engine, or silence), oto.ini (code page 932, CR LF) with each spoken sample's timing
// estimated from its own energy and pitch, character.txt naming the bank, and each spoken sample's
// frequency table made by the note renderer (tool 2).
class VoiceBankGenerator {
public:
    // A vowel shorter than this is reported: notes longer than it stretch the vowel further.
    static constexpr double kShortestVowelMs = 500.0;

    struct Made {
        QString file;          // sample file name, "<sample>.wav"
        bool spoken = false;   // false for a silent sample (no oto.ini line, no frequency table)
        SampleShape shape;
        OtoTiming timing;
    };

    // `workers` is the number of speech and tool-2 runs at once (0: one per processor).
    VoiceBankGenerator(SyllableTable table, QString folder, SpeechEngine& speech, int workers = 0);

    // True when every sample of the table, oto.ini and character.txt lie in the folder.
    bool bankComplete() const;

    // Makes the whole bank anew: oto.ini is removed first and written last, so a run that stops part
    // way leaves an incomplete bank that the next run makes again. Old frequency tables of the samples
    // are removed. Throws TovaError when a sample cannot be spoken or written; `warnings` receives
    // lines about usable samples with a short vowel.
    QList<Made> makeBank(QStringList* warnings = nullptr);

    // The spoken samples (file names) whose frequency table is missing.
    QStringList samplesWithoutTable() const;

    // Runs tool 2 once per sample, several at once, with the voice-bank manager's table-only call
    // (sample, "nul", "100", "100", "GN", "0", "100"); returns the samples that still have no table.
    QStringList makeFrequencyTables(const QString& tool2, const QStringList& files) const;

    QString path(const QString& file) const;

private:
    SyllableTable table_;
    QString folder_;
    SpeechEngine& speech_;
    int workers_;
};

}  // namespace tova::initvox
