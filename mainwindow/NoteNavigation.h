#pragma once

namespace tova {

class CommandRegistry;
class EditContext;

// The menu commands that step the selection from sung note to sung note, scroll to the first or last
// sung note, to the selection start or end, or to the start or end of the song, select the sung range or every note, and search the lyrics for
// the text of the lyric entry box. They change only the selection, the current note and the horizontal
// scroll position: no undo step, no modified mark. Rests are skipped by the stepping commands.
class NoteNavigation {
public:
    explicit NoteNavigation(EditContext& window);

    // "前の音符へ移動(&B)" (Ctrl+B): the sung note before the selection start.
    void mnNoteBack_Click();
    // "次の音符へ移動(&N)" (Ctrl+N): the sung note after the selection start; after the last one the
    // selection moves past the last note and the current note becomes none.
    void mnNoteNext_Click();
    // "先頭の音符へ移動(&F)": scrolls so that the first sung note starts about one beat from the left.
    void mnNoteTop_Click();
    // "最後の音符へ移動(&L)": scrolls the end of the last sung note to the right edge.
    void mnNoteLast_Click();
    // "選択範囲の先頭(&C)": scrolls to the selection start.
    void mnNoteSelectTop_Click();
    // The selection's end: scrolls its end to the right edge (nothing without a selection).
    void mnNoteSelectEnd_Click();
    // The start of the song: scrolls the roll to the bar's minimum and redraws.
    void mnGotoTop_Click();
    // The end of the song: scrolls to the start of the last note (nothing in an empty song).
    void mnGotoEnd_Click();
    // "始音から終音まで選択(&B)" (Ctrl+W): selects the first through the last sung note.
    void mnSelectNotes_Click();
    // "全て選択(&A)" (Ctrl+A): selects every note, unless a text box has the focus, which then selects
    // its own text.
    void mnSelectAll_Click();
    void mnSelectAll2_Click() { mnSelectAll_Click(); }
    // "後へ検索(&F)" (F3) and "前へ検索(&S)" (Shift+F3): the next or previous note whose lyric contains
    // the lyric entry box's text (case-sensitive, no wrap-around).
    void mnSearch_Click();
    void mnSearchRev_Click();

private:
    void search(bool forwards);
    // Sets the horizontal bar's value, held within its range.
    void scrollTo(double value);

    EditContext& window_;
};

// Registers the commands above under their menu items.
void registerNavigationCommands(CommandRegistry& registry);

}  // namespace tova
