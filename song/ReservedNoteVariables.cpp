#include "song/ReservedNoteVariables.h"

#include "platform/lean/VariableName.h"

namespace tova {

namespace {

std::u16string_view view(QStringView s) { return {reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size())}; }

}  // namespace

bool IsNoteVariableName(QStringView name) { return lean::isNoteVariableName(view(name)); }

bool IsReservedNoteVariable(QStringView name) {
    // The render batch's own programs, batches and paths.
    static const char16_t* const exact[] = {
        u"tool", u"vorsa", u"helper", u"output", u"oto", u"cachedir", u"temp",
        // The batch runner's program search and temporary folders.
        u"PATH", u"PATHEXT", u"COMSPEC", u"TMP", u"TMPDIR", u"HOME",
        // What the loader and the C library read from the environment of a started program.
        u"GCONV_PATH", u"LOCPATH", u"NLSPATH", u"HOSTALIASES", u"RESOLV_HOST_CONF", u"TZDIR", u"IFS",
        u"ENV", u"BASH_ENV"};
    const std::u16string_view n = view(name);
    for (const char16_t* e : exact)
        if (lean::sameVariableName(n, e)) return true;
    for (const char16_t* prefix : {u"LD_", u"GLIBC_", u"MALLOC_"})
        if (lean::variableNameStartsWith(n, prefix)) return true;
    return false;
}

NoteVariableFault NoteVariableKeyFault(QStringView key, bool hasEquals) {
    if (!key.startsWith(u'@')) return NoteVariableFault::None;
    const QStringView name = key.mid(1);
    // A reserved name is said as such, with or without its "=".
    if (IsReservedNoteVariable(name)) return NoteVariableFault::Reserved;
    if (!hasEquals || !IsNoteVariableName(name)) return NoteVariableFault::Malformed;
    return NoteVariableFault::None;
}

NoteVariableFault NoteVariableEntryFault(QStringView entry) {
    const qsizetype eq = entry.indexOf(u'=');
    return NoteVariableKeyFault(eq < 0 ? entry : entry.left(eq), eq >= 0);
}

QString RefusedNoteVariableProblem(const QString& key) {
    if (IsReservedNoteVariable(QStringView(key).mid(1)))
        return QStringLiteral("オプション「%1」は描画に使うプログラムやファイルの名前を変えるため、読み込みませんでした。").arg(key);
    return QStringLiteral("オプション「%1」は「@名前=値」の形でないか、名前に英数字と「_」以外の文字があるため、読み込みませんでした。")
        .arg(key);
}

}  // namespace tova
