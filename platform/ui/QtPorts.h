#pragma once

namespace tova {

// Installs the four Qt ports (message box, input box, file dialog, pop-up menu), the system clipboard and the wheel hook
// for the life of the program.
void installQtPorts();

}  // namespace tova
