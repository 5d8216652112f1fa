#include "editors/ui/QtNoteDialogs.h"

#include "core/Settings.h"
#include "editors/ui/frmDefaultProperty.h"
#include "editors/ui/frmNoteProperty.h"
#include "editors/ui/frmVolumeFunctionizer.h"
#include "render/AliasLookup.h"

namespace tova {

bool QtNoteDialogs::ShowNoteProperties(qint32 first, qint32 last, NoteArrays& notes, QObject* owner) {
    const auto lookup = [](qint32 noteNum, const QString& lyric, float& pre, float& overlap) {
        LookupNoteOto(noteNum, lyric, pre, overlap);
    };
    return frmNoteProperty::ShowNoteProperties(first, last, notes, settings(), lookup, qobject_cast<QWidget*>(owner));
}

bool QtNoteDialogs::ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                           QObject* owner) {
    return frmVolumeFunctionizer::ShowDialog(first, last, lyrics, noteExt, qobject_cast<QWidget*>(owner));
}

void QtNoteDialogs::ShowDefaultProperty(QObject* owner) {
    frmDefaultProperty::ShowDialog(settings(), qobject_cast<QWidget*>(owner));
}

}  // namespace tova
