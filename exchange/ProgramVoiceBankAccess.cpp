#include "exchange/ProgramVoiceBankAccess.h"

#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "render/VoiceBankList.h"

namespace tova {

QStringList ProgramVoiceBankAccess::VoiceBankList() { return tova::VoiceBankList(); }

void ProgramVoiceBankAccess::LoadVoiceBankList() { tova::LoadVoiceBankList(); }

void ProgramVoiceBankAccess::ClearOtoTable() { tova::ClearOtoTable(); }

void ProgramVoiceBankAccess::LoadOtoIni(const QString& folder) { tova::LoadOtoIni(folder); }

qint32 ProgramVoiceBankAccess::LoadPrefixMap(const QString& folder) { return tova::LoadPrefixMap(folder); }

QString ProgramVoiceBankAccess::GetSampleAlias(const QString& sample) { return tova::GetSampleAlias(sample); }

QString ProgramVoiceBankAccess::StripPrefixMap(qint32 noteNum, const QString& alias) {
    return tova::StripPrefixMap(noteNum, alias);
}

void ProgramVoiceBankAccess::ReadCharacterTxt(QString& folder, QString& name, QString& image) {
    QString sample, author, web, description;
    tova::ReadCharacterTxt(folder, name, image, sample, author, web, description);
}

QStringList ProgramVoiceBankAccess::FindAliasForLyric(const QString& lyric) { return tova::FindAliasForLyric(lyric); }

}  // namespace tova
