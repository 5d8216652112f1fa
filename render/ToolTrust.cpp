#include "render/ToolTrust.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "render/RenderValueCheck.h"
#include "song/ProjectPaths.h"

#include <QFileInfo>

namespace tova {

namespace {

// The one spelling of a tool path: links and ".." followed; empty when there is no such file.
QString canonical(const QString& path) {
    if (path.isEmpty()) return QString();
    return QFileInfo(FileSystem::resolve(path)).canonicalFilePath();
}

bool listed(const QStringList& list, const QString& canonicalPath) {
    for (const QString& entry : list)
        if (canonical(entry) == canonicalPath) return true;
    return false;
}

void remember(QStringList& list, const QString& canonicalPath) {
    if (!list.contains(canonicalPath)) list << canonicalPath;
}

// A tool is a file named by its full path: a bare name would be looked for on the program search path
// by whatever starts it, and a path that names no file could be one later. Anything else is said and
// refused.
bool existingTool(const QString& what, const QString& path) {
    if (IsRootedPath(path) && QFileInfo(FileSystem::resolve(path)).isFile()) return true;
    Ports::msgBox(GetMessage(QStringLiteral("{1}「{2}」が見つかりません。プロジェクトの設定でツールのファイルを選んでください。"),
                             what, path),
                  MsgButtons::OK, MsgIcon::Exclamation);
    return false;
}

// Asks about one existing tool; true when it may run.
bool confirmTool(const QString& path) {
    const QString c = canonical(path);
    if (IsTrustedTool(path)) return true;
    Settings& s = settings();
    if (listed(s.RefusedTools, c)) {
        Ports::msgBox(GetMessage(QStringLiteral("このプロジェクトのツール「{1}」は実行しないことになっています。"
                                                "実行するには、プロジェクトの設定でツールを選び直してください。"),
                                 c),
                      MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    const MsgResult answer = Ports::msgBox(
        GetMessage(QStringLiteral("このプロジェクトは、本ソフトのツールではないプログラムを実行します。\n{1}\n\n"
                                  "信頼できるプロジェクトの場合だけ実行してください。実行しますか？"),
                   c),
        MsgButtons::YesNo, MsgIcon::Exclamation);
    if (answer == MsgResult::Yes) {
        remember(s.AcceptedTools, c);
        s.RefusedTools.removeAll(c);
        return true;
    }
    remember(s.RefusedTools, c);
    return false;
}

}  // namespace

bool IsTrustedTool(const QString& path) {
    const QString c = canonical(path);
    if (c.isEmpty()) return false;
    const QString bin = SystemPaths::programFolder();
    for (const char* own : {"catena", "vorsa"})
        if (c == canonical(PathText::join(bin, QString::fromLatin1(own)))) return true;
    const Settings& s = settings();
    return c == canonical(s.Tool1Path) || c == canonical(s.Tool2Path) || listed(s.AcceptedTools, c);
}

bool ConfirmProjectTools(const QString& tool1, const QString& tool2) {
    // A path no command line may carry is refused before it could be asked about or kept.
    CheckBatchValue(GetMessage(QStringLiteral("ツール1")), tool1);
    CheckBatchValue(GetMessage(QStringLiteral("ツール2")), tool2);
    if (!existingTool(GetMessage(QStringLiteral("ツール1")), tool1) ||
        !existingTool(GetMessage(QStringLiteral("ツール2")), tool2))
        return false;
    if (!confirmTool(tool1)) return false;
    return canonical(tool2) == canonical(tool1) || confirmTool(tool2);
}

void AcceptTool(const QString& path) {
    const QString c = canonical(path);
    if (c.isEmpty() || IsTrustedTool(path)) return;
    Settings& s = settings();
    remember(s.AcceptedTools, c);
    s.RefusedTools.removeAll(c);
}

}  // namespace tova
