#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QObject;

namespace tova {

struct EnvelopeDialogArgs;
struct NoteArrays;

// The note dialogs that the main window's commands open, each modal over the owner window. The forms
// implement it (editors/ui/QtNoteDialogs.h); tests give a scripted fake.
class NoteDialogsPort {
public:
    virtual ~NoteDialogsPort() = default;
    // The note property dialog over notes first..last; true when OK wrote the notes.
    virtual bool ShowProperty(qint32 first, qint32 last, NoteArrays& notes, QObject* owner) = 0;
    // The volume multiplier over the sung notes of first..last; true when OK changed their intensities.
    virtual bool ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                        QObject* owner) = 0;
    // The defaults of new notes; OK stores them in the settings.
    virtual void ShowDefaultProperty(QObject* owner) = 0;
    // The envelope editor "エンベロープ" over one envelope (editors/EnvelopeEditor.h): no value when
    // args.noteLengthMs is 0 (nothing shown); true when OK replaced args.envelope, args.preutterance and
    // args.overlap; false when cancelled (an empty args.envelope has become the default text).
    virtual std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject* owner) = 0;
    // The pitch-control dialog over the mode-2 options of notes selStart..selEnd, or over the defaults of
    // new notes when selStart < 0; `projectTempo` starts the tempo at a note. True when OK applied it.
    virtual bool ShowPitchControl(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo,
                                  QObject* owner) = 0;
    // The pitch editor over the pitch data of note `index`; `tempo` is the tempo in force before the note.
    // True when OK wrote the note's pitch data.
    virtual bool ShowPitchEditor(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index,
                                 NoteArrays& notes, QObject* owner) = 0;
};

}  // namespace tova
