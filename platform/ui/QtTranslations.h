#pragma once

namespace tova {

// Loads Qt's own Japanese texts (the buttons of message boxes, file dialogs and other standard windows)
// from Qt's translations folder, so they match the program's Japanese menus whatever the desktop's
// language. Returns false when Qt's Japanese translation is not installed (the texts stay English).
bool installQtTranslations();

}  // namespace tova
