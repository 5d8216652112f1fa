#include "platform/ui/QtFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>

namespace tova {

QStringList QtFileDialog::qtFilters(const QString& classic) {
    static const QRegularExpression separators(QStringLiteral("[,; ]+"));
    QStringList parts = classic.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        const QString shown = patterns.join(u' ');
        // A description that ends with its own patterns in parentheses ("形式(*.tvx)") keeps them, written
        // the way the dialog reads patterns (separated by blanks); anything else gets them appended.
        const qsizetype open = description.lastIndexOf(u'(');
        if (description.endsWith(u')') && open >= 0) {
            QStringList own = description.mid(open + 1, description.size() - open - 2)
                                  .split(separators, Qt::SkipEmptyParts);
            own.sort();
            patterns.sort();
            if (own == patterns) {
                out << description.left(open + 1) + shown + u')';
                continue;
            }
        }
        out << description + QStringLiteral(" (") + shown + u')';
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
    if (!r.defaultExtension.isEmpty()) dlg.setDefaultSuffix(r.defaultExtension);
    if (!r.fileName.isEmpty()) dlg.selectFile(r.fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    result.fileName = dlg.selectedFiles().first();
    result.filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    if (result.filterIndex < 1) result.filterIndex = r.filterIndex;
    return true;
}

}  // namespace tova
