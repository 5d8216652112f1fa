#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tova {

class CommandRegistry;
class EditContext;
struct NoteArrays;

// Labels and named regions, kept in the notes' option lists: `label` (any note), `$region` on the first
// note and `$region_end` on the last note of each named region (names joined by "|" when several
// regions start or end on one note). A name is on a note when "|" + value + "|" holds "|" + name + "|".

// The labels of the song in note order (one per labelled note, repeats kept).
QStringList LabelList(const NoteArrays& notes);
// The region names of the song: each note's `$region` names in note order.
QStringList RegionNameList(const NoteArrays& notes);
// The notes whose label is exactly `label`, in note order.
QList<qint32> NotesWithLabel(const NoteArrays& notes, const QString& label);
// True when the "|"-joined option value holds the whole name.
bool HoldsRegionName(const QString& value, const QString& name);

// Selects the region of a name: from the last note where it starts to the last note after that where
// it ends; a region whose end marker was lost runs to the last note. True when a selection from left to
// right results (the caller scrolls to it and redraws); an empty name does nothing.
bool SelectRegionByName(EditContext& context, const QString& name);
// The name of the region that starts on the first and ends on the last selected note (the first such
// name of the first note), or "" (also when a selection end lies outside the notes).
QString FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd);

// "mnLabelDel": removes the label of the note under the last ruler press; one step "ラベルの削除".
void mnLabelDel_Click(EditContext& context);
// "mnSelectRegionAdd": asks for a name ("名前を入力") until it is not empty and not in use ("'{1}'は既に
// 使われています。" asks again), then records the selection under it. Cancel ends the command.
void mnSelectRegionAdd_Click(EditContext& context);
// Writes the markers of the selection (min..max of its ends) under `name`, one step "選択範囲を記録".
// Every "|" of the name becomes a blank, as do the option list's own separators ("=" and backslash
// "n"), and the caller sees the name so changed. False (nothing written) when the name is in use.
bool RecordSelectionRegion(EditContext& context, QString& name);
// "mnSelectRegionDel": deletes the name of the region that is exactly selected.
void mnSelectRegionDel_Click(EditContext& context);
// Removes one region's start and end markers as one step "範囲名を削除"; nothing when the name is on no
// note.
void DeleteNamedRegion(EditContext& context, const QString& name);

void registerRegionCommands(CommandRegistry& registry);

}  // namespace tova
