// Hostile text typed or pasted into the text boxes of the program's windows: after the box is
// accepted, the song saves twice to the same bytes, reads back to the same notes, and undo and redo
// of the step give the song before and after it exactly.
#include "MainWindowRig.h"
#include "../exchange/ExchangeFakes.h"

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "core/WindowRegistry.h"
#include "editors/DefaultPropertyDialog.h"
#include "editors/EnvelopeEditor.h"
#include "editors/NoteDialogsPort.h"
#include "editors/NotePropertyDialog.h"
#include "editors/PitchControl.h"
#include "editors/VolumeFunctionizer.h"
#include "mainwindow/OptionsDialog.h"
#include "mainwindow/ProjectSettingsDialog.h"
#include "mainwindow/ui/WindowLoaders.h"
#include "platform/midi/FakeMidiSystem.h"
#include "song/NoteExtension.h"
#include "song/FreeText.h"
#include "song/ProjectFile.h"
#include "support/TestSupport.h"
#include "voicebank/PrefixMapEditor.h"
#include "voicebank/SuffixBroker.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList& hostileTexts() {
    static const QStringList texts = {u"a\tb"_s, u"a\r\nb"_s, u"C:\\new"_s, u"a=b"_s,  u"a,b"_s,  u"a|b"_s,
                                      u"1e999"_s, u"-1e999"_s, u"nan"_s,    u"inf"_s, QString(20000, u'x')};
    return texts;
}

// The note dialogs with every text box given the same text, then OK.
class HostileNoteDialogs : public NoteDialogsPort {
public:
    QString text;

    bool ShowProperty(qint32 first, qint32 last, NoteArrays& notes, QObject*) override {
        NotePropertyDialog d(settings());
        d.Load(first, last, notes, {});
        for (NotePropertyDialog::Field* f : {&d.txtWord, &d.txtLeng, &d.txtOffset, &d.txtOverlap, &d.txtVel, &d.txtVolume,
                                             &d.txtModulation, &d.txtBre, &d.txtFlags, &d.txtSTP})
            *f = {text, true};
        // "Others...": the text as the value of an option the project file keeps (a line break there
        // starts the next entry, as the editor shows one entry per line).
        d.cmdOthers_Click([&](QString& t) { t = u"@x="_s + text; });
        // OK corrects a value out of range and stays open; the next OK takes the corrected value.
        for (int k = 0; k < 4 && !d.Result; ++k) d.OKButton_Click();
        if (!d.Result) return false;
        d.ApplyToNotes(first, last, notes);
        return true;
    }
    bool ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                QObject*) override {
        VolumeFunctionizer v;
        v.txtMul_Change(text);
        MultiplyVolume(first, last, lyrics, noteExt, v.gain());
        return true;
    }
    void ShowDefaultProperty(QObject*) override {}
    std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject*) override {
        EnvelopeEditor e;
        if (!e.setUp(args)) return std::nullopt;
        for (int slot = 0; slot < 12; ++slot) e.txtParam_Change(slot, text);
        e.writeBack(args);
        return true;
    }
    bool ShowPitchControl(qint32 first, qint32 last, NoteArrays& notes, float tempo, QObject*) override {
        PitchControl p(settings());
        p.fill(first, last, notes);
        p.chkPortamento = 1;
        p.chkVibrato = 1;
        p.txtPorStart_Change(text);
        p.txtPorWidth_Change(text);
        for (int box = 0; box < 8; ++box) p.txtV_Change(box, text);
        p.OKButton_Click();
        p.apply(first, last, notes, tempo);
        return true;
    }
    bool ShowPitchEditor(float, const QString&, const QString&, qint32, NoteArrays&, QObject*) override { return false; }
};

struct HostileRig : MainWindowRig {
    HostileNoteDialogs dialogs;
    HostileRig() {
        ports.noteDialogs = &dialogs;
        start();
        // A song as the project file gives it, so that every extension string has its read-back form.
        ProjectSettings ps = w().song.projectSettings();
        qint32 index = 0;
        NoteArrays notes;
        QString text = u"[#SETTING]\r\nTempo=120.00\r\n"_s;
        const char* lyrics[] = {"あ", "か", "さ", "た"};
        for (int i = 0; i < 4; ++i)
            text += FormatNoteSection(u"%1"_s.arg(i, 4, 10, QChar(u'0')), 480, QString::fromUtf8(lyrics[i]), 40,
                                      u"::\t\t\t\t\t"_s);
        ReadProjectText(text + u"[#TRACKEND]\r\n"_s, ps, index, notes);
        static_cast<NoteArrays&>(w().song) = notes;
        w().song.ResetUndoHistory();
        select(1, 1);
    }
    Song& song() { return w().song; }
    void select(qint32 a, qint32 b) {
        song().SelStart = a;
        song().SelEnd = b;
        w().CurNote = int16_t(a);
    }
    QString saved() const { return ProjectFileText(form->logic().song.projectSettings(), form->logic().song); }
};

