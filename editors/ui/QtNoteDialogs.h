#pragma once

#include "editors/NoteDialogsPort.h"

namespace tova {

// The note dialogs as the program shows them: the forms over the program settings, the voice bank's
// values for the note property dialog's "原音値" button.
class QtNoteDialogs : public NoteDialogsPort {
public:
    bool ShowProperty(qint32 first, qint32 last, NoteArrays& notes, QObject* owner) override;
    bool ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                QObject* owner) override;
    void ShowDefaultProperty(QObject* owner) override;
    std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject* owner) override;
    bool ShowPitchControl(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo, QObject* owner) override;
    bool ShowPitchEditor(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index, NoteArrays& notes,
                         QObject* owner) override;
};

}  // namespace tova
