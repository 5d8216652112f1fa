#pragma once

#include <QString>

namespace tova {

struct FileDialogRequest {
    bool save = false;
    QString title;
    // Filter in the classic form: "説明|*.tvx|すべて|*.*" (pairs of description and patterns, patterns
    // separated by ";").
    QString filter;
    int filterIndex = 1;       // 1-based
    QString fileName;          // initial name (may include a folder)
    QString initialFolder;
    // Extension (without the dot) that a save dialog adds to a chosen name that has none.
    QString defaultExtension;
    bool overwritePrompt = true;
    bool fileMustExist = false;
};

struct FileDialogResult {
    QString fileName;  // full path
    int filterIndex = 1;
};

// A file open or save dialog. Returns false when cancelled.
class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;
    virtual bool run(const FileDialogRequest& request, FileDialogResult& result) = 0;
};

}  // namespace tova
