#include "render/RenderValueCheck.h"

#include "core/MessageTable.h"
#include "render/RenderNotePlan.h"
#include "song/ReservedNoteVariables.h"

namespace tova {

namespace {

// What a shown value may be at most: a hostile value can be long, the message stays readable.
constexpr qsizetype kShownValue = 200;

QString shownValue(const QString& value) {
    QString shown;
    const QString cut = value.left(kShownValue);
    for (QChar c : cut) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("<U+") + QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper() + u'>';
        else
            shown += c;
    }
    if (value.size() > kShownValue) shown += QStringLiteral("…");
    return shown;
}

}  // namespace

QString UnsafeBatchCharacter(const QString& value, bool percentAllowed) {
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n') return GetMessage(QStringLiteral("改行"));
        if (u < 0x20 || u == 0x7F)
            return GetMessage(QStringLiteral("制御文字")) + QStringLiteral(" U+") +
                   QString::number(u, 16).rightJustified(4, u'0').toUpper();
        if (u == u'"' && !percentAllowed) return QStringLiteral("\"");
        if (u == u'%' && !percentAllowed) return QStringLiteral("%");
    }
    return QString();
}

void CheckBatchValue(const QString& what, const QString& value, bool percentAllowed) {
    const QString bad = UnsafeBatchCharacter(value, percentAllowed);
    if (bad.isEmpty()) return;
    throw RenderValueError(GetMessage(QStringLiteral("{1}に使えない文字（{2}）があるため、wavファイルを生成しません。"), what, bad) +
                           QStringLiteral("\n") + shownValue(value));
}

void CheckRenderValues(const RenderValues& v, const std::vector<RenderNotePlan>& notes) {
    // The project name only stands in the batch's comment line: no expansion, but one line.
    CheckBatchValue(GetMessage(QStringLiteral("プロジェクト名")), v.projectName, true);
    CheckBatchValue(GetMessage(QStringLiteral("音声フォルダ")), v.voiceDir);
    CheckBatchValue(GetMessage(QStringLiteral("ツール1")), v.tool1);
    CheckBatchValue(GetMessage(QStringLiteral("ツール2")), v.tool2);
    CheckBatchValue(GetMessage(QStringLiteral("出力ファイル")), v.output);
    CheckBatchValue(GetMessage(QStringLiteral("キャッシュフォルダ")), v.cacheDir);
    CheckBatchValue(GetMessage(QStringLiteral("バッチファイル名")), v.helperName);
    CheckBatchValue(GetMessage(QStringLiteral("フラグ")), v.projectFlags);
    for (const RenderNotePlan& n : notes) {
        if (n.rest) continue;
        // The words naming a value are made only for a value that is refused.
        const auto check = [&](const char16_t* field, const QString& value) {
            if (UnsafeBatchCharacter(value).isEmpty()) return;
            const QString what = GetMessage(QStringLiteral("ノート{1}の{2}"), n.index, QString::fromUtf16(field));
            CheckBatchValue(what, value);
        };
        check(u"音声ファイル", n.name + n.sampleExt);
        check(u"フラグ", n.flags);
        check(u"エンベロープ", n.env);
        check(u"音量", n.intensity);
        check(u"モジュレーション", n.modulation);
        check(u"ピッチ", n.pitchText);
        check(u"表情", n.expression);
        for (const QString& entry : n.userVariables) {
            check(u"変数", entry);
            // A note may not take over the programs, batches or paths the render runs with, nor set a
            // variable without a plain name and an "=" (the batch line would set another variable, or
            // none).
            switch (NoteVariableEntryFault(entry)) {
            case NoteVariableFault::None: break;
            case NoteVariableFault::Reserved:
                throw RenderValueError(
                    GetMessage(QStringLiteral("ノート{1}のオプション「{2}」は描画に使うプログラムやファイルの名前を変えるため、wavファイルを生成しません。"),
                               n.index, shownValue(entry.section(u'=', 0, 0))));
            case NoteVariableFault::Malformed:
                throw RenderValueError(
                    GetMessage(QStringLiteral("ノート{1}のオプション「{2}」は「@名前=値」の形でないか、名前に英数字と「_」以外の文字があるため、"
                                              "wavファイルを生成しません。"),
                               n.index, shownValue(entry.section(u'=', 0, 0))));
            }
        }
        check(u"音声ファイル", n.patch);
        check(u"音名", n.noteName);
        check(u"キャッシュファイル名", n.cacheFileName);
    }
}

}  // namespace tova
