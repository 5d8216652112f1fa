#pragma once

#include <QString>

namespace tova {

class EditContext;

// Append-load: inserts the notes of another project, MIDI, older-format or render batch file after the
// song's notes as one undoable step.
class AppendLoadPort {
public:
    virtual ~AppendLoadPort() = default;
    virtual void AppendLoadFile(EditContext& window, const QString& path) = 0;
};

}  // namespace tova
