#include "core/InstanceCount.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/InstanceRegistry.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"

#include <QFile>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace tova {
namespace {

const QByteArray kKey = QByteArrayLiteral("EXEC_COUNT");

std::unique_ptr<InstanceRegistry>& registry() {
    static std::unique_ptr<InstanceRegistry> r;
    return r;
}

void writeCount(QByteArray& block, int count) {
    QByteArray text = Cp932::encode(QString::fromLatin1(kKey) + u'=' + QString::number(count));
    if (block.size() < 2 + text.size()) block.resize(2 + text.size(), '\0');
    block[0] = char(text.size() & 0xFF);
    block[1] = char((text.size() >> 8) & 0xFF);
    std::copy(text.begin(), text.end(), block.begin() + 2);
}

}  // namespace

int NextInstanceCount(QByteArray& block) {
    if (block.size() < 2 + kKey.size() || block.mid(2, kKey.size()) != kKey) {
        writeCount(block, 1);
        return 1;
    }
    int length = quint8(block[0]) | (quint8(block[1]) << 8);
    length = qMin(length, int(block.size()) - 2);
    const QString text = Cp932::decode(block.mid(2, length));
    const qsizetype eq = text.indexOf(u'=');
    const double stored = eq < 0 ? 0.0 : Vb::Val(text.mid(eq + 1));
    // A count that no longer fits starts again from the beginning rather than failing.
    int count = 1;
    if (std::isfinite(stored) && stored >= 0 && stored < 2147483646.0) count = Vb::CLng(stored) + 1;
    writeCount(block, count);
    return count;
}

int CountInstance() {
    auto& r = registry();
    if (!r) r = std::make_unique<InstanceRegistry>();
    int n = r->join(NextInstanceCount);
    return n > 0 ? n : int(::getpid());
}

void CloseInstanceMap() {
    if (registry()) registry()->leave();
}

QString MakeInstanceTempFolder(int instance) {
    const QString root = SystemPaths::tempRoot();
    const QString name = QStringLiteral("tova") + QString::number(instance);
    const QString path = PathText::join(root, name);
    if (FileSystem::makePrivateFolder(path)) return path;
    // The name is taken by something that is not ours: never use it.
    QByteArray pattern = QFile::encodeName(PathText::join(root, name + QStringLiteral("-XXXXXX")));
    if (::mkdtemp(pattern.data()) != nullptr) {
        QString fresh = QFile::decodeName(pattern);
        if (FileSystem::makePrivateFolder(fresh)) return fresh;
    }
    throw FileError(QStringLiteral("パスが見つかりません。 ") + path, 76);
}

}  // namespace tova
