#include "voicebank/KeptTextFile.h"

#include "core/MessageTable.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"

#include <QStringDecoder>

#include <limits>

namespace tova {

KeptTextFile KeptTextFile::read(const QString& path) {
    return read(path, TextFileBounds{qint64(1) << 30, std::numeric_limits<qsizetype>::max(),
                                     std::numeric_limits<qsizetype>::max()});
}

KeptTextFile KeptTextFile::read(const QString& path, const TextFileBounds& bounds) {
    KeptTextFile f;
    if (FileSystem::isFile(path)) {
        // Only a regular file: a pipe named like a bank's file must not hold the program.
        f = fromBytes(ReadBoundedTextFile(path, bounds));
        f.existed = true;
    }
    f.path = path;
    return f;
}

KeptTextFile KeptTextFile::fromBytes(const QByteArray& bytes) {
    KeptTextFile f;
    f.original = bytes;
    qsizetype start = 0;
    if (Cp932::isMarked(bytes.constData(), bytes.size())) {
        f.encoding = Encoding::Utf8;
        f.mark = Cp932::utf8Mark();
        start = f.mark.size();
    } else {
        // Text that is not clean code page 932 but is valid UTF-8 was saved as UTF-8 without a mark.
        bool clean = true;
        Cp932::decode(bytes, &clean);
        if (!clean) {
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString text = utf8.decode(bytes);
            if (!utf8.hasError()) f.encoding = Encoding::Utf8;
        }
    }
    // Bytes 0D and 0A never occur inside a double-byte character of code page 932 or of UTF-8, so the
    // lines can be cut before they are decoded.
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        Line line;
        line.raw = bytes.mid(start, end - start);
        qsizetype next = end;
        if (end < n) next = (bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') ? end + 2 : end + 1;
        line.ending = bytes.mid(end, next - end);
        if (f.encoding == Encoding::Utf8) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            line.text = utf8.decode(line.raw);
            line.clean = !utf8.hasError();
        } else {
            line.text = Cp932::decode(line.raw, &line.clean);
        }
        f.lines << line;
        start = next;
    }
    return f;
}

bool KeptTextFile::canHold(const QString& text) const {
    if (encoding == Encoding::Utf8) return true;
    bool exact = true;
    Cp932::encode(text, &exact);
    return exact;
}

QByteArray KeptTextFile::encode(const QString& text) const {
    return encoding == Encoding::Utf8 ? text.toUtf8() : Cp932::encode(text);
}

QByteArray KeptTextFile::newline() const {
    for (const Line& l : lines)
        if (!l.ending.isEmpty()) return l.ending;
    return QByteArrayLiteral("\r\n");
}

void KeptTextFile::setLine(qsizetype i, const QString& text) {
    lines[i].text = text;
    lines[i].raw = encode(text);
    lines[i].clean = true;
}

void KeptTextFile::append(const QString& text) {
    const QByteArray end = newline();
    if (!lines.isEmpty() && lines.last().ending.isEmpty()) lines.last().ending = end;
    Line line;
    line.text = text;
    line.raw = encode(text);
    line.ending = end;
    lines << line;
}

bool KeptTextFile::convertToUtf8() {
    if (encoding == Encoding::Utf8) return true;
    for (const Line& l : lines)
        if (!l.clean) return false;
    encoding = Encoding::Utf8;
    mark = Cp932::utf8Mark();
    for (Line& l : lines) l.raw = l.text.toUtf8();
    return true;
}

QByteArray KeptTextFile::bytes() const {
    QByteArray out = mark;
    for (const Line& l : lines) out += l.raw + l.ending;
    return out;
}

bool KeptTextFile::changedOnDisk() const {
    const bool now = FileSystem::isFile(path);
    if (now != existed) return true;
    return now && FileSystem::readRegularFile(path) != original;
}

bool MayOverwrite(const KeptTextFile& file) {
    if (!file.changedOnDisk()) return true;
    // Overwriting would lose what changed since the file was read.
    MessageRequest question;
    question.text = GetMessage(QStringLiteral("{1}は読み込んだ後に変更されています。上書きしますか？"), file.path);
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::Exclamation;
    question.defaultButton = 1;
    return Ports::messageBox().show(question) == MsgResult::Yes;
}

}  // namespace tova
