#pragma once

#include "core/Settings.h"
#include "song/NoteCache.h"
#include "song/NoteExtension.h"
#include "song/Song.h"
#include "song/SongHost.h"

#include <QList>
#include <QPair>
#include <QStringList>

namespace tova::test {

// Records what the song asks of its window. Like the real window, ApplyLyricText copies a voice
// sample's timing into the note (here a fixed "7:3") and marks the project modified.
class FakeSongHost : public SongHost {
public:
    explicit FakeSongHost(Song& song) : song_(song) {}

    int captionUpdates = 0;
    int backgroundDraws = 0;
    int noteDraws = 0;
    QStringList lyricsApplied;
    QString lyricQueue;
    QString undoCaption, redoCaption;
    bool undoEnabled = false, redoEnabled = false;
    QList<qint32> geometryTrims;

    void UpdateCaption() override { ++captionUpdates; }
    void DrawBackground() override { ++backgroundDraws; }
    void DrawNotes() override { ++noteDraws; }
    void ApplyLyricText(qint32 index, const QString& text) override {
        lyricsApplied << text;
        SetNotePreOverlap(song_.NoteExt[index], QStringLiteral("7"), QStringLiteral("3"));
        song_.Lyrics[index] = text;
        song_.SetModified(true);
    }
    void SetLyricQueueText(const QString& text) override { lyricQueue = text; }
    void SetUndoMenuCaption(const QString& caption) override { undoCaption = caption; }
    void SetUndoMenuEnabled(bool enabled) override { undoEnabled = enabled; }
    void SetRedoMenuCaption(const QString& caption) override { redoCaption = caption; }
    void SetRedoMenuEnabled(bool enabled) override { redoEnabled = enabled; }
    void TrimNoteGeometry(qint32 noteCount) override { geometryTrims << noteCount; }

private:
    Song& song_;
};

class FakeNoteCache : public NoteCache {
public:
    QList<QPair<QString, qint32>> deleted;
    void DeleteNoteCacheFiles(const QString& cacheFolder, qint32 noteIndex) override {
        deleted.append({cacheFolder, noteIndex});
    }
};

// Restores the program settings that a test changes.
class SettingsGuard {
public:
    SettingsGuard() : saved_(settings()) {}
    ~SettingsGuard() { settings() = saved_; }

private:
    Settings saved_;
};

// A song of `count` notes with distinct values: lyric "n<i>", length 480 * (i + 1), note number 30 + i,
// an extension string with every field and an option. Nothing selected.
inline void fillSong(Song& song, int count) {
    song.makeEmpty();
    song.resizeNotes(count);
    for (int i = 0; i < count; ++i) {
        song.Lyrics[i] = QStringLiteral("n%1").arg(i);
        song.Lengths[i] = 480 * (i + 1);
        song.NoteNums[i] = 30 + i;
        song.NoteExt[i] = QStringLiteral("10:5:100\t100\t0\t-20Q120 0 5\tg-%1\tlabel=L%1\\nenv=0 5 35 0 100 100 0").arg(i);
    }
    song.SelStart = song.SelEnd = count;
}

}  // namespace tova::test
