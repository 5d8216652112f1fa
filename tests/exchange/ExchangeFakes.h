#pragma once

#include "exchange/ProjectWindow.h"
#include "exchange/VoiceBankAccess.h"
#include "song/Song.h"

#include <QHash>
#include <QPair>
#include <QStringList>

namespace tova::test {

// The main window as opening a project sees it: a song and the controls that show it, each call
// recorded. NewProject resets the song as the real window does.
class FakeProjectWindow : public ProjectWindow {
public:
    Song theSong;
    QString tempoText;
    QList<float> tempoStatus;
    QList<bool> mode2Box;
    int newProjects = 0;
    int backgroundDraws = 0;
    int noteDraws = 0;
    int projectSettingsOpened = 0;
    QString voiceName;
    QStringList voicePictures;

    Song& song() override { return theSong; }
    void NewProject() override {
        ++newProjects;
        theSong.makeEmpty();
        theSong.ProjectPath.clear();
        theSong.ProjectName = QStringLiteral("新規プロジェクト");
        theSong.CacheDir.clear();
        theSong.ProjectFlags.clear();
        theSong.Tempo = 120.0f;
        tempoText = QStringLiteral("120.0");
    }
    void SetTempoText(const QString& text) override { tempoText = text; }
    void UpdateTempoStatus(float tempo) override { tempoStatus << tempo; }
    void SetMode2Box(bool on) override { mode2Box << on; }
    void DrawBackground() override { ++backgroundDraws; }
    void DrawNotes() override { ++noteDraws; }
    void mnProjSetting_Click() override { ++projectSettingsOpened; }
    void ShowVoiceName(const QString& name) override { voiceName = name; }
    void ShowVoicePicture(const QString& path) override { voicePictures << path; }
};

// A voice bank held in memory: samples with their aliases, a prefix map by note number and profiles by
// folder. Loads are recorded.
class FakeVoiceBank : public VoiceBankAccess {
public:
    QStringList banks;                              // name TAB folder
    QHash<QString, QString> aliases;                // sample name (no extension) -> alias
    QHash<qint32, QPair<QString, QString>> prefix;  // note -> prefix, suffix
    struct Profile {
        QString name, image, aliasFolder;
    };
    QHash<QString, Profile> profiles;               // folder -> profile
    QStringList otoLoads, prefixLoads;
    int otoClears = 0;
    int listLoads = 0;

    QStringList VoiceBankList() override { return banks; }
    QStringList FindAliasForLyric(const QString&) override { return {}; }
    void LoadVoiceBankList() override { ++listLoads; }
    void ClearOtoTable() override { ++otoClears; }
    void LoadOtoIni(const QString& folder) override { otoLoads << folder; }
    qint32 LoadPrefixMap(const QString& folder) override {
        prefixLoads << folder;
        return qint32(prefix.size());
    }
    QString GetSampleAlias(const QString& sample) override {
        const QString a = aliases.value(sample);
        return a.isEmpty() ? sample : a;
    }
    QString StripPrefixMap(qint32 noteNum, const QString& alias) override {
        if (!prefix.contains(noteNum)) return alias;
        const auto [pre, suf] = prefix.value(noteNum);
        if (alias.startsWith(pre) && alias.endsWith(suf) && alias.size() >= pre.size() + suf.size())
            return alias.mid(pre.size(), alias.size() - pre.size() - suf.size());
        return u'?' + alias;
    }
    void ReadCharacterTxt(QString& folder, QString& name, QString& image) override {
        name.clear();
        image.clear();
        if (!profiles.contains(folder)) return;
        const Profile p = profiles.value(folder);
        if (!p.aliasFolder.isEmpty()) folder = p.aliasFolder;
        name = p.name;
        image = p.image;
    }
};

}  // namespace tova::test
