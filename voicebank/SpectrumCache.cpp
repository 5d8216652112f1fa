#include "voicebank/SpectrumCache.h"

#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "voicebank/BankFolders.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace tova {
namespace {

bool hasMagic(const QByteArray& head) { return head.size() >= 4 && std::memcmp(head.constData(), SpectrumCache::kMagic, 4) == 0; }

QByteArray readHead(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(4);
}

}  // namespace

QString SpectrumCache::PathFor(const QString& wavePath) { return FileSystem::resolve(wavePath) + QStringLiteral(".kspx"); }

std::int64_t SpectrumCache::FileSize(std::int64_t rows) { return 4 + std::int64_t(kSpectrumBins) * rows; }

bool SpectrumCache::NeedsBuild(const QString& wavePath, std::int64_t rows) {
    const QString cache = PathFor(wavePath);
    const QFileInfo info(cache);
    if (!info.isFile() || info.size() == 0) return true;
    if (info.size() != FileSize(rows) || !hasMagic(readHead(cache))) return true;
    const QFileInfo sample(FileSystem::resolve(wavePath));
    return sample.exists() && sample.lastModified() > info.lastModified();
}

SpectrumCache::Build SpectrumCache::BuildIfNeeded(const QString& wavePath, const QVector<std::int16_t>& samples,
                                                  int channels, const Progress& progress) {
    const std::int64_t rows = SpectrumRowCount(samples.size(), channels);
    if (!NeedsBuild(wavePath, rows)) return Build::Current;

    ReplacingFile file(PathFor(wavePath));
    if (!file.isOpen()) return Build::NotWritable;
    // Rows are gathered and written in large blocks; every write is checked.
    QByteArray pending(kMagic, 4);
    const QVector<double> table = MakeSinTable(kSpectrumWindow);
    const std::int64_t last = samples.size() - 1;
    const std::int64_t step = std::int64_t(kSpectrumStep) * std::max(channels, 1);
    for (std::int64_t f = 0, pos = 0; f < rows; ++f, pos += step) {
        const auto row = ComputeSpectrumCacheRow(samples, channels, f * kSpectrumStep, table);
        pending.append(reinterpret_cast<const char*>(row.data()), kSpectrumBins);
        if (pending.size() >= (1 << 16)) {
            if (!file.write(pending)) return Build::NotWritable;
            pending.clear();
        }
        if (progress && progress(pos, last)) {
            file.cancel();
            return Build::Cancelled;
        }
    }
    if (!file.write(pending) || !file.commit()) return Build::NotWritable;
    return Build::Built;
}

void SpectrumCache::DeleteAll(const QString& voiceFolder) {
    if (voiceFolder.isEmpty() || !FileSystem::isFolder(voiceFolder)) return;
    const QString root = FileSystem::resolve(voiceFolder);
    QStringList folders{root};
    for (const QString& name : DirectSubFolders(root)) folders << PathText::join(root, name);
    for (const QString& folder : folders)
        for (const QString& name : FileSystem::list(folder, QStringLiteral("*.kspx"), false)) {
            const QString path = PathText::join(folder, name);
            if (QFileInfo(path).isFile()) QFile::remove(path);
        }
}

bool SpectrumCache::open(const QString& wavePath, std::int64_t rows) {
    bytes_.clear();
    rows_ = 0;
    QFile f(PathFor(wavePath));
    if (rows <= 0 || f.size() != FileSize(rows) || !f.open(QIODevice::ReadOnly)) return false;
    QByteArray all = f.readAll();
    if (all.size() != FileSize(rows) || !hasMagic(all)) return false;
    bytes_ = std::move(all);
    rows_ = rows;
    return true;
}

std::array<std::uint8_t, kSpectrumBins> SpectrumCache::row(std::int64_t f) const {
    std::array<std::uint8_t, kSpectrumBins> out{};
    if (f < 0 || f >= rows_) return out;
    std::memcpy(out.data(), bytes_.constData() + 4 + f * kSpectrumBins, kSpectrumBins);
    return out;
}

}  // namespace tova
