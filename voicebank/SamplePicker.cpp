#include "voicebank/SamplePicker.h"

#include "commands/CommandFrame.h"
#include "commands/EditContext.h"
#include "commands/InsertCommands.h"
#include "core/MessageTable.h"
#include "core/NoteNames.h"
#include "core/Processes.h"
#include "core/WaveFiles.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/MciPort.h"
#include "render/OtoIni.h"
#include "song/Song.h"

#include <QFile>

namespace tova {
namespace {

void reportPlayFailure(const QString& path, const QString& reason) {
    Ports::msgBox(GetMessage(QStringLiteral("{1}を再生できませんでした。"), path) + u'\n' + reason, MsgButtons::OK,
                  MsgIcon::Exclamation);
}

}  // namespace

bool SamplePicker::ShowList(const QString& voiceFolder, EditContext& owner, const std::function<void()>& processEvents) {
    owner_ = &owner;
    const float tempo = owner.editedSong().Tempo;
    Tempo = tempo == 0.0f ? 120.0f : tempo;
    if (voiceFolder == VoiceFolder) return false;
    Abort = true;
    if (processEvents) processEvents();
    VoiceFolder = voiceFolder;
    Abort = false;
    return true;
}

void SamplePicker::FillList(const std::function<void()>& processEvents) {
    const int run = ++fillRun_;
    items.clear();
    selected = -1;
    const QStringList names = ListVoiceWaves(VoiceFolder);
    for (const QString& name : names) {
        if (processEvents) processEvents();
        if (Abort || run != fillRun_) return;
        QString stem = name;
        if (stem.endsWith(QStringLiteral(".wav")))
            stem.chop(4);
        else if (stem.endsWith(QStringLiteral(".aiff")))
            stem.chop(5);
        items << GetSampleAlias(stem);
    }
}

QString SamplePicker::SampleFileOf(const QString& text) {
    QString name = text;
    const QString file = FindOtoAlias(name).value(0);
    return file.isEmpty() ? text + QStringLiteral(".wav") : file;
}

void SamplePicker::GetItemNoteNum(const QString& sampleFile, qint32& length, qint32& noteNum) const {
    FrqHeader header;
    QVector<double> frames;
    ReadFrqFile(header, frames, PathText::join(VoiceFolder, sampleFile));
    // A table whose frame count lies outside the readable range gives no length.
    if (header.averageFreq > 0.0 && header.frameCount >= 1 && header.frameCount <= 4095) {
        length = Vb::CLng(double(header.frameCount) * 256.0 / 44100.0 * double(Tempo) / 60.0 * 1920.0);
        noteNum = FreqToNoteNum(header.averageFreq);
    } else {
        noteNum = -1;
    }
}

void SamplePicker::List1_Click() {
    if (selected < 0 || selected >= items.size()) return;
    LastText = items[selected];
    if (chkSilent) return;
    const QString sample = PathText::join(VoiceFolder, SampleFileOf(LastText));
    QString path = GetShortPath(sample);
    if (path.isEmpty()) {
        Ports::msgBox(GetMessage(QStringLiteral("{1} が見つかりません。"), sample), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (path.contains(u'!')) {
        // The multimedia layer is given a copy whose path is free of "!".
        const QString copy = PathText::join(TempFolder, QStringLiteral("temp.wav"));
        mci_.Close(copy);
        const QString target = FileSystem::resolve(copy);
        QFile::remove(target);
        if (!QFile::copy(path, target)) {
            reportPlayFailure(sample, GetMessage(QStringLiteral("{1}を保存できませんでした。"), copy));
            return;
        }
        path = target;
    }
    QString failure = mci_.Open(path);
    if (failure.isEmpty()) failure = mci_.Play(path);
    if (!failure.isEmpty()) reportPlayFailure(sample, failure);
}

void SamplePicker::List1_DblClick() {
    if (selected < 0 || selected >= items.size() || !owner_) return;
    LastText = items[selected];
    QString lyric = LastText;
    qint32 length = 0, noteNum = -1;
    GetItemNoteNum(SampleFileOf(lyric), length, noteNum);
    if (noteNum < 1) noteNum = 36;
    EditContext& c = *owner_;
    RunEditCommand(c, [&] { InsertTonePub(c, lyric, noteNum, length, chkReplace); });
}

void SamplePicker::CancelButton_Click() {
    LastText.clear();
    reject();
}

void SamplePicker::cancelRequested() {
    VoiceFolder.clear();
    Abort = true;
    reject();
}

}  // namespace tova
