#include "mainwindow/NoteNavigation.h"

#include "core/MessageTable.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "song/Song.h"
#include "mainwindow/RollCoordinates.h"
#include "mainwindow/ScrollHelpers.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "song/NoteArrays.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

bool isRest(const NoteArrays& notes, qint32 i) { return IsRestLyric(notes.Lyrics[i]); }

// The drawn rectangle of a note; a note that was never drawn has an empty one.
NoteGeometryList::value_type drawnRect(const NoteGeometryList& geometry, qint32 i) {
    return i >= 0 && i < geometry.size() ? geometry[i] : NoteGeometryList::value_type();
}

}  // namespace

NoteNavigation::NoteNavigation(EditContext& window) : window_(window) {}

void NoteNavigation::scrollTo(double value) {
    // The bar refuses a value outside its range; hold the value within it instead.
    const ScrollBarState& h = window_.hScroll();
    const double v = std::clamp(value, double(h.low()), double(h.high()));
    window_.setHScrollValue(int(v));
}

void NoteNavigation::mnNoteBack_Click() {
    const NoteArrays& notes = window_.editedSong();
    const qint32 i = window_.selStart();
    if (i < 1 || i > notes.lastNote() + 1) return;
    qint32 j = i - 1;
    while (j >= 0 && isRest(notes, j)) --j;
    if (j < 0) return;
    if (drawnRect(window_.noteGeometry(), j).Left < 0) {
        scrollTo(ScrollHelpers::scrollToNoteStart(notes.Lengths, j, window_.hScroll()));
        window_.DrawBackground();
    }
    window_.setSelection(j, j);
    window_.setCurNote(j);
    window_.DrawNotes();
}

