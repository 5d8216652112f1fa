#pragma once

namespace tova {

// Ties a batch runner started by the editor to it. The editor starts the runner detached, in a session
// of its own, and names itself and a status file in the runner's environment:
//   TOVA_EDITOR_PID     the editor's process id: when that process ends, the runner ends its whole
//                       process group (itself and every program it started), so no orphan keeps
//                       writing an output that a later render reads;
//   TOVA_RUNNER_STATUS  a file that receives the runner's exit code when it ends, so the editor can
//                       tell a batch that ran to its end from one that stopped.
// Without these variables (a runner started by hand or by a test) nothing is watched or written.
class EditorTie {
public:
    // Starts watching the editor; ends the process group at once when it has already gone.
    static void watchEditor();
    // Writes the exit code to the status file (whole or not at all), and returns it.
    static int reportExit(int code);
};

}  // namespace tova
