#pragma once

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

namespace tova::test {

// A program folder of a test's own, laid out like the build's: its programs and resources linked, an
// empty settings and plug-in folder, and a copy of the shipped generator files only, so that the start-up
// makes the default bank in it. Nothing a run of the editor leaves in the build's program folder (its
// "setting.ini", the readme marker, the generated bank, the ini files) is seen or touched.
// With `editor`, the editor is laid there too, as a file of its own: it takes the folder of its own file
// as its program folder, so a symbolic link would lead it back to the build's.
inline QString layOutProgramFolder(const QString& root, bool editor = false) {
    const QString build = programFolder();
    QDir().mkpath(root + QStringLiteral("/voice/cantu"));
    QDir().mkpath(root + QStringLiteral("/plugins"));
    QDir().mkpath(root + QStringLiteral("/settings"));
    for (const char* name : {"catena", "vorsa", "batrun", "catena2.so", "vorsa10.so", "res"})
        QFile::link(build + u'/' + QString::fromLatin1(name), root + u'/' + QString::fromLatin1(name));
    for (const char* name : {"initvox.bat", "initvox", "initvox.txt"})
        QFile::copy(build + QStringLiteral("/voice/cantu/") + QString::fromLatin1(name),
                    root + QStringLiteral("/voice/cantu/") + QString::fromLatin1(name));
    QFile::setPermissions(root + QStringLiteral("/voice/cantu/initvox"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (editor) {
        const QString from = build + QStringLiteral("/tova");
        const QString to = root + QStringLiteral("/tova");
        // A hard link where the test folder shares the build's file system, else a copy.
        if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) QFile::copy(from, to);
    }
    return root;
}

}  // namespace tova::test
