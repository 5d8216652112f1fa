// libFuzzer entry: any bytes as an install archive, listed, its description read, and unpacked into a
// scratch folder as the installer does (from the root, and from a contents folder). Besides the
// sanitizers, a result that breaks the unpacking's promises aborts: nothing but plain files and
// folders appear, every one below the scratch folder, and the files written are as many as counted.
#include "exchange/install/ArchiveInstaller.h"
#include "exchange/install/ArchiveUnpack.h"
#include "platform/zip/ZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Everything under the folder is a plain file or folder whose real path lies below it.
void checkTree(const QString& folder) {
    const QString root = QFileInfo(folder).canonicalFilePath();
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        check(!fi.isSymLink() && (fi.isFile() || fi.isDir()));
        check(fi.canonicalFilePath().startsWith(root + u'/'));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    tova::ZipArchive archive;
    if (!archive.openBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))) return 0;
    for (const tova::ZipArchive::Entry& e : archive.entries()) {
        if (e.kind != tova::ZipArchive::Kind::File) continue;
        if (const auto bytes = archive.read(e.index, tova::ArchiveInstaller::kDescriptionLimit)) {
            tova::ArchiveInstaller::ReadDescription(*bytes);
            tova::ArchiveInstaller::ReadNameFromText(*bytes);
        }
    }
    const QList<tova::UnpackPlan> plans = {{{}, true}, {{QStringLiteral("bank")}, false}};
    for (const tova::UnpackPlan& plan : plans) {
        const QString scratch = dir.path() + QStringLiteral("/w");
        QDir(scratch).removeRecursively();
        check(QDir().mkpath(scratch));
        const int expected = tova::CountUnpackFiles(archive, plan);
        const tova::UnpackResult r = tova::UnpackInto(archive, plan, scratch, nullptr);
        check(r.files <= expected);
        if (r.ok) check(r.files + r.skipped.size() >= expected);
        checkTree(scratch);
        QDir(scratch).removeRecursively();
    }
    return 0;
}
