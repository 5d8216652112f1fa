#include "render/ToolLibraries.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QByteArray>
#include <QFile>

#include <array>
#include <memory>
#include <dlfcn.h>

namespace tova {
namespace {

using CatenaExecFunction = std::int32_t (*)(const char*, const char*, const char*, const char*, const char*,
                                            const char*, const char*, const char*, const char*, const char*,
                                            const char*, const char*, const char*, const char*, const char*);
using AppendFilesFunction = std::int32_t (*)(const char*, const char*, const char*);

const QString kCatenaLibrary = QStringLiteral("catena2.so");

template <std::size_t N>
std::array<QByteArray, N> encodeAll(const QStringList& arguments) {
    std::array<QByteArray, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = i < std::size_t(arguments.size()) ? Cp932::encodeMarked(arguments[qsizetype(i)]) : QByteArray();
    return out;
}

}  // namespace

ToolLibraries& ToolLibraries::instance() {
    static ToolLibraries libraries;
    return libraries;
}

ToolLibraries::~ToolLibraries() { Unload(); }

QString ToolLibraries::FindVorsaLibrary(const QString& folder) {
    const QString preferred = PathText::join(folder, QStringLiteral("vorsa10.so"));
    if (FileSystem::isFile(preferred)) return FileSystem::resolve(preferred);
    for (const QString& name : FileSystem::list(folder, QStringLiteral("vorsa*.so"), false)) {
        const QString path = PathText::join(FileSystem::resolve(folder), name);
        if (FileSystem::isFile(path)) return path;
    }
    return QString();
}

void* ToolLibraries::entry(Library& library, const QString& path, const char* symbol) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (library.handle && library.path != path) {
        dlclose(library.handle);
        library.handle = nullptr;
    }
    if (!library.handle) {
        if (path.isEmpty() || !QFile::exists(path))
            throw FileError(QStringLiteral("ファイルが見つかりません。 ") + (path.isEmpty() ? QStringLiteral("vorsa*.so") : path), 53);
        library.handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!library.handle)
            throw FileError(QStringLiteral("DLL を読み込めません。 ") + path + QStringLiteral(": ") +
                                QString::fromLocal8Bit(dlerror()),
                            48);
        library.path = path;
    }
    void* address = dlsym(library.handle, symbol);
    if (!address)
        throw FileError(QStringLiteral("DLL エントリ ポイントが見つかりません。 ") + QString::fromLatin1(symbol) +
                            QStringLiteral(" in ") + path,
                        453);
    return address;
}

std::int32_t ToolLibraries::VorsaExec(const QStringList& arguments, VorsaProgressCallback callback) {
    return PrepareVorsaExec(arguments)(callback);
}

ToolLibraries::VorsaCall ToolLibraries::PrepareVorsaExec(const QStringList& arguments) {
    auto exec = reinterpret_cast<VorsaExecFunction>(
        entry(vorsa_, FindVorsaLibrary(SystemPaths::programFolder()), "exec"));
    auto texts = std::make_shared<const std::array<QByteArray, VorsaArgumentCount>>(
        encodeAll<VorsaArgumentCount>(arguments));
    return [exec, texts](VorsaProgressCallback callback) {
        const auto& a = *texts;
        return exec(a[0].constData(), a[1].constData(), a[2].constData(), a[3].constData(), a[4].constData(),
                    a[5].constData(), a[6].constData(), a[7].constData(), a[8].constData(), a[9].constData(),
                    a[10].constData(), a[11].constData(), a[12].constData(), callback);
    };
}

std::int32_t ToolLibraries::CatenaExec(const QStringList& arguments) {
    auto exec = reinterpret_cast<CatenaExecFunction>(
        entry(catena_, PathText::join(SystemPaths::programFolder(), kCatenaLibrary), "exec"));
    const auto a = encodeAll<CatenaArgumentCount>(arguments);
    return exec(a[0].constData(), a[1].constData(), a[2].constData(), a[3].constData(), a[4].constData(),
                a[5].constData(), a[6].constData(), a[7].constData(), a[8].constData(), a[9].constData(),
                a[10].constData(), a[11].constData(), a[12].constData(), a[13].constData(), a[14].constData());
}

std::int32_t ToolLibraries::AppendFiles(const QString& headerPart, const QString& dataPart, const QString& output) {
    auto append = reinterpret_cast<AppendFilesFunction>(
        entry(catena_, PathText::join(SystemPaths::programFolder(), kCatenaLibrary), "append_files"));
    const QByteArray h = Cp932::encodeMarked(headerPart), d = Cp932::encodeMarked(dataPart),
                     o = Cp932::encodeMarked(output);
    return append(h.constData(), d.constData(), o.constData());
}

void ToolLibraries::Unload() {
    const std::lock_guard<std::mutex> guard(lock_);
    for (Library* library : {&vorsa_, &catena_}) {
        if (library->handle) dlclose(library->handle);
        library->handle = nullptr;
        library->path.clear();
    }
}

}  // namespace tova
