#pragma once

#include "platform/Ports.h"

class QWidget;

namespace tova {

// The real modal windows behind the ports.
class QtMessageBox : public MessageBoxPort {
public:
    MsgResult show(const MessageRequest& request) override;
};

class QtInputBox : public InputBoxPort {
public:
    bool ask(const InputRequest& request, QString& answer) override;
};

class QtFileDialog : public FileDialogPort {
public:
    bool run(const FileDialogRequest& request, FileDialogResult& result) override;
    // "説明|*.a;*.b|..." to Qt's "説明 (*.a *.b);;..."
    static QStringList qtFilters(const QString& classicFilter);
};

class QtPopupMenu : public PopupMenuPort {
public:
    QString popup(QMenu* menu, const QPoint& globalPos) override;
};

// Installs the four Qt ports and the wheel hook for the life of the program.
void installQtPorts();

}  // namespace tova
