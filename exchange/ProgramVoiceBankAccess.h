#pragma once

#include "exchange/VoiceBankAccess.h"

namespace tova {

// The program's voice banks: the voice-bank list, the loaded oto table and prefix map of the voice
// lookup services, and the profile reader.
class ProgramVoiceBankAccess : public VoiceBankAccess {
public:
    QStringList VoiceBankList() override;
    void LoadVoiceBankList() override;
    void ClearOtoTable() override;
    void LoadOtoIni(const QString& folder) override;
    qint32 LoadPrefixMap(const QString& folder) override;
    QString GetSampleAlias(const QString& sample) override;
    QString StripPrefixMap(qint32 noteNum, const QString& alias) override;
    void ReadCharacterTxt(QString& folder, QString& name, QString& image) override;
    QStringList FindAliasForLyric(const QString& lyric) override;
};

}  // namespace tova
