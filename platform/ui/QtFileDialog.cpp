#include "platform/ui/QtFileDialog.h"

#include <QApplication>
#include <QFileDialog>

namespace tova {

QStringList QtFileDialog::qtFilters(const QString& classic) {
    QStringList parts = classic.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return out;
}

bool QtFileDialog::run(const FileDialogRequest& r, FileDialogResult& result) {
    QFileDialog dlg(QApplication::activeWindow(), r.title);
    dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(r.save ? QFileDialog::AnyFile : (r.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    if (!r.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = qtFilters(r.filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.value(qBound(1, r.filterIndex, int(filters.size())) - 1));
    }
    if (!r.initialFolder.isEmpty()) dlg.setDirectory(r.initialFolder);
    if (!r.fileName.isEmpty()) dlg.selectFile(r.fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    result.fileName = dlg.selectedFiles().first();
    result.filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    if (result.filterIndex < 1) result.filterIndex = r.filterIndex;
    return true;
}

}  // namespace tova
