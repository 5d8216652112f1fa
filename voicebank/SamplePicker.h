#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

class EditContext;
class MciPort;

// The sample picker "リストから挿入": a window beside the main window that lists the samples of the
// project's voice bank by alias, plays a sample when its row is clicked, and on a double click puts the
// alias into the song at the selection start - as a new note whose note number and length come from
// the sample's frequency table, or (with `chkReplace`) as the lyric of the note there. The list is
// kept between openings on the same voice folder. The form (frmFromList) binds its controls to this
// model; it is never modal, so a double click acts on the main window's selection of that moment.
class SamplePicker : public DialogModel {
public:
    explicit SamplePicker(MciPort& mci) : mci_(mci) {}

    QString VoiceFolder;    // folder of the listed bank; "" means the list must be refilled
    float Tempo = 120.0f;   // the owner's tempo when the window was opened
    bool Abort = false;     // stops a running fill
    QString LastText;       // text of the row last clicked or double-clicked
    QStringList items;      // List1
    int selected = -1;      // List1's selected row, -1 for none
    bool chkReplace = false;
    bool chkSilent = false;

    // ShowList up to showing the window: takes the tempo, and for another voice folder than the
    // list's ends a running fill (`processEvents` lets it see the abort flag) and remembers the
    // folder. True when the list must be filled anew (the form then starts its timer).
    bool ShowList(const QString& voiceFolder, EditContext& owner, const std::function<void()>& processEvents);
    // Timer1: fills the list with the alias of every sample of the folder, calling `processEvents`
    // before each, and stops early when the abort flag is set or another fill started meanwhile.
    void FillList(const std::function<void()>& processEvents);

    // The sample file of a row's text, relative to the voice folder: the oto entry's file, or the text
    // with ".wav" when the table has none.
    static QString SampleFileOf(const QString& text);
    // Note number and length in ticks of a sample from its frequency table: with a key frequency above
    // 0, length = frames x 256 / 44100 s at the tempo, 1920 ticks a beat, and the key's note number.
    // Otherwise the note number is -1 and the length stays.
    void GetItemNoteNum(const QString& sampleFile, qint32& length, qint32& noteNum) const;

    // A click on a row: remembered, and played unless `chkSilent` (a sample whose path holds "!" plays
    // from the copy "temp.wav" in the temporary folder). A sample that cannot be played is reported.
    void List1_Click();
    // A double click on a row: the alias goes into the song through the owner (a note number below 1
    // becomes 36; a replace past the last note does nothing).
    void List1_DblClick();
    // "閉じる": hides the window and keeps the list.
    void CancelButton_Click();
    // The close box: the next opening refills the list; a running fill ends.
    void cancelRequested() override;

private:
    MciPort& mci_;
    EditContext* owner_ = nullptr;
    int fillRun_ = 0;  // counts fills, so that a fill started inside another's event processing ends the older one
};

}  // namespace tova
