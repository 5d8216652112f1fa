#pragma once

#include <QString>

namespace tova {

// The program settings globals, loaded from "setting.ini" at start-up and saved at exit.
// (The full set of fields, their defaults and the load/save rules are filled in with the settings file.)
struct Settings {
    QString SharpFlat = QStringLiteral("#");  // accidental style of note names: "#", "b", "♯" or "♭"
};

// The one settings object of the program.
Settings& settings();

}  // namespace tova
