#include "exchange/install/ArchiveInstaller.h"

#include "core/MessageTable.h"
#include "exchange/PluginList.h"
#include "exchange/install/ArchivePaths.h"
#include "exchange/install/InstallHost.h"
#include "platform/FileSystem.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/zip/ZipArchive.h"
#include "platform/Cp932Lines.h"
#include "render/VoiceBankList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace tova {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNotFound = QStringLiteral("インストール情報が見つかりません。");
const QString kInvalid = QStringLiteral("インストール情報が不正です");
const QString kIncomplete = QStringLiteral("インストール情報に不備があります");
const QString kNoPluginInfo = QStringLiteral("プラグイン情報が見つかりません");
const QString kCancelled = QStringLiteral("インストールは中断されました");
// Unpacking more than this asks the user first.
constexpr qint64 kAskAboveBytes = qint64(2) << 30;
// So does unpacking more than this many times the archive's own size (banks and plug-ins are mostly
// waves and programs that hardly compress; a few hundred kilobytes that unpack to gigabytes are made
// to fill the disk), once it is more than a few megabytes.
constexpr qint64 kAskAboveRatio = 100;
constexpr qint64 kRatioAskFromBytes = qint64(16) << 20;
const QString kUnsupported = QStringLiteral("未対応のインストールタイプです。");

QStringList linesOf(const QByteArray& bytes) {
    const QString text = Cp932::decode(bytes);
    QStringList lines;
    for (QStringView line : TextLines(text)) lines << line.toString();
    return lines;
}

// The entry of the archive at `parts` followed by a file name (letter case of the name ignored).
const ZipArchive::Entry* findEntry(const ZipArchive& archive, const QStringList& folderParts, const QString& fileName) {
    for (const ZipArchive::Entry& e : archive.entries()) {
        if (e.kind != ZipArchive::Kind::File) continue;
        QStringList parts;
        if (!SplitEntryName(e.name, parts) || parts.size() != folderParts.size() + 1) continue;
        if (parts.mid(0, folderParts.size()) != folderParts) continue;
        if (parts.last().compare(fileName, Qt::CaseInsensitive) == 0) return &e;
    }
    return nullptr;
}

std::optional<QByteArray> readEntry(const ZipArchive& archive, const QStringList& folderParts, const QString& fileName) {
    const ZipArchive::Entry* e = findEntry(archive, folderParts, fileName);
    if (!e) return std::nullopt;
    return archive.read(e->index, ArchiveInstaller::kDescriptionLimit);
}

QString withoutFinalSeparator(QString path) {
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\'))) path.chop(1);
    return path;
}

}  // namespace

ArchiveInstaller::ArchiveInstaller(InstallHost& host) : host_(host) {}

ArchiveInstaller::Description ArchiveInstaller::ReadDescription(const QByteArray& bytes) {
    Description d;
    for (const QString& line : linesOf(bytes)) {
        if (line.isEmpty()) continue;
        const QStringList parts = line.split(u'=');
        if (parts.size() != 2) continue;
        const QString key = parts[0].toLower();
        const QString& value = parts[1];
        if (key == u"type") d.type = value;
        else if (key == u"folder") d.folder = value;
        else if (key == u"contentsdir") d.contentsDir = value;
        else if (key == u"description") d.description = value;
        else if (key == u"id") d.id = value;
        else if (key == u"version") d.version = value;
    }
    return d;
}

QString ArchiveInstaller::ReadNameFromText(const QByteArray& bytes) {
    for (const QString& line : linesOf(bytes)) {
        const QStringList parts = line.split(u'=');
        if (parts.size() < 2) continue;
        if (parts[0].toLower() == u"name") return parts[1];
    }
    return QString();
}

int ArchiveInstaller::GetFileAttrSafe(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
        // Only a real folder can take the installation; a link or a file in its place is refused.
        return S_ISDIR(st.st_mode) ? 0 : 75;
    }
    return errno == ENOENT ? 0 : 75;
}

bool ArchiveInstaller::FolderExists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString ArchiveInstaller::AlternativeFolder(const QString& root, const QString& folder) {
    for (int n = 0;; ++n) {
        const QString candidate = folder + QString::number(n);
        if (!FolderExists(root + u'/' + candidate)) return candidate;
    }
}

