#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// Voice banks as the main window uses them: the voice-bank list, oto.ini, prefix.map and alias lookup.
class VoiceBankPort {
public:
    virtual ~VoiceBankPort() = default;
    // Rebuilds the voice-bank list from the voice root and the OtoList setting.
    virtual void LoadVoiceBankList() = 0;
    // The voice-bank list: one entry per bank, TAB-separated fields, field 0 the name, field 1 the folder.
    virtual QStringList VoiceBankList() = 0;
    virtual void ClearOtoTable() = 0;
    virtual void LoadOtoIni(const QString& voiceDir) = 0;
    virtual int32_t LoadPrefixMap(const QString& voiceDir) = 0;
    // The alias candidates of the loaded voice bank for a lyric.
    virtual QStringList FindAliasForLyric(const QString& lyric) = 0;
};

}  // namespace tova
