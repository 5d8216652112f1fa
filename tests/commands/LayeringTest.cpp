// The libraries below the main window never reach up into it: their headers include nothing from
// mainwindow/, and no port (an interface another library implements) takes the main window itself.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QStringList sourcesUnder(const QString& folder, const QStringList& patterns) {
    QStringList files;
    QDirIterator it(QStringLiteral(TOVA_SOURCE_DIR) + u'/' + folder, patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

QString read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(Layering, LowerLibrariesIncludeNothingFromTheMainWindow) {
    const QRegularExpression up(QStringLiteral("#include\\s+\"mainwindow/"));
    int looked = 0;
    for (const char* folder : {"commands", "editors", "autotune", "voicebank", "exchange", "render", "song", "core"})
        for (const QString& file : sourcesUnder(QString::fromLatin1(folder), {QStringLiteral("*.h"), QStringLiteral("*.cpp")})) {
            ++looked;
            EXPECT_FALSE(read(file).contains(up)) << file.toStdString();
        }
    EXPECT_GT(looked, 0);
}

TEST(Layering, NoPortTakesTheMainWindow) {
    const QRegularExpression mainWindow(QStringLiteral("\\bMainWindow\\s*[&*]"));
    int ports = 0;
    for (const char* folder : {"commands", "mainwindow", "render", "exchange", "voicebank", "editors", "autotune", "core"})
        for (const QString& file : sourcesUnder(QString::fromLatin1(folder), {QStringLiteral("*Port.h")})) {
            ++ports;
            EXPECT_FALSE(read(file).contains(mainWindow)) << file.toStdString();
        }
    EXPECT_GT(ports, 5);
}

}  // namespace