bool ArchiveInstaller::ConfirmTarget(const QString& root, QString& folder, const QString& newName,
                                     const QString& existingName, const QString& description, bool exists) {
    if (!exists) {
        QString text = GetMessage(QStringLiteral("'{1}'をインストールします"), newName);
        if (!description.isEmpty()) text += GetMessage(QStringLiteral("\\n\\n説明：\\n{1}"), description);
        return Ports::msgBox(text, MsgButtons::OKCancel, MsgIcon::Information) == MsgResult::OK;
    }
    const QString alternative = AlternativeFolder(root, folder);
    QString text = GetMessage(QStringLiteral("インストール先フォルダが存在します")) + kCrLf;
    text += GetMessage(QStringLiteral("【フォルダ名】'{1}'\\n【名　　　前】'{2}'\\nここに上書きしますか？\\n"), folder, existingName) + kCrLf;
    text += GetMessage(QStringLiteral("「いいえ」を選択すると以下のフォルダ名に変えてインストールします。\\n【フォルダ名】'{1}'\\n"),
                       alternative) +
            kCrLf;
    if (!description.isEmpty()) text += GetMessage(QStringLiteral("'{1}'の説明：\\n{2}"), newName, description);
    const MsgResult answer = Ports::msgBox(text, MsgButtons::YesNoCancel, MsgIcon::Exclamation,
                                           GetMessage(QStringLiteral("'{1}'のインストール中"), newName));
    if (answer == MsgResult::Cancel) return false;
    if (answer == MsgResult::No) folder = alternative;
    return true;
}

QString ArchiveInstaller::PrepareInstall(const QString& archivePath, QString& message) {
    message.clear();
    InstallDestRoot.clear();
    InstallDestFolder.clear();
    InstallName.clear();
    InstallEntryCount = 0;

    ZipArchive archive;
    std::optional<QByteArray> descriptionBytes;
    QString openError;
    if (archive.open(archivePath)) {
        descriptionBytes = readEntry(archive, QStringList(), QStringLiteral("install.txt"));
        // There but unreadable (damaged data): say why, as for an archive that does not open.
        if (!descriptionBytes && findEntry(archive, QStringList(), QStringLiteral("install.txt")))
            openError = archive.errorText();
    } else {
        openError = archive.errorText();
    }
    if (!descriptionBytes) {
        message = GetMessage(kNotFound);
        // A damaged or cut-short archive says why it could not be read.
        if (!openError.isEmpty()) message += kCrLf + GetMessage(QStringLiteral("アーカイブを読めません：{1}"), openError);
        return QStringLiteral("0");
    }
    const Description d = ReadDescription(*descriptionBytes);
    QStringList contentsParts;
    const bool valid = !d.folder.isEmpty() && !d.folder.contains(QStringLiteral("..")) && !d.type.isEmpty() &&
                       IsPlainFolderName(d.folder) && SplitContentsDir(d.contentsDir, contentsParts);
    if (!valid) {
        message = GetMessage(kInvalid);
        return QString();
    }
    InstallType = d.type;
    InstallArchivePath = archivePath;
    InstallContentsDir = d.contentsDir;
    contentsParts_ = contentsParts;
    QString folder = d.folder;

    // A refusal: the message to show, and no target.
    auto refuse = [&message](const QString& key) {
        message = GetMessage(key);
        return QString();
    };
    // The confirmed target and what installing it will unpack.
    auto settle = [&](const QString& root, const QString& target, const QString& name) {
        InstallDestRoot = root;
        InstallDestFolder = target;
        InstallName = name;
        InstallEntryCount = CountUnpackFiles(archive, UnpackPlan{contentsParts_, contentsParts_.isEmpty()});
    };

    if (d.type == u"voiceset") {
        const std::optional<QByteArray> profile = readEntry(archive, contentsParts, QStringLiteral("character.txt"));
        if (!profile) return refuse(kIncomplete);
        QString alias, name, image, sample, author, web, other;
        ReadCharacterLines(linesOf(*profile), alias, name, image, sample, author, web, other);
        if (name.isEmpty()) return refuse(kIncomplete);
        const QString root = withoutFinalSeparator(GetVoiceRoot());
        const QString target = root + u'/' + folder;
        if (GetFileAttrSafe(target) != 0) return refuse(kInvalid);
        bool ask = true;
        const bool exists = FolderExists(target);
        QString existingName;
        if (exists) {
            QString existing = target, image2, sample2, author2, web2, other2;
            ReadCharacterTxt(existing, existingName, image2, sample2, author2, web2, other2);
            // An empty folder is installed into as it is; one holding anything (a bank without a name
            // is still someone's samples and oto.ini) is not overwritten without asking.
            const QDir::Filters anything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
            ask = !existingName.isEmpty() || !QDir(FileSystem::resolve(target)).isEmpty(anything);
            if (existingName.isEmpty()) existingName = folder;
        }
        if (ask && !ConfirmTarget(root, folder, name, existingName, d.description, exists)) return refuse(kCancelled);
        settle(root, folder, name);
        return folder;
    }
    if (d.type == u"editplugin") {
        const std::optional<QByteArray> description = readEntry(archive, contentsParts, QStringLiteral("plugin.txt"));
        if (!description) return refuse(kNoPluginInfo);
        const QString root = withoutFinalSeparator(GetPluginsFolder());
        const QString target = root + u'/' + folder;
        if (GetFileAttrSafe(target) != 0) return refuse(kInvalid);
        const QString name = ReadNameFromText(*description);
        if (name.isEmpty()) return refuse(kNoPluginInfo);
        const bool exists = FolderExists(target);
        QString existingName;
        QString shownDescription = d.description;
        if (exists) {
            QFile existing;
            if (FileSystem::openRegularFile(existing, target + QStringLiteral("/plugin.txt"))) existingName = ReadNameFromText(existing.read(kDescriptionLimit));
            if (!shownDescription.isEmpty()) shownDescription = QStringLiteral("説明:") + kCrLf + shownDescription;
        }
        if (!ConfirmTarget(root, folder, name, existingName, shownDescription, exists)) return refuse(kCancelled);
        settle(root, folder, name);
        return QString();
    }
    // Language archives are recognised but not installed by this program; any other type is unknown.
    return refuse(kUnsupported);
}

