#pragma once

#include <QString>

namespace tova {

class MainWindow;

// The text boxes of the roll and the tool band that edit song values in place: the lyric box "Text1"
// over the selection start note, the label box "txtLabel" over the ruler, the tempo box "txtTempo" and
// the lyric queue "Text2" edited in a larger editor. Each commit is one undo step.
class RollTextBoxes {
public:
    explicit RollTextBoxes(MainWindow& window);

    // ---- the lyric box ----
    // Opens the box over the selection start note with its lyric selected; `note` becomes that note, or
    // -1 (and nothing opens) when the selection start is no note.
    void ShowLyricEditBox(qint32& note);
    bool lyricBoxOpen() const { return lyricBoxOpen_; }
    // A press on the roll commits an open box: its text, unchanged, becomes the lyric of the selection
    // start note ("歌詞の変更"; no voice parameters are copied on this path).
    void commitLyricBoxPlain();
    // Enter (13) commits and moves to the next note, Esc (27) drops the text; both are swallowed (set
    // to 0). Other keys go to the box.
    void Text1_KeyPress(int& keyAscii);
    // Losing the focus commits the text without moving the selection.
    void Text1_LostFocus();

    // ---- the lyric queue ----
    // The queue's lyrics one per line for the editor, and back to one line with single blanks.
    static QString queueToLines(const QString& queue);
    static QString linesToQueue(const QString& lines);

    // ---- the label box ----
    // Opens the box on the ruler over note `note` with its label.
    void PlaceLabelEditor(qint32 note);
    // Enter is swallowed (set to 0) in both events; in KeyPress it gives the roll the focus, which
    // commits through LostFocus.
    void txtLabel_KeyDown(int& keyCode);
    void txtLabel_KeyPress(int& keyAscii);
    // Commits the label of the note named by the box's tag ("ラベルの変更") and closes the box.
    void txtLabel_LostFocus();
    QString labelTag() const { return labelTag_; }

    // ---- the tempo box ----
    // Asks for the whole project's tempo ("全体のテンポの変更"); 10..512 and different from the current
    // one is taken as one undo step. The roll gets the focus in every case.
    void txtTempo_Click();
    // Keys in the tempo box are all discarded: it cannot be typed into.
    void txtTempo_KeyDown(int& keyCode) { keyCode = 0; }
    void txtTempo_KeyPress(int& keyAscii) { keyAscii = 0; }

private:
    MainWindow& w_;
    bool lyricBoxOpen_ = false;
    QString labelTag_;
};

}  // namespace tova
