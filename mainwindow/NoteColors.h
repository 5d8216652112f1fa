#pragma once

#include <cstdint>

namespace tova {

// The colours of the note layer of the roll and of the ruler's note marks (program settings of the
// same names). RGB numbers: red + 256 * green + 65536 * blue.
struct NoteColors {
    int32_t NoteNor = 0;   // fill of a note neither selected nor at the selection start
    int32_t NoteTop = 0;   // fill of the note at the selection start
    int32_t NoteSel = 0;   // fill of a selected note
    int32_t NoteTNor = 0;  // outline and lyric of those three, in the same order
    int32_t NoteTTop = 0;
    int32_t NoteTSel = 0;
    int32_t NoteRNor = 0;  // fills of a rest in the three states
    int32_t NoteRTop = 0;
    int32_t NoteRSel = 0;
    int32_t PtchSel = 0;   // pitch curves of a selected note
    int32_t PtchNor = 0;   // pitch curves of other notes
    int32_t PtchGry = 0;   // pitch data of the older kind when it is only shown for reference
    int32_t TempoNor = 0;  // tempo of a note with its own tempo
    int32_t TempoAll = 0;  // tempo at the left edge of the view; region name
    int32_t SelectBar = 0; // selection bar of the ruler
    int32_t Hilight = 0;   // the note sounding at the play position
    int32_t Back = 0;      // ruler lane; label and region boxes
    int32_t Fore = 0;      // label text and boxes; region box outline

    // Colours that do not come from the settings.
    static constexpr int32_t HandleGrey = 96 + 256 * 96 + 65536 * 96;
    static constexpr int32_t WarningFill = 255 + 256 * 255 + 65536 * 224;
    static constexpr int32_t WarningRed = 255;

    // The colours of the current settings.
    static NoteColors fromSettings();
};

}  // namespace tova
