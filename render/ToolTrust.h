#pragma once

#include <QString>

namespace tova {

// Which programs a project may have a render start. A project names its two tools by path, and a
// project comes from anywhere; so a tool runs without a question only when it is one of the program
// folder's own tools ("catena", "vorsa"), one of the tool paths of the settings, or one the user
// accepted before. Any other is asked about once; the answer is kept per path in the settings
// (`AcceptedTools`, `RefusedTools`). Paths are compared after following links and "..", so another
// spelling of a path is the same path. A tool that does not exist is not asked about: nothing runs.

// True when every tool of the pair may run, asking about those not yet answered. A tool refused now
// or before gives false; a refusal made before is said in a message, so the render never just stops.
// A path that no command line may carry raises RenderValueError first.
bool ConfirmProjectTools(const QString& tool1, const QString& tool2);

// Notes that the user chose this tool path (in the project settings dialog): it runs without a
// question from now on.
void AcceptTool(const QString& path);

// Whether the path is a tool that runs without a question.
bool IsTrustedTool(const QString& path);

}  // namespace tova
