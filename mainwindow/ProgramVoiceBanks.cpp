#include "mainwindow/ProgramVoiceBanks.h"

#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "render/VoiceBankList.h"

namespace tova {

void ProgramVoiceBanks::LoadVoiceBankList() { tova::LoadVoiceBankList(); }

QStringList ProgramVoiceBanks::VoiceBankList() { return tova::VoiceBankList(); }

void ProgramVoiceBanks::ClearOtoTable() { tova::ClearOtoTable(); }

void ProgramVoiceBanks::LoadOtoIni(const QString& voiceDir) { tova::LoadOtoIni(voiceDir); }

int32_t ProgramVoiceBanks::LoadPrefixMap(const QString& voiceDir) { return tova::LoadPrefixMap(voiceDir); }

QStringList ProgramVoiceBanks::FindAliasForLyric(const QString& lyric) { return tova::FindAliasForLyric(lyric); }

}  // namespace tova
