#pragma once

namespace tova {

class VoiceBankAccess;

// Registers how the caption export (ExportAllCaptionFiles) loads each dialog of the program without
// showing it: every form on the dialog base. The main window registers itself while it is open.
void RegisterWindowLoaders(VoiceBankAccess& voices);

}  // namespace tova