// Every way into a box of a window the registry knows, by window.
struct Box {
    const char* window;
    const char* name;
    std::function<void(HostileRig&, const QString&)> enter;
};

const QList<Box>& boxes() {
    static const QList<Box> list = {
        {"Form1", "Text1 (Enter)", [](HostileRig& r, const QString& t) {
             qint32 note = 1;
             r.w().Boxes.ShowLyricEditBox(note);
             r.f().setText(u"Text1"_s, t);
             int key = 13;
             r.w().Boxes.Text1_KeyPress(key);
         }},
        {"Form1", "Text1 (lost focus)", [](HostileRig& r, const QString& t) {
             qint32 note = 1;
             r.w().Boxes.ShowLyricEditBox(note);
             r.f().setText(u"Text1"_s, t);
             r.w().Boxes.Text1_LostFocus();
         }},
        {"Form1", "Text2 (insert)", [](HostileRig& r, const QString& t) {
             r.f().setText(u"Text2"_s, t);
             r.f().runNamedCommand(u"cmdLyricIns"_s);
         }},
        {"Form1", "Text2 (replace)", [](HostileRig& r, const QString& t) {
             r.select(0, 3);
             r.f().setText(u"Text2"_s, t);
             r.f().runNamedCommand(u"cmdLyricRepl"_s);
         }},
        {"Form1", "mnToneIns input box", [](HostileRig& r, const QString& t) {
             r.modal.inputBox.answers.enqueue({true, t});
             r.f().runNamedCommand(u"mnToneIns"_s);
         }},
        {"Form1", "txtLabel", [](HostileRig& r, const QString& t) {
             r.w().Boxes.PlaceLabelEditor(1);
             r.f().setText(u"txtLabel"_s, t);
             r.w().Boxes.txtLabel_LostFocus();
         }},
        {"Form1", "region name input box", [](HostileRig& r, const QString& t) {
             r.select(1, 2);
             r.modal.inputBox.answers.enqueue({true, t});
             r.modal.inputBox.answers.enqueue({false, QString()});  // a name in use is asked again
             r.f().runNamedCommand(u"mnSelectRegionAdd"_s);
         }},
        {"Form1", "txtTempo input box", [](HostileRig& r, const QString& t) {
             r.modal.inputBox.answers.enqueue({true, t});
             r.w().Boxes.txtTempo_Click();
         }},
        {"frmNoteProperty", "every box and Others...", [](HostileRig& r, const QString& t) {
             r.dialogs.text = t;
             r.f().runNamedCommand(u"mnToneProp"_s);
         }},
        {"frmNoteProperty", "every box over a range", [](HostileRig& r, const QString& t) {
             r.select(0, 3);
             r.dialogs.text = t;
             r.f().runNamedCommand(u"mnToneProp"_s);
         }},
        {"frmDefaultProperty", "txtOtherFlags, then a new note", [](HostileRig& r, const QString& t) {
             DefaultPropertyDialog d(settings());
             d.Form_Load();
             d.txtOtherFlags_Change(t);
             d.cmdOK_Click();
             r.modal.inputBox.answers.enqueue({true, u"か"_s});
             r.f().runNamedCommand(u"mnToneIns"_s);
         }},
        {"frmVolumeFunctionizer", "txtMul", [](HostileRig& r, const QString& t) {
             r.select(0, 3);
             r.dialogs.text = t;
             r.f().runNamedCommand(u"mnVolumeFunc"_s);
         }},
        {"frmMode2", "portamento and vibrato boxes", [](HostileRig& r, const QString& t) {
             r.select(1, 2);
             r.dialogs.text = t;
             r.form->setValue(u"chkAutoPitchMode2"_s, 1);
             r.f().runNamedCommand(u"mnPBMode2Prop"_s);
         }},
        {"frmNotePropEx", "every envelope box", [](HostileRig& r, const QString& t) {
             r.dialogs.text = t;
             r.f().runNamedCommand(u"mnEnvelope"_s);
         }},
    };
    return list;
}

