#include "mainwindow/NoteColors.h"

#include "core/Settings.h"

namespace tova {

NoteColors NoteColors::fromSettings() {
    const Settings& s = settings();
    NoteColors c;
    c.NoteNor = s.COLOR_NOTE_NOR;
    c.NoteTop = s.COLOR_NOTE_TOP;
    c.NoteSel = s.COLOR_NOTE_SEL;
    c.NoteTNor = s.COLOR_NOTE_TNOR;
    c.NoteTTop = s.COLOR_NOTE_TTOP;
    c.NoteTSel = s.COLOR_NOTE_TSEL;
    c.NoteRNor = s.COLOR_NOTE_RNOR;
    c.NoteRTop = s.COLOR_NOTE_RTOP;
    c.NoteRSel = s.COLOR_NOTE_RSEL;
    c.PtchSel = s.COLOR_PTCH_SEL;
    c.PtchNor = s.COLOR_PTCH_NOR;
    c.PtchGry = s.COLOR_PTCH_GRY;
    c.TempoNor = s.COLOR_TEMPO_NOR;
    c.TempoAll = s.COLOR_TEMPO_ALL;
    c.SelectBar = s.COLOR_SELECTBAR;
    c.Hilight = s.COLOR_HILIGHT;
    c.Back = s.COLOR_BACK;
    c.Fore = s.COLOR_FORE;
    return c;
}

}  // namespace tova
