#include "mainwindow/ui/QtProjectSettingsDialog.h"

#include "mainwindow/ui/Form3.h"

#include <QApplication>

namespace tova {

bool QtProjectSettingsDialog::ShowDialog(ProjectSettingsValues& values) {
    return Form3::ShowDialog(values, QApplication::activeWindow(), voices_, profile_, options_);
}

}  // namespace tova
