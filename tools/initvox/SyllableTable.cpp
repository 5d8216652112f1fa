#include "tools/initvox/SyllableTable.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

namespace tova::initvox {
namespace {

[[noreturn]] void fail(int lineNumber, const QString& why) {
    throw TypeMismatchError(QStringLiteral("initvox.txt line %1: %2").arg(lineNumber).arg(why));
}

int boundedNumber(const QString& value, int low, int high, int lineNumber) {
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < low || n > high) fail(lineNumber, QStringLiteral("expected a number from %1 to %2").arg(low).arg(high));
    return n;
}

bool plainFileName(const QString& name) {
    if (name.isEmpty() || name == u"." || name == u"..") return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\=,*?\"<>|:").contains(c)) return false;
    }
    return true;
}

}  // namespace

SyllableTable SyllableTable::read(const QString& path) {
    QFile file(FileSystem::resolve(path));
    if (!file.open(QIODevice::ReadOnly)) throw FileError(QStringLiteral("cannot read %1").arg(path));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) throw TypeMismatchError(QStringLiteral("%1 is not UTF-8 text").arg(path));
    return parse(text);
}

SyllableTable SyllableTable::parse(const QString& text) {
    SyllableTable table;
    QSet<QString> seen;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;

        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0) {
            const QString key = line.left(eq).trimmed();
            const QString value = line.mid(eq + 1).trimmed();
            if (key == u"voice") {
                if (value.isEmpty() || value.contains(QRegularExpression(QStringLiteral("\\s")))) fail(lineNumber, QStringLiteral("a voice name has no blanks"));
                table.voice = value;
            } else if (key == u"speed") {
                table.speed = boundedNumber(value, 20, 500, lineNumber);
            } else if (key == u"pitch") {
                table.pitch = boundedNumber(value, 0, 99, lineNumber);
            } else if (key == u"name") {
                if (value.isEmpty()) fail(lineNumber, QStringLiteral("the bank needs a name"));
                table.bankName = value;
            } else {
                fail(lineNumber, QStringLiteral("unknown setting \"%1\"").arg(key));
            }
            continue;
        }

        const qsizetype blank = line.indexOf(QRegularExpression(QStringLiteral("\\s")));
        Entry entry;
        entry.sample = blank < 0 ? line : line.left(blank);
        entry.text = blank < 0 ? QString() : line.mid(blank).trimmed();
        if (!plainFileName(entry.sample)) fail(lineNumber, QStringLiteral("\"%1\" is not a plain file name").arg(entry.sample));
        if (seen.contains(entry.sample.toLower())) fail(lineNumber, QStringLiteral("sample \"%1\" is listed twice").arg(entry.sample));
        seen.insert(entry.sample.toLower());
        table.entries.append(entry);
    }
    if (table.voice.isEmpty()) throw TypeMismatchError(QStringLiteral("initvox.txt: no voice is set"));
    if (table.bankName.isEmpty()) throw TypeMismatchError(QStringLiteral("initvox.txt: no name is set"));
    if (table.entries.isEmpty()) throw TypeMismatchError(QStringLiteral("initvox.txt: no sample is listed"));
    return table;
}

}  // namespace tova::initvox
