#pragma once

#include "platform/FileDialogPort.h"

#include <QStringList>

namespace tova {

// The real file dialog behind the file-dialog port.
class QtFileDialog : public FileDialogPort {
public:
    bool run(const FileDialogRequest& request, FileDialogResult& result) override;
    // "説明|*.a;*.b|..." to Qt's "説明 (*.a *.b);;..."
    static QStringList qtFilters(const QString& classicFilter);
};

}  // namespace tova
