#include "platform/FakePorts.h"

namespace tova {
namespace {
MsgResult defaultAnswer(const MessageRequest& r) {
    static const MsgResult table[][3] = {
        {MsgResult::OK, MsgResult::OK, MsgResult::OK},
        {MsgResult::OK, MsgResult::Cancel, MsgResult::Cancel},
        {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore},
        {MsgResult::Yes, MsgResult::No, MsgResult::Cancel},
        {MsgResult::Yes, MsgResult::No, MsgResult::No},
        {MsgResult::Retry, MsgResult::Cancel, MsgResult::Cancel},
    };
    int b = qBound(0, r.defaultButton, 2);
    return table[int(r.buttons)][b];
}
}  // namespace

MsgResult FakeMessageBox::show(const MessageRequest& request) {
    shown.append(request);
    return answers.isEmpty() ? defaultAnswer(request) : answers.dequeue();
}

bool FakeInputBox::ask(const InputRequest& request, QString& answer) {
    asked.append(request);
    if (answers.isEmpty()) return false;
    Answer a = answers.dequeue();
    if (a.ok) answer = a.text;
    return a.ok;
}

bool FakeFileDialog::run(const FileDialogRequest& request, FileDialogResult& result) {
    asked.append(request);
    if (answers.isEmpty()) return false;
    QString name = answers.dequeue();
    if (name.isEmpty()) return false;
    result.fileName = name;
    result.filterIndex = filterIndexes.isEmpty() ? request.filterIndex : filterIndexes.dequeue();
    return true;
}

QString FakePopupMenu::popup(QMenu*, const QPoint& globalPos) {
    shownAt.append(globalPos);
    return answers.isEmpty() ? QString() : answers.dequeue();
}

ScopedFakePorts::ScopedFakePorts() {
    Ports::setMessageBox(&messageBox);
    Ports::setInputBox(&inputBox);
    Ports::setFileDialog(&fileDialog);
    Ports::setPopupMenu(&popupMenu);
    Ports::setClipboard(&clipboard);
}

ScopedFakePorts::~ScopedFakePorts() {
    Ports::setMessageBox(nullptr);
    Ports::setInputBox(nullptr);
    Ports::setFileDialog(nullptr);
    Ports::setPopupMenu(nullptr);
    Ports::setClipboard(nullptr);
}

}  // namespace tova
