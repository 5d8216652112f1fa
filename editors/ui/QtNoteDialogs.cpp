#include "editors/ui/QtNoteDialogs.h"

#include "core/Settings.h"
#include "editors/ui/Form2.h"
#include "editors/ui/frmDefaultProperty.h"
#include "editors/ui/frmMode2.h"
#include "editors/ui/frmNotePropEx.h"
#include "editors/ui/frmNoteProperty.h"
#include "editors/ui/frmVolumeFunctionizer.h"
#include "render/AliasLookup.h"

namespace tova {

bool QtNoteDialogs::ShowProperty(qint32 first, qint32 last, NoteArrays& notes, QObject* owner) {
    const auto lookup = [](qint32 noteNum, const QString& lyric, float& pre, float& overlap) {
        LookupNoteOto(noteNum, lyric, pre, overlap);
    };
    return frmNoteProperty::ShowProperty(first, last, notes, settings(), lookup, qobject_cast<QWidget*>(owner));
}

bool QtNoteDialogs::ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                           QObject* owner) {
    return frmVolumeFunctionizer::ShowDialog(first, last, lyrics, noteExt, qobject_cast<QWidget*>(owner));
}

void QtNoteDialogs::ShowDefaultProperty(QObject* owner) {
    frmDefaultProperty::ShowDialog(settings(), qobject_cast<QWidget*>(owner));
}

std::optional<bool> QtNoteDialogs::ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject* owner) {
    return frmNotePropEx::ShowEnvelopeDialog(args, qobject_cast<QWidget*>(owner));
}

bool QtNoteDialogs::ShowPitchControl(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo, QObject* owner) {
    return frmMode2::ShowPitchControl(selStart, selEnd, notes, projectTempo, settings(), qobject_cast<QWidget*>(owner));
}

bool QtNoteDialogs::ShowPitchEditor(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index,
                                    NoteArrays& notes, QObject* owner) {
    return Form2::ShowPitchEditor(tempo, voiceDir, cacheDir, index, notes, qobject_cast<QWidget*>(owner));
}

}  // namespace tova
