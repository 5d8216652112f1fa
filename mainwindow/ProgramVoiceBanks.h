#pragma once

#include "mainwindow/VoiceBankPort.h"

namespace tova {

// The program's voice banks for the main window: the voice-bank list, the loaded oto.ini table and
// prefix map, and the alias lookup.
class ProgramVoiceBanks : public VoiceBankPort {
public:
    void LoadVoiceBankList() override;
    QStringList VoiceBankList() override;
    void ClearOtoTable() override;
    void LoadOtoIni(const QString& voiceDir) override;
    int32_t LoadPrefixMap(const QString& voiceDir) override;
    QStringList FindAliasForLyric(const QString& lyric) override;
};

}  // namespace tova
