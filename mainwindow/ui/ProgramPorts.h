#pragma once

#include "mainwindow/MainWindowPorts.h"

#include <memory>

namespace tova {

class Form1;

// The program's own services behind every port of the main window, built together so that the program
// and its tests start the window on the same set.
class ProgramPorts {
public:
    ProgramPorts();
    ~ProgramPorts();
    ProgramPorts(const ProgramPorts&) = delete;
    ProgramPorts& operator=(const ProgramPorts&) = delete;

    MainWindowPorts& ports();
    // Hangs the services that open windows or follow the song on the main window; `form` null detaches.
    void attach(Form1* form);

private:
    struct Services;
    std::unique_ptr<Services> s_;
};

}  // namespace tova
