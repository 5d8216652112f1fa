#pragma once

namespace tova {

// Loads Qt's own Japanese texts (the buttons of message boxes, file dialogs and other standard windows)
// from every Japanese catalogue in Qt's translations folder, so they match the program's Japanese menus
// whatever the desktop's language, and supplies the few file-dialog words those catalogues lack.
// Returns false when no Japanese catalogue of Qt is installed (the texts stay English).
bool installQtTranslations();

}  // namespace tova