namespace {

// Gives the program a plug-in's plugin.txt names by `execute=` the execute bit: archives made on
// Windows carry none, and a script plug-in could not be started without it. Only a regular file inside
// the plug-in's folder is touched.
void MakePluginProgramExecutable(const QString& folder) {
    QFile description(folder + QStringLiteral("/plugin.txt"));
    if (!description.open(QIODevice::ReadOnly)) return;
    QString execute;
    const QString text = Cp932::decodeMarked(description.read(ArchiveInstaller::kDescriptionLimit));
    for (const QStringView line : TextLines(text)) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).compare(QStringLiteral("execute"), Qt::CaseInsensitive) == 0) {
            execute = line.mid(eq + 1).toString().section(u'=', 0, 0);
            break;
        }
    }
    execute = PathText::toSlashes(execute);
    if (execute.isEmpty() || execute.startsWith(u'/') || execute.contains(u':')) return;
    for (const QString& part : execute.split(u'/'))
        if (part == u"..") return;
    const QString program = FileSystem::resolve(folder + u'/' + execute);
    struct stat st{};
    const QByteArray native = QFile::encodeName(program);
    if (::lstat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    ::chmod(native.constData(), (st.st_mode & 07777) | 0111);
}

}  // namespace

bool ArchiveInstaller::UnzipWithProgress() {
    UnzipFileCount = 0;
    Skipped.clear();
    UnpackError.clear();
    if (InstallDestRoot.isEmpty() || InstallDestFolder.isEmpty()) {
        UnpackError = GetMessage(kInvalid);
        return false;
    }
    const UnpackPlan plan{contentsParts_, contentsParts_.isEmpty()};
    ZipArchive archive;
    if (!archive.open(InstallArchivePath)) {
        UnpackError = archive.errorText();
        return false;
    }
    if (!QDir().mkpath(InstallDestRoot)) {
        UnpackError = QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(std::strerror(errno)), InstallDestRoot);
        return false;
    }
    // Before anything is written: every file must be writable under its own name, what the archive says
    // it holds must be consistent and fit the free space, and above a size no bank or plug-in reaches,
    // or far beyond the archive's own size, the user says so.
    UnpackError = CheckUnpackNames(archive, plan);
    if (!UnpackError.isEmpty()) return false;
    const qint64 archiveBytes = QFileInfo(InstallArchivePath).size();
    const UnpackSizes sizes = CheckUnpackSizes(archive, plan, archiveBytes);
    if (!sizes.consistent) {
        UnpackError = GetMessage(QStringLiteral("アーカイブの項目の大きさが矛盾しているか、項目が重なり合っているため展開しません。"));
        return false;
    }
    const auto megabytes = [](qint64 bytes) { return QString::number((bytes + (1 << 20) - 1) >> 20); };
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(InstallDestRoot).constData(), &fs) == 0 &&
        sizes.declared > qint64(fs.f_bavail) * qint64(fs.f_frsize)) {
        UnpackError = GetMessage(QStringLiteral("空き容量が足りません。展開には{1} MB必要ですが、空きは{2} MBです。"),
                                 megabytes(sizes.declared), megabytes(qint64(fs.f_bavail) * qint64(fs.f_frsize)));
        return false;
    }
    const qint64 ratio = sizes.declared / qMax<qint64>(archiveBytes, 1);
    const bool manyTimes = sizes.declared > kRatioAskFromBytes && ratio > kAskAboveRatio;
    if (sizes.declared > kAskAboveBytes || manyTimes) {
        QString question = manyTimes ? GetMessage(QStringLiteral("展開すると{1} MBになり、アーカイブの大きさの{2}倍です。"),
                                                  megabytes(sizes.declared), QString::number(ratio))
                                     : GetMessage(QStringLiteral("展開すると{1} MBになります。"), megabytes(sizes.declared));
        question += GetMessage(QStringLiteral("インストールを続けますか？"));
        if (Ports::msgBox(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) {
            UnpackError = GetMessage(kCancelled);
            return false;
        }
    }
    host_.ProgressStart(InstallEntryCount, 300);
    UnpackResult r;
    try {
        {
            r = UnpackArchive(archive, plan, InstallDestRoot + u'/' + InstallDestFolder, [this](const QString& name) {
                ++UnzipFileCount;
                host_.ProgressSet(GetMessage(QStringLiteral("インストール中：")) + name,
                                  int(qBound<qint32>(-32768, UnzipFileCount, 32767)));
            });
        }
    } catch (...) {
        host_.ProgressEnd();
        throw;
    }
    host_.ProgressEnd();
    Skipped = r.skipped;
    UnpackError = r.error;
    return r.ok;
}

