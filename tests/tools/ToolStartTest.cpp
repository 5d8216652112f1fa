// The tool programs start once per note of a render: what they load at start is what every note pays
// for. They need the C library and its mathematics alone; the C++ runtime is linked in, and the sound
// file and sample-rate libraries are loaded only for the inputs that need them.

#include "support/TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

QStringList neededLibraries(const QString& program) {
    QProcess readelf;
    // The entries are matched by their English words: no translation of the tool's text.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.remove(QStringLiteral("LANGUAGE"));
    readelf.setProcessEnvironment(environment);
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), program});
    if (!readelf.waitForFinished(30000) || readelf.exitCode() != 0) return {QStringLiteral("<readelf failed>")};
    QStringList needed;
    const QRegularExpression entry(QStringLiteral("\\(NEEDED\\)\\s+Shared library: \\[([^\\]]+)\\]"));
    for (const auto& m : entry.globalMatch(QString::fromUtf8(readelf.readAllStandardOutput())))
        needed << m.captured(1);
    return needed;
}

TEST(ToolStart, TheProgramsLoadOnlyTheCLibraryAtStart) {
#if defined(TOVA_SANITIZED_BUILD)
    GTEST_SKIP() << "sanitizer builds link the shared C++ runtime";
#endif
    for (const char* tool : {"vorsa", "catena", "batrun"}) {
        SCOPED_TRACE(tool);
        const QStringList needed = neededLibraries(programFolder() + u'/' + QString::fromLatin1(tool));
        EXPECT_FALSE(needed.isEmpty());
        // The loader itself is there for every program anyway.
        const QStringList allowed{QStringLiteral("libc.so.6"), QStringLiteral("libm.so.6"),
                                  QStringLiteral("ld-linux-x86-64.so.2")};
        for (const QString& library : needed) EXPECT_TRUE(allowed.contains(library)) << library.toStdString();
    }
}

}  // namespace
}  // namespace tova::test
