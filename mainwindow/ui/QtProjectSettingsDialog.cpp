#include "mainwindow/ui/QtProjectSettingsDialog.h"

#include "mainwindow/ui/Form3.h"
#include "platform/ui/DialogOwner.h"

namespace tova {

bool QtProjectSettingsDialog::ShowDialog(ProjectSettingsValues& values) {
    return Form3::ShowDialog(values, dialogOwner(), voices_, profile_, options_);
}

}  // namespace tova
