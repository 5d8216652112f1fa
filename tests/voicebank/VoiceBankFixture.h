#pragma once

#include "platform/Cp932.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tova::test {

// A voice bank made by a test in a temporary folder: oto.ini files from bytes, samples as empty files
// (the manager only looks at their names).
struct BankFolder {
    QTemporaryDir dir;
    QString root() const { return dir.path() + QStringLiteral("/bank"); }
    QString path(const QString& name) const { return root() + u'/' + name; }
    BankFolder() { QDir().mkpath(root()); }
    void file(const QString& name, const QByteArray& bytes) const { writeFile(path(name), bytes); }
    void samples(const QStringList& names) const {
        for (const QString& n : names) file(n, QByteArray());
    }
    // An oto.ini written from text in code page 932.
    void oto(const QString& name, const QString& text) const { file(name, Cp932::encode(text)); }
    QByteArray bytes(const QString& name) const { return readFile(path(name)); }
};

}  // namespace tova::test