void ArchiveInstaller::InstallArchive(const QString& archivePath) {
    QString message;
    const QString result = PrepareInstall(archivePath, message);
    if (archivePath.toLower().contains(QStringLiteral(".zip")) && result == u"0") {
        Ports::msgBox(message + GetMessage(QStringLiteral("\\nこのアーカイブはTOVA用自動インストールファイルではありません。")),
                      MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!message.isEmpty()) {
        Ports::msgBox(message, MsgButtons::OK, MsgIcon::None);
        return;
    }
    if (!UnzipWithProgress()) {
        Ports::msgBox(GetMessage(QStringLiteral("'{1}'のインストールに失敗しました。\\n{2}"), InstallName, UnpackError),
                      MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!Skipped.isEmpty()) {
        QStringList shown = Skipped.mid(0, 20);
        if (Skipped.size() > 20) shown << QStringLiteral("…");
        Ports::msgBox(GetMessage(QStringLiteral("次の項目はインストール先の外を指すか、名前が読めないか、リンクや特殊なファイルのため展開しませんでした。")) +
                          kCrLf + shown.join(kCrLf),
                      MsgButtons::OK, MsgIcon::Exclamation);
    }
    host_.SetStatusText(2, GetMessage(QStringLiteral("\"{1}\"のインストールが完了しました"), GetInstallName()));
    if (GetInstallType() == u"voiceset") {
        host_.LoadVoiceBankList();
        host_.ShowVoiceProfile(InstallDestRoot + u'/' + result);
    } else if (GetInstallType() == u"editplugin") {
        MakePluginProgramExecutable(InstallDestRoot + u'/' + InstallDestFolder);
        host_.BuildPluginMenu();
    }
}

}  // namespace tova
