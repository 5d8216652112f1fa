#pragma once

#include "platform/Ports.h"

#include <QList>
#include <QQueue>

namespace tova {

// Scripted stand-ins for the modal-window ports, for tests: each records what it was asked and
// answers from a queue, so no test ever blocks on a window.

class FakeMessageBox : public MessageBoxPort {
public:
    QList<MessageRequest> shown;
    QQueue<MsgResult> answers;  // empty queue: the default button's answer
    MsgResult show(const MessageRequest& request) override;
    QString lastText() const { return shown.isEmpty() ? QString() : shown.back().text; }
};

class FakeInputBox : public InputBoxPort {
public:
    struct Answer {
        bool ok;
        QString text;
    };
    QList<InputRequest> asked;
    QQueue<Answer> answers;  // empty queue: cancelled
    bool ask(const InputRequest& request, QString& answer) override;
};

class FakeFileDialog : public FileDialogPort {
public:
    QList<FileDialogRequest> asked;
    QQueue<QString> answers;  // empty text or empty queue: cancelled
    QQueue<int> filterIndexes;  // the filter chosen with each answer; empty queue: the request's
    bool run(const FileDialogRequest& request, FileDialogResult& result) override;
};

class FakePopupMenu : public PopupMenuPort {
public:
    QList<QPoint> shownAt;
    QQueue<QString> answers;  // object names of the chosen items; empty: dismissed
    QString popup(QMenu* menu, const QPoint& globalPos) override;
};

// The system clipboard as a plain field.
class FakeClipboard : public ClipboardPort {
public:
    QString content;
    int writes = 0;
    QString text() const override { return content; }
    void setText(const QString& text) override { content = text, ++writes; }
};

// Installs all the fakes for the life of the object and removes them afterwards.
class ScopedFakePorts {
public:
    FakeMessageBox messageBox;
    FakeInputBox inputBox;
    FakeFileDialog fileDialog;
    FakePopupMenu popupMenu;
    FakeClipboard clipboard;
    ScopedFakePorts();
    ~ScopedFakePorts();
    ScopedFakePorts(const ScopedFakePorts&) = delete;
    ScopedFakePorts& operator=(const ScopedFakePorts&) = delete;
};

}  // namespace tova
