#include "voicebank/SuffixBroker.h"

#include "song/FreeText.h"

#include "core/MessageTable.h"
#include "core/clsIniFile.h"
#include "platform/Errors.h"
#include "platform/Ports.h"
#include "song/LyricText.h"
#include "song/NoteArrays.h"

namespace tova {
namespace {

const QString& presetKey() {
    static const QString key = QStringLiteral("Surffixes");
    return key;
}

clsIniFile preset() {
    clsIniFile ini;
    ini.setName(QStringLiteral("suffixbroker"));
    return ini;
}

}  // namespace

QStringList SuffixBroker::DesignedSuffixes() {
    return {QString(),         QStringLiteral("↑"), QStringLiteral("↓"), QStringLiteral("強"),
            QStringLiteral("弱"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")};
}

QString SuffixBroker::ApplySuffix(const QString& lyric, const QString& suffix, int mode, bool removePrefix) {
    // A rest stays a rest: with the marker put in front it would otherwise become the sung "?R".
    if (IsRestLyric(lyric)) return lyric;
    QString s = lyric;
    // Folder part (up to the last "\"; "/" is a folder mark of names written here as well).
    const qsizetype sep = std::max(s.lastIndexOf(u'\\'), s.lastIndexOf(u'/'));
    QString head = s.left(sep + 1);
    s = s.mid(sep + 1);
    // Prefix part (up to the last blank).
    const qsizetype blank = s.lastIndexOf(u' ');
    head += s.left(blank + 1);
    s = s.mid(blank + 1);
    if (removePrefix) head.clear();

    QString result;
    switch (mode) {
    case AddMarker:
        result = TrimBlanks(QStringLiteral("?") + head + GetLyricBase(s));
        break;
    case DropMarker:
        result = TrimBlanks(head + GetLyricBase(s));
        break;
    default:
        result = TrimBlanks(head + GetLyricHead(s));
        break;
    }
    if (result.isEmpty() || result == QStringLiteral("R")) return lyric;
    return result + (suffix == QStringLiteral("（なし）") ? QString() : suffix);
}

void SuffixBroker::Load() {
    clsIniFile ini = preset();
    try {
        if (ini.Load() < 1) return;
    } catch (const TovaError& e) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を読み込めませんでした。"), ini.filePath()) + u'\n' + e.description(),
                      MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    items = QStringList{QString()};
    // A stored empty list is the empty item alone.
    const QString value = ini.Item(presetKey());
    if (!value.isEmpty()) items += value.split(u',');
}

void SuffixBroker::cmdAdd_Click() {
    // An item is one field of the ","-joined preset value and ends a lyric, so it takes the alias rule.
    const QString suffix = SafeFreeText(cboSurffix, FreeTextUse::Alias);
    if (items.indexOf(suffix, 1) >= 1) return;
    items << suffix;
}

void SuffixBroker::cmdDel_Click() {
    const qsizetype i = items.indexOf(cboSurffix, 1);
    if (i >= 1) items.removeAt(i);
}

void SuffixBroker::Apply(qint32 first, qint32 last, QStringList& lyrics) const {
    const qint32 from = std::max<qint32>(first, 0);
    const qint32 to = std::min<qint32>(last, qint32(lyrics.size()) - 1);
    const QString suffix = SafeFreeText(cboSurffix, FreeTextUse::Alias);
    for (qint32 i = from; i <= to; ++i)
        lyrics[i] = SafeFreeText(ApplySuffix(lyrics[i], suffix, cboQu, chkRemovePrefix), FreeTextUse::Lyric);
}

void SuffixBroker::Unload() const {
    // The file's other lines stay: the list is set into the file as it is now.
    clsIniFile ini = preset();
    try {
        ini.Load();
    } catch (const TovaError&) {
        return;  // a file that cannot be read is not overwritten (Load said so when the dialog opened)
    }
    ini.setValue(presetKey(), items.mid(1).join(u','));
    if (!ini.Save())
        Ports::msgBox(GetMessage(QStringLiteral("{1}を保存できませんでした。"), ini.filePath()), MsgButtons::OK,
                      MsgIcon::Exclamation);
}

}  // namespace tova