// A box whose text ends in a settings or voice-bank file: `enter` types the text and accepts the window
// (the rig's program folder holds the settings; `folder` is a voice folder); `reread` loads the file
// in a fresh model and accepts it unedited, which must write the same bytes.
struct FileBox {
    const char* window;
    const char* name;
    QString file;  // relative to the rig's program folder
    std::function<void(const QString& folder, const QString& text)> enter;
    std::function<void(const QString& folder)> reread;
    std::function<void(const QString& folder, const QString& text)> check;  // what the file reads back
};

const QList<FileBox>& fileBoxes() {
    static const QList<FileBox> list = {
        {"frmPrefixmap", "txtPrefix and txtSuffix", u"voice/prefix.map"_s,
         [](const QString& folder, const QString& t) {
             PrefixMapEditor m;
             m.Load(folder);
             m.rows[12].selected = true;
             m.ListView1_ItemClick();
             m.txtPrefix = t;
             m.txtSuffix = u"s"_s + t;
             m.cmdSet_Click();
             m.cmdOK_Click();
             EXPECT_TRUE(m.Result);
         },
         [](const QString& folder) {
             PrefixMapEditor m;
             m.Load(folder);
             m.cmdOK_Click();
             EXPECT_TRUE(m.Result);
         },
         [](const QString& folder, const QString& t) {
             const QList<PrefixMapRow> rows = PrefixMapEditor::ReadRows(folder + u"/prefix.map"_s);
             ASSERT_EQ(rows.size(), 84);
             EXPECT_EQ(rows[12].prefix, SafeFreeText(t, FreeTextUse::Alias));
             EXPECT_EQ(rows[12].suffix, SafeFreeText(u"s"_s + t, FreeTextUse::Alias));
             EXPECT_EQ(rows[11].prefix, QString());  // only the edited line changed
             EXPECT_EQ(rows[13].prefix, QString());
         }},
        {"frmSurffixBroker", "cboSurffix (Add, then OK over lyrics)", u"settings/suffixbroker.ini"_s,
         [](const QString&, const QString& t) {
             SuffixBroker b;
             b.Load();
             b.cboSurffix = t;
             b.cmdAdd_Click();
             b.cmdOK_Click();
             QStringList lyrics = {u"か"_s};
             b.Apply(0, 0, lyrics);
             const QString lyric = lyrics[0];
             EXPECT_EQ(lyric, SafeFreeText(lyric, FreeTextUse::Lyric));
             b.Unload();
         },
         [](const QString&) {
             SuffixBroker b;
             b.Load();
             b.Unload();
         },
         [](const QString&, const QString& t) {
             SuffixBroker b;
             b.Load();
             EXPECT_EQ(b.items.size(), SuffixBroker::DesignedSuffixes().size() + 1);
             EXPECT_EQ(b.items.last(), SafeFreeText(t, FreeTextUse::Alias));
         }},
        {"frmOptions", "txtOtoName, txtOtoPath, tool paths and txtVoiceParent", u"setting.ini"_s,
         [](const QString& folder, const QString& t) {
             FakeVoiceBank voices;
             OptionsDialog d(voices);
             d.Form_Load();
             d.txtOtoName_Change(t);
             d.txtOtoPath_Change(folder + u"/"_s + t);
             d.cmdOtoAdd_Click();
             // A tool path or voice folder that names no program or folder is refused with its message.
             d.txtTool1Path = t;
             d.cmdOK_Click();
             EXPECT_FALSE(d.Result);
             EXPECT_EQ(d.FocusControl, u"txtTool1Path"_s);
             writeFile(folder + u"/catena"_s, "#!/bin/sh\n");
             QFile::setPermissions(folder + u"/catena"_s, QFile::ReadOwner | QFile::ExeOwner);
             d.txtTool1Path = d.txtTool2Path = folder + u"/catena"_s;
             d.chkVoiceRoot_Click(true);
             d.txtVoiceParent = t;
             d.cmdOK_Click();
             EXPECT_FALSE(d.Result);
             EXPECT_EQ(d.FocusControl, u"txtVoiceParent"_s);
             d.txtVoiceParent = folder;
             d.cmdOK_Click();
             ASSERT_TRUE(d.Result);
             ASSERT_TRUE(SaveSettings());
         },
         [](const QString&) {
             settings() = Settings{};
             ASSERT_TRUE(LoadSettings());
             FakeVoiceBank voices;
             OptionsDialog d(voices);
             d.Form_Load();
             d.cmdOK_Click();
             ASSERT_TRUE(d.Result);
             ASSERT_TRUE(SaveSettings());
         },
         [](const QString& folder, const QString& t) {
             settings() = Settings{};
             ASSERT_TRUE(LoadSettings());
             ASSERT_FALSE(settings().OtoList.isEmpty());
             const QString name = SafeFreeText(QString(t).remove(u','), FreeTextUse::Line);
             EXPECT_EQ(settings().OtoList.last(),
                       name + u'\t' + SafeFreeText(folder + u"/"_s + t, FreeTextUse::Line));
             EXPECT_EQ(settings().VoiceRoot, folder);
         }},
    };
    return list;
}

