#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// What the main window and opening, reading and configuring a project need of the voice-bank services: the list of
// installed banks, the oto table and prefix map of the current bank and a bank's profile. The program's
// implementation forwards to the voice-lookup services; tests give a fake bank.
class VoiceBankAccess {
public:
    virtual ~VoiceBankAccess() = default;

    // The installed banks, one entry each: display name, TAB, folder (further TAB fields may follow;
    // empty entries may occur).
    virtual QStringList VoiceBankList() = 0;
    // Rescans the voice root and the registered banks.
    virtual void LoadVoiceBankList() = 0;
    // Empties the oto table of the current bank.
    virtual void ClearOtoTable() = 0;
    // Loads a bank's oto.ini files as the current bank.
    virtual void LoadOtoIni(const QString& folder) = 0;
    // Loads a bank's prefix.map (an empty map without the file); the number of lines read.
    virtual qint32 LoadPrefixMap(const QString& folder) = 0;
    // The alias of the first oto entry of a sample (its file name without extension, sub-folder kept),
    // or the name itself when there is none.
    virtual QString GetSampleAlias(const QString& sample) = 0;
    // The lyric that gives back the alias at that note: the alias without the note's prefix and suffix.
    virtual QString StripPrefixMap(qint32 noteNum, const QString& alias) = 0;
    // The bank's profile: its display name and picture file ("" when not given). A profile that names
    // another folder replaces `folder` by it (the picture lies there).
    virtual void ReadCharacterTxt(QString& folder, QString& name, QString& image) = 0;
    // The alias candidates of the loaded voice bank for a lyric.
    virtual QStringList FindAliasForLyric(const QString& lyric) = 0;
};

}  // namespace tova
