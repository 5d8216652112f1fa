#pragma once

// A fake edit context over a small song with a window host that records the Edit menu and keeps the
// lyric entry box, for the tests of the editing commands.
#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"
#include "song/SongHost.h"

#include <QStringList>

#include <string>

#include <gtest/gtest.h>

namespace tova::test {

class EditFixture {
public:
    class Host : public SongHost {
    public:
        explicit Host(FakeEditContext& c) : c_(c) {}
        void UpdateCaption() override {}
        void DrawBackground() override { c_.DrawBackground(); }
        void DrawNotes() override { c_.DrawNotes(); }
        void ApplyLyricText(qint32, const QString&) override {}
        void SetLyricQueueText(const QString& text) override { c_.lyricEntry = text; }
        void SetUndoMenuCaption(const QString& caption) override { undoCaption = caption; }
        void SetUndoMenuEnabled(bool) override {}
        void SetRedoMenuCaption(const QString&) override {}
        void SetRedoMenuEnabled(bool) override {}
        void TrimNoteGeometry(qint32) override {}
        QString undoCaption;

    private:
        FakeEditContext& c_;
    };

    EditFixture() : host(c) {
        saved = settings();
        settings() = Settings();
        c.s.attach(&host, &c.cache);
    }
    ~EditFixture() { settings() = saved; }

    // Notes of these lyrics, lengths and note numbers, with an extension string that tells them apart.
    void setNotes(const QStringList& lyrics, const QList<qint32>& lengths, const QList<qint32>& noteNums) {
        Song& s = c.s;
        s.Lyrics = lyrics;
        s.Lengths = lengths;
        s.NoteNums = noteNums;
        s.NoteExt.clear();
        for (qsizetype i = 0; i < lyrics.size(); ++i)
            s.NoteExt << QStringLiteral("::\t100\t0\t\t\tlabel=n") + QString::number(i);
        if (lyrics.isEmpty()) s.makeEmpty();
        c.setSelection(s.noteCount(), s.noteCount());
    }
    // Every note as its record line, for comparing whole songs; extension strings in their six-field form
    // (an empty one and six empty fields read alike, and undo records give the latter).
    std::string notes() const {
        QString out;
        for (qint32 i = 0; i < c.s.noteCount(); ++i)
            out += QString::number(c.s.Lengths.at(i)) + u'\t' + c.s.Lyrics.at(i) + u'\t' + QString::number(c.s.NoteNums.at(i)) +
                   u'\t' + JoinNoteExt(SplitNoteExt(c.s.NoteExt.at(i))) + u'\n';
        return out.toStdString();
    }
    QStringList lyrics() const { return c.s.Lyrics; }
    // Runs a command that must change the notes as exactly one step `caption` (shown in the Edit menu),
    // and checks that undo puts the notes and the modified flag back and redo takes them forth again.
    void expectOneStep(const CommandRegistry& registry, const QString& command, const QString& caption) {
        const std::string before = notes();
        ASSERT_TRUE(registry.run(command, c));
        const std::string after = notes();
        EXPECT_NE(after, before);
        EXPECT_EQ(c.s.UndoPos, 1);
        EXPECT_TRUE(c.s.IsModified);
        EXPECT_EQ(c.s.UndoCaptions.value(0), caption);
        EXPECT_EQ(host.undoCaption, caption + QStringLiteral("を元に戻す(&U)"));
        ASSERT_TRUE(c.s.Undo());
        EXPECT_EQ(notes(), before);
        EXPECT_FALSE(c.s.IsModified);
        ASSERT_TRUE(c.s.Redo());
        EXPECT_EQ(notes(), after);
        EXPECT_TRUE(c.s.IsModified);
    }

    ScopedFakePorts ports;
    FakeEditContext c;
    Host host;
    Settings saved;
};

}  // namespace tova::test
