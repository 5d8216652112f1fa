#include "render/VoiceBankList.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "platform/Cp932Lines.h"

#include <QFileInfo>
#include <QSet>

namespace tova {
namespace {

const QString kFullWidthColon = QStringLiteral("：");

// The profile file of a folder: the correct spelling first, then the two misspellings that banks use.
QString findProfile(const QString& folder) {
    static const char* const kNames[] = {"character.txt", "charactar.txt", "charactor.txt"};
    for (const char* name : kNames) {
        const QString path = PathText::join(folder, QString::fromLatin1(name));
        if (FileExists(path)) return path;
    }
    return QString();
}

// How a folder is recognised when an alias chain comes back to it: the real path on disk when the
// folder exists, else its resolved text.
QString folderKey(const QString& folder) {
    QString resolved = FileSystem::resolve(folder);
    while (resolved.size() > 1 && resolved.endsWith(u'/')) resolved.chop(1);
    const QFileInfo fi(resolved);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.absoluteFilePath() : canonical;
}

}  // namespace

void ReadCharacterLines(const QStringList& lines, QString& alias, QString& name, QString& image, QString& sample,
                        QString& author, QString& web, QString& description) {
    for (const QString& raw : lines) {
        if (raw.isEmpty()) continue;
        const qsizetype eq = raw.indexOf(u'=');
        if (eq >= 0) {
            const QString key = raw.left(eq);
            QString value = raw.mid(eq + 1);
            const qsizetype second = value.indexOf(u'=');
            if (second >= 0) value.truncate(second);
            if (key == u"name") name = value;
            else if (key == u"image") image = value;
            else if (key == u"sample") sample = value;
            else if (key == u"author") author = value;
            else if (key == u"web") web = value;
            else if (key == u"alias") alias = value;
            continue;
        }
        QString line = raw;
        line.replace(u':', kFullWidthColon);
        if (!line.contains(kFullWidthColon)) continue;
        static const QString kName = QStringLiteral("名前：");
        static const QString kImage = QStringLiteral("イメージ：");
        static const QString kPicture = QStringLiteral("画像：");
        static const QString kSample = QStringLiteral("サンプル：");
        if (line.startsWith(kName)) {
            if (name.isEmpty()) name = line.mid(kName.size());
        } else if (line.startsWith(kImage)) {
            if (image.isEmpty()) image = line.mid(kImage.size());
        } else if (line.startsWith(kPicture)) {
            if (image.isEmpty()) image = line.mid(kPicture.size());
        } else if (line.startsWith(kSample)) {
            sample = line.mid(kSample.size());
        } else {
            description += line + QStringLiteral("\r\n");
        }
    }
}

QStringList& VoiceBankList() {
    static QStringList list;
    return list;
}

clsMap& VoiceBankIndex() {
    static clsMap index;
    return index;
}

int32_t LoadVoiceBankList() {
    const QString root = GetVoiceRoot();
    VoiceBankList().clear();
    VoiceBankIndex().Clear();

    // The directory search serves one listing at a time: take all names before testing any folder.
    QStringList names;
    for (QString n = SafeDir(root, kDirFolders); !n.isEmpty(); n = SafeDir()) names << n;
    QStringList folders;
    for (const QString& n : names) {
        if (n == u"." || n == u"..") continue;
        if (FileSystem::isFolder(root + n)) folders << n;
    }
    for (const QString& d : folders) {
        const QString path = root + d;
        const bool isBank = !SafeDir(path + QStringLiteral("/*.wav")).isEmpty() || !findProfile(path).isEmpty() ||
                            FileExists(path + QStringLiteral("/oto.ini"));
        if (isBank) AddVoiceBankEntry(root, d, QString());
    }

    for (const QString& line : settings().OtoList) {
        if (line.isEmpty()) continue;
        const QStringList f = line.split(u'\t');
        if (f.size() < 2) continue;  // no folder field: nothing to list
        const QString& path = f[1];
        const qsizetype p = PathText::lastSeparator(path);
        AddVoiceBankEntry(path.left(p + 1), path.mid(p + 1), f[0]);
    }
    return int32_t(VoiceBankList().size());
}

void AddVoiceBankEntry(const QString& parent, const QString& folder, const QString& displayName) {
    QString path = parent + folder;
    QString name, image, sample, author, web, description;
    ReadCharacterTxt(path, name, image, sample, author, web, description);

    QString listName = !name.isEmpty() ? name : !displayName.isEmpty() ? displayName : folder;
    const QString base = listName;
    for (int k = 2; VoiceBankIndex().ContainsKey(listName); ++k)
        listName = base + u'(' + QString::number(k) + u')';

    VoiceBankList() << QStringList{listName, path, image, sample, author, web}.join(u'\t');
    VoiceBankIndex().add(listName, path);
}

void ReadCharacterTxt(QString& folder, QString& name, QString& image, QString& sample, QString& author,
                      QString& web, QString& description) {
    QSet<QString> visited;
    QString current = folder;
    for (;;) {
        visited.insert(folderKey(current));
        QString alias;
        name.clear();
        image.clear();
        const QString profile = findProfile(current);
        if (profile.isEmpty()) return;
        try {
            const QStringList lines = ReadCp932Lines(profile);
            ReadCharacterLines(lines, alias, name, image, sample, author, web, description);
        } catch (const TovaError& e) {
            Ports::msgBox(e.description() + QStringLiteral("\r\n") + GetMessage(QStringLiteral("無効な原音が登録されています。")) +
                              current,
                          MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        if (alias.isEmpty()) return;
        if (visited.contains(folderKey(alias))) return;  // the chain came back: keep what was read
        current = alias;
        folder = alias;
    }
}

}  // namespace tova