// The windows of the registry whose boxes never hold a note's text: they edit settings, voice-bank
// files or choices; their text is made safe by the same rule (SafeFreeText) in their models.
const QStringList& windowsWithoutSongText() {
    static const QStringList names = {
                                      u"frmVoiceProperty"_s, u"frmSelectTrack"_s, u"frmPluginExecute"_s, u"Form2"_s,
                                      u"frmFromList"_s,
                                      u"frmEditFreqList"_s, u"frmOtoEdit"_s, u"frmFreqGen"_s};
    return names;
}

// An extension string with its timing field in the three-part form ("" and "::" are the same note).
QString readBackForm(const QString& ext) {
    QStringList f = SplitNoteExt(ext);
    QStringList timing = f[ExtTiming].split(u':');
    timing.resize(3);
    f[ExtTiming] = timing.join(u':');
    return JoinNoteExt(f);
}

TEST(HostileText, EveryBoxKeepsTheSongSavableAndItsStepExact) {
    {
        // Every window the registry knows is either driven below or has no box that reaches the song.
        HostileRig rig;
        FakeVoiceBank voices;
        FakeMidiSystem midi;
        RegisterWindowLoaders(voices);
        const QStringList names = WindowRegistry::names();
        for (const QString& name : names) WindowRegistry::setLoader(name, {});
        for (const QString& name : names) {
            bool driven = false;
            for (const Box& b : boxes()) driven = driven || name == QLatin1String(b.window);
            for (const FileBox& b : fileBoxes()) driven = driven || name == QLatin1String(b.window);
            driven = driven || name == u"Form3"_s;  // ProjectSettingsBoxesKeepTheProjectFileReadable
            // The manager's entry boxes: ManagerTest.HostileTextInEveryEntryBoxKeepsOtoIniReadable.
            driven = driven || name == u"frmVoicesetManager"_s;
            EXPECT_TRUE(driven || windowsWithoutSongText().contains(name)) << name.toStdString();
        }
    }
    for (const Box& box : boxes()) {
        HostileRig rig;
        const QString first = rig.path(u"a.tvx"_s), second = rig.path(u"b.tvx"_s);
        for (const QString& text : hostileTexts()) {
            SCOPED_TRACE(std::string(box.name) + " <- " + text.left(12).toStdString());
            const qint32 stepsBefore = rig.song().UndoPos;
            const QString before = rig.saved();
            box.enter(rig, text);
            const QString after = rig.saved();
            EXPECT_FALSE(after.contains(u"1.#"_s))  // how a number that is not finite is written
                << "a number that is not finite was stored";

            // Two saves give the same bytes, and the file reads back to the notes in memory.
            WriteProjectFile(first, rig.song().projectSettings(), rig.song());
            WriteProjectFile(second, rig.song().projectSettings(), rig.song());
            EXPECT_EQ(readFile(first), readFile(second));
            ProjectSettings ps;
            NoteArrays read;
            qint32 index = 0;
            ReadProjectFile(first, ps, index, read);
            if (read.noteCount() != rig.song().noteCount()) {
                ADD_FAILURE() << "the file reads back " << read.noteCount() << " notes";
                continue;
            }
            EXPECT_EQ(read.Lengths, rig.song().Lengths);
            EXPECT_EQ(read.NoteNums, rig.song().NoteNums);
            for (qint32 i = 0; i < rig.song().noteCount(); ++i) {
                EXPECT_EQ(read.Lyrics.at(i), rig.song().Lyrics.at(i)) << i;
                EXPECT_EQ(readBackForm(read.NoteExt.at(i)), readBackForm(rig.song().NoteExt.at(i))) << i;
                EXPECT_LE(rig.song().NoteExt.at(i).count(u'\t'), ExtFieldCount - 1) << i;  // never a seventh field
            }

            // Undo and redo of the step give the song before and after it exactly.
            if (rig.song().UndoPos > stepsBefore) {
                EXPECT_TRUE(rig.song().Undo());
                EXPECT_EQ(rig.saved(), before);
                EXPECT_TRUE(rig.song().Redo());
                EXPECT_EQ(rig.saved(), after);
            } else {
                EXPECT_EQ(after, before);  // refused: nothing changed
            }
        }
    }
}

