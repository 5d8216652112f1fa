#include "voicebank/PrefixMapEditor.h"

#include "song/FreeText.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/NoteNames.h"
#include "platform/Cp932.h"
#include "platform/Cp932Lines.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"


namespace tova {

namespace {

// The row a line gives; false for a line that gives none (empty, or with an empty name).
bool rowOfLine(QStringView line, PrefixMapRow& row) {
    if (line.isEmpty()) return false;
    const QList<QStringView> f = line.split(u'\t');
    if (f[0].isEmpty()) return false;
    row.name = f[0].toString();
    row.prefix = f.size() > 1 ? f[1].toString() : QString();
    row.suffix = f.size() > 2 ? f[2].toString() : QString();
    return true;
}

QList<PrefixMapRow> rowsOf(const KeptTextFile& file) {
    QList<PrefixMapRow> out;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        PrefixMapRow row;
        if (!rowOfLine(file.lines[i].text, row)) continue;
        row.line = int(i);
        out << row;
    }
    return out;
}

}  // namespace

QList<PrefixMapRow> PrefixMapEditor::ReadRows(const QString& path, bool* clean) {
    const KeptTextFile file = KeptTextFile::read(path);
    if (clean) {
        *clean = true;
        for (const KeptTextFile::Line& l : file.lines) *clean = *clean && l.clean;
    }
    return rowsOf(file);
}

QList<PrefixMapRow> PrefixMapEditor::DefaultRows() {
    QList<PrefixMapRow> out;
    for (int32_t n = 83; n >= 0; --n) out << PrefixMapRow{NoteNumToName(n), QString(), QString()};
    return out;
}

QByteArray PrefixMapEditor::FileBytes(const QList<PrefixMapRow>& rows) {
    QString text;
    for (const PrefixMapRow& r : rows) text += r.name + u'\t' + r.prefix + u'\t' + r.suffix + QStringLiteral("\r\n");
    return Cp932::encodeMarked(text);
}

QString PrefixMapEditor::filePath() const { return PathText::join(VoiceFolder, QStringLiteral("prefix.map")); }

void PrefixMapEditor::Load(const QString& voiceFolder) {
    VoiceFolder = voiceFolder;
    LoadList();
}

void PrefixMapEditor::LoadList() {
    rows.clear();
    protectReason_.clear();
    const QString path = filePath();
    file_ = KeptTextFile();
    file_.path = path;
    if (!FileExists(path)) {
        rows = DefaultRows();
        return;
    }
    try {
        file_ = KeptTextFile::read(path);
        rows = rowsOf(file_);
    } catch (const TovaError& e) {
        rows.clear();
        protectReason_ = GetMessage(QStringLiteral("{1}を読み込めませんでした。上書きすると内容が失われるため、保存を中止しました。"), path);
        Ports::msgBox(GetMessage(QStringLiteral("{1}を読み込めませんでした。"), path) + u'\n' + e.description(), MsgButtons::OK,
                      MsgIcon::Exclamation);
    }
}

void PrefixMapEditor::ListView1_ItemClick() {
    int count = 0;
    for (const PrefixMapRow& r : rows) {
        if (!r.selected) continue;
        if (count++ == 0) {
            txtKey = r.name;
            txtPrefix = r.prefix;
            txtSuffix = r.suffix;
            continue;
        }
        if (txtPrefix != r.prefix) txtPrefix.clear();
        if (txtSuffix != r.suffix) txtSuffix.clear();
    }
    if (count > 1) txtKey.clear();
}

void PrefixMapEditor::cmdSet_Click() {
    // Prefix and suffix are written between TABs on one line and are joined to a lyric to name an alias,
    // so they take the alias rule.
    const QString prefix = SafeFreeText(txtPrefix, FreeTextUse::Alias);
    const QString suffix = SafeFreeText(txtSuffix, FreeTextUse::Alias);
    for (PrefixMapRow& r : rows)
        if (r.selected) r.prefix = prefix, r.suffix = suffix;
}

void PrefixMapEditor::cmdClear_Click() {
    for (PrefixMapRow& r : rows)
        if (r.selected) r.prefix.clear(), r.suffix.clear();
}

void PrefixMapEditor::cmdSelAll_Click() {
    for (PrefixMapRow& r : rows) r.selected = true;
}

void PrefixMapEditor::cmdOK_Click() {
    const QString path = filePath();
    if (!protectReason_.isEmpty()) {
        Ports::msgBox(protectReason_, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const QString unclean =
        GetMessage(QStringLiteral("{1}は読み込んだときに文字化けがありました。上書きすると内容が失われるため、保存を中止しました。"), path);
    QByteArray bytes;
    if (!file_.existed) {
        bytes = FileBytes(rows);
    } else {
        KeptTextFile out = file_;
        for (const PrefixMapRow& r : rows) {
            if (r.line < 0 || r.line >= out.lines.size()) continue;
            PrefixMapRow was;
            rowOfLine(file_.lines[r.line].text, was);
            if (was == r) continue;
            if (!file_.lines[r.line].clean) {
                Ports::msgBox(unclean, MsgButtons::OK, MsgIcon::Exclamation);
                return;
            }
            // Fields after the third stay as the line had them.
            QStringList fields = file_.lines[r.line].text.split(u'\t');
            while (fields.size() < 3) fields << QString();
            fields[0] = r.name;
            fields[1] = r.prefix;
            fields[2] = r.suffix;
            const QString text = fields.join(u'\t');
            if (!out.canHold(text) && !out.convertToUtf8()) {
                Ports::msgBox(unclean, MsgButtons::OK, MsgIcon::Exclamation);
                return;
            }
            out.setLine(r.line, text);
        }
        if (!out.changed()) {
            accept();
            return;
        }
        bytes = out.bytes();
    }
    if (!MayOverwrite(file_)) return;
    // Written beside the old file first, so a failed save leaves the old one whole.
    QString reason;
    if (!ReplaceFile(path, bytes, &reason)) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を保存できませんでした。"), path) + u'\n' + reason, MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    LoadList();  // the rows now stand for the lines as written
    accept();
}

}  // namespace tova
