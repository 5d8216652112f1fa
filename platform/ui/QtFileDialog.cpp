#include "platform/ui/QtFileDialog.h"

#include "platform/Ports.h"
#include "platform/ui/DialogOwner.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTreeView>

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

namespace {

// Qt's dialog gives its size, type and date columns fixed widths measured on English samples; the
// program's texts ("869 バイト", "mid ファイル", dates) are wider and would be cut. The columns take the
// width of their contents at the dialog's font instead, and the name column the rest.
void fitDetailColumns(QFileDialog& dlg) {
    auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree) return;  // the system's own dialog lays itself out
    QHeaderView* header = tree->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

// The replace question of a save dialog, asked through the program's message box (its title and
// icon) with the text of the dialog's own question.
bool mayReplace(const QString& path) {
    MessageRequest ask;
    ask.text = QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                   .arg(QFileInfo(path).fileName());
    ask.buttons = MsgButtons::YesNo;
    ask.icon = MsgIcon::Exclamation;
    ask.defaultButton = 1;
    return Ports::messageBox().show(ask) == MsgResult::Yes;
}

}  // namespace

bool QtFileDialog::run(const FileDialogRequest& r, FileDialogResult& result) {
    QFileDialog dlg(dialogOwner(), r.title);
    dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(r.save ? QFileDialog::AnyFile : (r.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    // The replace question is the program's own (below).
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = qtFilters(r.filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.value(qBound(1, r.filterIndex, int(filters.size())) - 1));
    }
    if (!r.initialFolder.isEmpty()) dlg.setDirectory(r.initialFolder);
    if (!r.defaultExtension.isEmpty()) dlg.setDefaultSuffix(r.defaultExtension);
    if (!r.fileName.isEmpty()) dlg.selectFile(r.fileName);
    fitDetailColumns(dlg);
    for (;;) {
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        result.fileName = dlg.selectedFiles().first();
        // No: the dialog opens again on the same name, as the system's replace question does.
        if (!r.save || !r.overwritePrompt || !QFileInfo::exists(result.fileName) || mayReplace(result.fileName)) break;
        dlg.selectFile(result.fileName);
    }
    result.filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    if (result.filterIndex < 1) result.filterIndex = r.filterIndex;
    return true;
}

}  // namespace tova