TEST(HostileText, SettingsAndVoiceBankBoxesKeepTheirFilesReadable) {
    for (const FileBox& box : fileBoxes()) {
        for (const QString& text : hostileTexts()) {
            SCOPED_TRACE(std::string(box.name) + " <- " + text.left(12).toStdString());
            HostileRig rig;
            const QString folder = rig.path(u"voice"_s);
            ASSERT_TRUE(QDir().mkpath(folder));
            box.enter(folder, text);
            const QByteArray once = readFile(rig.path(box.file));
            ASSERT_FALSE(once.isEmpty());
            box.check(folder, text);
            // Read again and saved unedited: the same bytes.
            box.reread(folder);
            EXPECT_EQ(readFile(rig.path(box.file)), once);
            box.check(folder, text);
        }
    }
}

// The project settings dialog: its name, output, flags and tool boxes end in the project file's
// settings section, which reads back to the same values and saves again to the same bytes. A tool path
// that is not a program (every hostile text) is refused on OK with its message; with the tools unused
// the dialog accepts it, and no TAB or line break reaches the file.
TEST(HostileText, ProjectSettingsBoxesKeepTheProjectFileReadable) {
    for (const QString& text : hostileTexts()) {
        SCOPED_TRACE(text.left(12).toStdString());
        HostileRig rig;
        ASSERT_TRUE(QDir().mkpath(rig.path(u"voice/cantu"_s)));
        writeFile(rig.path(u"catena"_s), "#!/bin/sh\n");
        QFile::setPermissions(rig.path(u"catena"_s), QFile::ReadOwner | QFile::ExeOwner);
        FakeVoiceBank voices;
        voices.banks = {u"カントゥ\t"_s + rig.path(u"voice/cantu"_s)};
        ProjectSettingsValues values{u"p"_s, u"o.wav"_s, rig.path(u"voice/cantu"_s), QString(),
                                     rig.path(u"catena"_s), rig.path(u"catena"_s), rig.path(u"c.cache"_s), u"B50"_s};
        ProjectSettingsDialog d(voices, nullptr, nullptr);
        d.Form_Load(values);
        d.txtProjectName = text;
        d.txtOutputWavName = text;
        d.txtFlags = text;
        d.txtTool2Path_Change(text);
        d.cmdOK_Click();
        EXPECT_FALSE(d.Result);
        EXPECT_EQ(rig.modal.messageBox.lastText(), u"ツール２が無効です。"_s);
        d.txtTool2Path_Change(u"catena"_s);
        d.txtTool1Path_Change(text);
        d.cmdOK_Click();
        EXPECT_FALSE(d.Result);
        EXPECT_EQ(rig.modal.messageBox.lastText(), u"ツール１が無効です。"_s);
        d.chkUseReamplerDll_Click(true);
        d.txtTool2Path_Change(text);
        d.cmdOK_Click();
        ASSERT_TRUE(d.Result);
        d.ApplyResult(values);
        settings().UseDLL = false;

        ProjectSettings ps = rig.song().projectSettings();
        ps.ProjectName = values.ProjectName;
        ps.OutFile = values.OutFile;
        ps.VoiceDir = values.VoiceDir;
        ps.Tool1 = values.Tool1;
        ps.Tool2 = values.Tool2;
        ps.Flags = values.Flags;
        for (const QString* v : {&ps.ProjectName, &ps.OutFile, &ps.Tool1, &ps.Tool2, &ps.Flags}) {
            EXPECT_FALSE(v->contains(u'\t') || v->contains(u'\r') || v->contains(u'\n'));
            EXPECT_LE(v->size(), ProjectValueLimit);
        }
        const QString first = rig.path(u"a.tvx"_s), second = rig.path(u"b.tvx"_s);
        WriteProjectFile(first, ps, rig.song());
        ProjectSettings read;
        NoteArrays notes;
        qint32 index = 0;
        ReadProjectFile(first, read, index, notes);
        EXPECT_EQ(read.ProjectName, ps.ProjectName);
        EXPECT_EQ(read.OutFile, ps.OutFile);
        EXPECT_EQ(read.VoiceDir, ps.VoiceDir);
        EXPECT_EQ(read.Tool1, ps.Tool1);
        EXPECT_EQ(read.Tool2, ps.Tool2);
        EXPECT_EQ(read.Flags, ps.Flags);
        EXPECT_EQ(notes.noteCount(), rig.song().noteCount());
        WriteProjectFile(second, read, notes);
        EXPECT_EQ(readFile(first), readFile(second));
    }
}

}  // namespace
