// Every file the program replaces goes through the one writer (platform/FileReplace, and its core
// lean::AtomicFile for the tools): no other way of opening a file that replaces or truncates it stands
// in the program's sources, beyond the few listed here with their reason.
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// Ways of opening a file that empty it or stand in for the writer.
const QRegularExpression kReplacingOpen(QStringLiteral(
    R"(QSaveFile|\b(QIODevice|QIODeviceBase|QFileDevice|QFile)::(OpenModeFlag::)?(WriteOnly|ReadWrite|Truncate|Append)\b|)"
    R"(\bO_(TRUNC|WRONLY|RDWR)\b|\bSFM_(WRITE|RDWR)\b|std::o?fstream|\bfopen\s*\(|\bcreat\s*\(|\bftruncate\s*\()"));

// Files that are not the user's: each with the reason its own way is safe.
const std::map<QString, const char*> kAllowed = {
    // The writer itself.
    {QStringLiteral("platform/lean/Files.cpp"), "the writer"},
    // Staged new files of a set of bank files (".tova-new"), each checked on write, sync and close;
    // the targets are replaced only by rename after a journal, see FileSetCommit.h.
    {QStringLiteral("platform/FileSetCommit.cpp"), "staged names of the set commit"},
    // Lock files of running instances in the private per-user lock folder.
    {QStringLiteral("platform/InstanceRegistry.cpp"), "lock files in the private lock folder"},
    // New files unpacked into the installer's own fresh staging folder, moved in place whole.
    {QStringLiteral("exchange/install/ArchiveUnpack.cpp"), "new files in a fresh staging folder"},
    // New uniquely named files in the private temporary folder (NewOnly).
    {QStringLiteral("core/Processes.cpp"), "new files in the private temporary folder"},
    // The null device as the output of started programs.
    {QStringLiteral("platform/ProcessSpawn.cpp"), "the null device for started programs"},
    // The readme marker: a token file the program alone reads; a failed write only shows the readme
    // again. Written in place so that a link or pipe of that name is refused, never followed.
    {QStringLiteral("core/ReadmeMarker.cpp"), "the program's own marker token"},
    // The batch runner's exit status for the editor, in the private temporary folder.
    {QStringLiteral("tools/batrun/EditorTie.cpp"), "the runner's status file in the private temporary folder"},
    // The concatenator appends to the output the render batch names (its "<output>.whd"/".dat"
    // parts in the temporary folder), as the batch protocol has it.
    {QStringLiteral("tools/catena/CatenaParts.cpp"), "parts the batch appends to"},
};

QString withoutComment(const QString& line) {
    const qsizetype comment = line.indexOf(QStringLiteral("//"));
    return comment < 0 ? line : line.left(comment);
}

bool replacesAFile(const QString& line) { return kReplacingOpen.match(withoutComment(line)).hasMatch(); }

}  // namespace

// The check knows every spelling of an open that writes into a file; words in comments do not count.
TEST(OneFileWriter, EverySpellingOfAWritingOpenIsCaught) {
    const char* writing[] = {
        "QSaveFile file(path);",
        "f.open(QIODevice::WriteOnly | QIODevice::Truncate)",
        "f.open(QFile::WriteOnly)",
        "f.open(QFileDevice::ReadWrite)",
        "f.open(QIODeviceBase::Append)",
        "f.open(QIODevice::OpenModeFlag::WriteOnly)",
        "const int fd = ::open(p, O_WRONLY | O_CREAT, 0644);",
        "int fd = open(p, O_RDWR);",
        "std::ofstream out(path);",
        "FILE* f = fopen(path, \"wb\");",
        "sf_open(name, SFM_WRITE, &info)",
        "::ftruncate(fd, 0);",
    };
    for (const char* line : writing) EXPECT_TRUE(replacesAFile(QString::fromLatin1(line))) << line;
    const char* reading[] = {
        "f.open(QIODevice::ReadOnly)",
        "::open(p, O_RDONLY | O_CLOEXEC)",
        "x = 1;  // QSaveFile would empty it on a full disk",
    };
    for (const char* line : reading) EXPECT_FALSE(replacesAFile(QString::fromLatin1(line))) << line;
}

TEST(OneFileWriter, NoOtherWayReplacesAFile) {
    const QString root = tova::test::sourceFolder();
    const QStringList folders = {"app",   "autotune", "commands", "core", "editors", "exchange",
                                 "mainwindow", "platform", "render", "song", "tools", "voicebank"};
    QStringList found;
    std::set<QString> allowedSeen;
    int scanned = 0;
    for (const QString& folder : folders) {
        QDirIterator it(root + u'/' + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = path.mid(root.size() + 1);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
            ++scanned;
            const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (!replacesAFile(lines[i])) continue;
                if (kAllowed.count(relative)) {
                    allowedSeen.insert(relative);
                    continue;
                }
                found << relative + u':' + QString::number(i + 1) + QStringLiteral(": ") + lines[i].trimmed();
            }
        }
    }
    EXPECT_GT(scanned, 100);
    EXPECT_TRUE(found.isEmpty()) << "write these through ReplaceFile / ReplacingFile:\n"
                                 << found.join(u'\n').toStdString();
    // An allowance no longer needed goes from the list.
    for (const auto& [file, why] : kAllowed)
        if (file != QStringLiteral("platform/lean/Files.cpp"))
            EXPECT_TRUE(allowedSeen.count(file)) << file.toStdString() << " (" << why << ") needs no allowance now";
}
