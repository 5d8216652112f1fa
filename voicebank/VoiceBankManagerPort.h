#pragma once

#include <QString>

class QObject;

namespace tova {

// The voice-bank manager as the main window opens it. The window is kept between uses, so that
// reopening it on the same voice folder keeps its list; `Unload` drops it (a new project, the end of
// the program).
class VoiceBankManagerPort {
public:
    virtual ~VoiceBankManagerPort() = default;
    // Shows the manager modally on the voice folder, on the row found for name1 (else name2); true when
    // it was closed with its save command (oto.ini was then written and became the program's table).
    // The project's tool 2 path is accepted and not used.
    virtual bool ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2,
                            const QString& cacheFolder, const QString& tool2Path, bool quickOpen, QObject* owner) = 0;
    // Closes and forgets the manager window when it exists.
    virtual void Unload() = 0;
};

}  // namespace tova
