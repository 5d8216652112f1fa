#include "platform/ui/QtPorts.h"

#include "platform/ui/QtWheelHook.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

namespace tova {
namespace {
QString programTitle() {
    QString t = QApplication::applicationDisplayName();
    return t.isEmpty() ? QApplication::applicationName() : t;
}
}  // namespace

MsgResult QtMessageBox::show(const MessageRequest& r) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(r.title.isEmpty() ? programTitle() : r.title);
    box.setText(r.text);
    switch (r.icon) {
        case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::None: break;
    }
    struct B { QMessageBox::StandardButton qt; MsgResult res; };
    QList<B> buttons;
    switch (r.buttons) {
        case MsgButtons::OK: buttons = {{QMessageBox::Ok, MsgResult::OK}}; break;
        case MsgButtons::OKCancel: buttons = {{QMessageBox::Ok, MsgResult::OK}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
        case MsgButtons::AbortRetryIgnore:
            buttons = {{QMessageBox::Abort, MsgResult::Abort}, {QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Ignore, MsgResult::Ignore}};
            break;
        case MsgButtons::YesNoCancel:
            buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}, {QMessageBox::Cancel, MsgResult::Cancel}};
            break;
        case MsgButtons::YesNo: buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}}; break;
        case MsgButtons::RetryCancel: buttons = {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const B& b : buttons) all |= b.qt;
    box.setStandardButtons(all);
    box.setDefaultButton(buttons.value(qBound(0, r.defaultButton, int(buttons.size()) - 1)).qt);
    int answer = box.exec();
    for (const B& b : buttons)
        if (answer == b.qt) return b.res;
    // Closed by its frame: the cancel-like answer.
    if (r.buttons == MsgButtons::YesNo) return MsgResult::No;
    if (r.buttons == MsgButtons::OK) return MsgResult::OK;
    return MsgResult::Cancel;
}

bool QtInputBox::ask(const InputRequest& r, QString& answer) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), r.title.isEmpty() ? programTitle() : r.title,
                                         r.prompt, QLineEdit::Normal, r.defaultText, &ok);
    if (ok) answer = text;
    return ok;
}

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

QString QtPopupMenu::popup(QMenu* menu, const QPoint& globalPos) {
    if (!menu) return QString();
    QAction* a = menu->exec(globalPos);
    return a ? a->objectName() : QString();
}

void installQtPorts() {
    static QtMessageBox messageBox;
    static QtInputBox inputBox;
    static QtFileDialog fileDialog;
    static QtPopupMenu popupMenu;
    Ports::setMessageBox(&messageBox);
    Ports::setInputBox(&inputBox);
    Ports::setFileDialog(&fileDialog);
    Ports::setPopupMenu(&popupMenu);
    static QtWheelHook wheelHook;
    WheelHookPort::install(&wheelHook);
}

}  // namespace tova
