#include "mainwindow/ui/QtOptionsDialog.h"

#include "mainwindow/ui/frmOptions.h"
#include "platform/ui/DialogOwner.h"

namespace tova {

bool QtOptionsDialog::ShowOptions(int tab) {
    return frmOptions::ShowDialog(tab, dialogOwner(), voices_, cacheFolder_);
}

}  // namespace tova
