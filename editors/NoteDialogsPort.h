#pragma once

#include <QString>
#include <QStringList>

class QObject;

namespace tova {

struct NoteArrays;

// The note dialogs that the main window's commands open, each modal over the owner window. The forms
// implement it (editors/ui/QtNoteDialogs.h); tests give a scripted fake.
class NoteDialogsPort {
public:
    virtual ~NoteDialogsPort() = default;
    // The note property dialog over notes first..last; true when OK wrote the notes.
    virtual bool ShowNoteProperties(qint32 first, qint32 last, NoteArrays& notes, QObject* owner) = 0;
    // The volume multiplier over the sung notes of first..last; true when OK changed their intensities.
    virtual bool ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                        QObject* owner) = 0;
    // The defaults of new notes; OK stores them in the settings.
    virtual void ShowDefaultProperty(QObject* owner) = 0;
};

}  // namespace tova
