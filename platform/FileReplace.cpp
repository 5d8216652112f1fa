#include "platform/FileReplace.h"

#include "platform/FileSystem.h"
#include "platform/SystemErrorText.h"
#include "platform/lean/Files.h"

#include <QFile>

#include <cerrno>

namespace tova {

ReplacingFile::ReplacingFile(const QString& path)
    : path_(path),
      file_(std::make_unique<lean::AtomicFile>(QFile::encodeName(FileSystem::resolve(path)).toStdString(),
                                               lean::AtomicFile::Leftovers::Remove)) {}

ReplacingFile::~ReplacingFile() = default;

bool ReplacingFile::isOpen() const { return file_->isOpen(); }

bool ReplacingFile::write(const char* data, qint64 size) {
    return size >= 0 && file_->write(data, std::size_t(size));
}

bool ReplacingFile::commit() { return file_->commit(); }

void ReplacingFile::cancel() { file_->cancel(); }

int ReplacingFile::errorNumber() const { return file_->errorNumber(); }

QString ReplacingFile::reason() const { return SystemErrorText(errorNumber()); }

QString ReplacingFile::errorText() const { return path_ + QStringLiteral(": ") + reason(); }

bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* reason) {
    ReplacingFile file(path);
    if (file.write(bytes) && file.commit()) return true;
    if (reason) *reason = file.reason();
    return false;
}

}  // namespace tova
