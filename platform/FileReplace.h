#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace tova::lean {
class AtomicFile;
}

namespace tova {

// The one way the editor's libraries replace a file (a project, the settings, an ini file, a caption
// file, a wave, oto.ini, prefix.map, an export, ...). The new content is written under a temporary
// name beside the file, "<name>.<process id>-<count>.tmp", every write, the sync and the close are
// checked, and only a whole file is renamed over the old one: on any failure (a full disk, a file
// size limit, no right to write) the old file stays as it was and the reason is given in words.
// Temporary files that killed writers left for the same file are removed first, once their process
// no longer runs.
class ReplacingFile {
public:
    // `path` is resolved as FileSystem::resolve does ("\" read as "/", letter case found on disk).
    explicit ReplacingFile(const QString& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool isOpen() const;
    // False once any write failed (later writes do nothing); the file is then dropped.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Puts the file in place; false when it was not (the old one stays).
    bool commit();
    // Drops the new file; the old one stays.
    void cancel();

    // The system's error number of the failure, and the reason in words ("ディスクの空き領域が不足
    // しています。" for a full disk).
    int errorNumber() const;
    QString reason() const;
    // "<path>: <reason>", as a message shows it.
    QString errorText() const;

private:
    QString path_;
    std::unique_ptr<lean::AtomicFile> file_;
};

// Replaces the file with `bytes` as ReplacingFile does; false with the reason in words in `reason`.
bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

}  // namespace tova
