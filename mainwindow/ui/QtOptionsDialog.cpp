#include "mainwindow/ui/QtOptionsDialog.h"

#include "mainwindow/ui/frmOptions.h"

#include <QApplication>

namespace tova {

bool QtOptionsDialog::ShowOptions(int tab) {
    return frmOptions::ShowDialog(tab, QApplication::activeWindow(), voices_, cacheFolder_);
}

}  // namespace tova
