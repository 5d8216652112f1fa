#pragma once

#include <QString>

namespace tova {

// Which programs a project may have a render start. A project names its two tools by path, and a
// project comes from anywhere; so a tool runs without a question only when it is one of the program
// folder's own tools ("catena", "vorsa"), one of the tool paths of the settings, or one the user
// accepted before. Any other is asked about once; the answer is kept per path in the settings
// (`AcceptedTools`, `RefusedTools`). Paths are compared after following links and "..", so another
// spelling of a path is the same path. A tool must be an existing file named with its folder: a bare
// program name ("rm", which a runner would look for on the search path) or a path that names no file
// is refused with a message before anything is asked or runs.

// True when every tool of the pair exists and may run, asking about those not yet answered. A missing
// tool gives false after a message naming it. A tool refused now
// or before gives false; a refusal made before is said in a message, so the render never just stops.
// A path that no command line may carry raises RenderValueError first.
bool ConfirmProjectTools(const QString& tool1, const QString& tool2);

// Notes that the user chose this tool path (in the project settings dialog): it runs without a
// question from now on.
void AcceptTool(const QString& path);

// Whether the path is a tool that runs without a question.
bool IsTrustedTool(const QString& path);

}  // namespace tova