void NoteNavigation::mnNoteNext_Click() {
    const NoteArrays& notes = window_.editedSong();
    const qint32 count = notes.noteCount();
    const qint32 i = window_.selStart();
    if (i >= count || i < 0) return;
    const auto rect = drawnRect(window_.noteGeometry(), i);
    double right = double(rect.Left) + double(rect.Width);
    const double zoom = double(window_.zoom());
    for (qint32 j = i + 1; j < count; ++j) {
        right += double(notes.Lengths.value(j)) / zoom;
        if (isRest(notes, j)) continue;
        if (right > window_.rollInnerWidth()) {
            scrollTo(ScrollHelpers::noteToRightEdge(notes.Lengths, j, window_.rollInnerWidth(),
                                                    window_.vScrollWidth(), window_.zoom()));
            window_.DrawBackground();
        }
        window_.setSelection(j, j);
        window_.setCurNote(j);
        window_.DrawNotes();
        return;
    }
    window_.setSelection(count, count);
    window_.setCurNote(-1);
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnNoteTop_Click() {
    const NoteArrays& notes = window_.editedSong();
    const qint32 count = notes.noteCount();
    double start = 0;
    qint32 k = 0;
    while (k < count && isRest(notes, k)) start += notes.Lengths.value(k++);
    if (k >= count) return;
    const double p = start / Roll::TicksPerBeat - 1;
    const int hMin = window_.hScroll().Min;
    scrollTo(p > hMin ? std::nearbyint(p) : double(hMin));
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnNoteLast_Click() {
    const NoteArrays& notes = window_.editedSong();
    qint32 j = notes.lastNote();
    while (j >= 0 && isRest(notes, j)) --j;
    if (j < 0) return;
    scrollTo(ScrollHelpers::noteToRightEdge(notes.Lengths, j, window_.rollInnerWidth(), window_.vScrollWidth(),
                                            window_.zoom()));
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnNoteSelectTop_Click() {
    const NoteArrays& notes = window_.editedSong();
    const qint32 s = window_.selStart();
    if (notes.noteCount() == 0 || s < 0 || s >= notes.noteCount()) return;
    scrollTo(ScrollHelpers::scrollToNoteStart(notes.Lengths, s, window_.hScroll()));
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnNoteSelectEnd_Click() {
    const Song& song = window_.editedSong();
    if (song.noteCount() <= 0 || song.SelStart >= song.noteCount()) return;
    window_.setHScrollValue(ScrollHelpers::noteToRightEdge(song.Lengths, song.SelEnd, window_.rollInnerWidth(),
                                                           window_.vScrollWidth(), window_.zoom()));
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnGotoTop_Click() {
    window_.setHScrollValue(window_.hScroll().Min);
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnGotoEnd_Click() {
    const Song& song = window_.editedSong();
    if (song.noteCount() < 1) return;
    window_.scrollToNote(song.lastNote());
}

void NoteNavigation::mnSelectNotes_Click() {
    const NoteArrays& notes = window_.editedSong();
    qint32 first = 0;
    while (first < notes.noteCount() && isRest(notes, first)) ++first;
    qint32 last = notes.lastNote();
    while (last >= 0 && isRest(notes, last)) --last;
    if (first > last) return;
    window_.setSelection(first, last);
    window_.DrawBackground();
    window_.DrawNotes();
}

void NoteNavigation::mnSelectAll_Click() {
    const QString box = window_.focusedTextBox();
    if (!box.isEmpty()) {
        window_.sendKeys(box, QStringLiteral("^A"));
        return;
    }
    window_.setSelection(0, window_.editedSong().noteCount() - 1);
    window_.DrawNotes();
}

void NoteNavigation::mnSearch_Click() { search(true); }

void NoteNavigation::mnSearchRev_Click() { search(false); }

void NoteNavigation::search(bool forwards) {
    const QString text = window_.lyricEntryText();
    if (text.isEmpty()) {
        window_.focusLyricEntry();
        return;
    }
    const NoteArrays& notes = window_.editedSong();
    const qint32 count = notes.noteCount();
    qint32 from = std::min(window_.selStart(), window_.selEnd());
    if (from >= count) from = 0;

    qint32 hit = -1;
    if (forwards) {
        for (qint32 i = std::max(from + 1, 0); i < count; ++i)
            if (notes.Lyrics[i].contains(text, Qt::CaseSensitive)) {
                hit = i;
                break;
            }
    } else {
        for (qint32 i = std::min(from - 1, count - 1); i >= 0; --i)
            if (notes.Lyrics[i].contains(text, Qt::CaseSensitive)) {
                hit = i;
                break;
            }
    }
    if (hit < 0) {
        Ports::msgBox(GetMessage(QStringLiteral("見つかりませんでした。")), MsgButtons::OK);
        return;
    }

    const double s = double(RollCoordinates::startTick(notes.Lengths, hit));
    double v = !forwards && s == 0 ? 0.0 : Vb::Int(s / Roll::TicksPerBeat - 0.5);
    v = std::max(v, double(window_.hScroll().Min));
    scrollTo(v);
    window_.setSelection(hit, hit);
    window_.DrawBackground();
    window_.DrawNotes();
}

void registerNavigationCommands(CommandRegistry& registry) {
    const struct {
        const char16_t* name;
        void (NoteNavigation::*command)();
    } commands[] = {
        {u"mnNoteBack", &NoteNavigation::mnNoteBack_Click},
        {u"mnNoteNext", &NoteNavigation::mnNoteNext_Click},
        {u"mnNoteTop", &NoteNavigation::mnNoteTop_Click},
        {u"mnNoteLast", &NoteNavigation::mnNoteLast_Click},
        {u"mnNoteSelectTop", &NoteNavigation::mnNoteSelectTop_Click},
        {u"mnNoteSelectEnd", &NoteNavigation::mnNoteSelectEnd_Click},
        {u"mnGotoTop", &NoteNavigation::mnGotoTop_Click},
        {u"mnGotoEnd", &NoteNavigation::mnGotoEnd_Click},
        {u"mnSelectNotes", &NoteNavigation::mnSelectNotes_Click},
        {u"mnSelectAll", &NoteNavigation::mnSelectAll_Click},
        {u"mnSelectAll2", &NoteNavigation::mnSelectAll2_Click},
        {u"mnSearch", &NoteNavigation::mnSearch_Click},
        {u"mnSearchRev", &NoteNavigation::mnSearchRev_Click},
    };
    for (const auto& c : commands)
        registry.add(QString::fromUtf16(c.name), [command = c.command](EditContext& w) { (NoteNavigation(w).*command)(); });
}

}  // namespace tova
