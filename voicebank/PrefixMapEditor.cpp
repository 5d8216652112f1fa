#include "voicebank/PrefixMapEditor.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/NoteNames.h"
#include "platform/Cp932.h"
#include "platform/Cp932Lines.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"

#include <QSaveFile>

namespace tova {

QList<PrefixMapRow> PrefixMapEditor::ReadRows(const QString& path, bool* clean) {
    const QString text = ReadCp932Text(path, clean);
    QList<PrefixMapRow> out;
    for (QStringView line : TextLines(text)) {
        if (line.isEmpty()) continue;
        const QList<QStringView> f = line.split(u'\t');
        if (f[0].isEmpty()) continue;
        PrefixMapRow row;
        row.name = f[0].toString();
        if (f.size() > 1) row.prefix = f[1].toString();
        if (f.size() > 2) row.suffix = f[2].toString();
        out << row;
    }
    return out;
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
    if (!FileExists(path)) {
        rows = DefaultRows();
        return;
    }
    try {
        bool clean = true;
        rows = ReadRows(path, &clean);
        if (!clean)
            protectReason_ = GetMessage(
                QStringLiteral("{1}は読み込んだときに文字化けがありました。上書きすると内容が失われるため、保存を中止しました。"), path);
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
    for (PrefixMapRow& r : rows)
        if (r.selected) r.prefix = txtPrefix, r.suffix = txtSuffix;
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
    // Written beside the old file first, so a failed save leaves the old one whole.
    QSaveFile file(FileSystem::resolve(path));
    const QByteArray bytes = FileBytes(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Ports::msgBox(GetMessage(QStringLiteral("{1}を保存できませんでした。"), path) + u'\n' + reason, MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    accept();
}

}  // namespace tova
