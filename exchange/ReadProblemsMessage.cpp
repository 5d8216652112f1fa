#include "exchange/ReadProblemsMessage.h"

#include "core/MessageTable.h"
#include "platform/Ports.h"

namespace tova {

void ShowReadProblems(const QString& path, const QStringList& problems) {
    if (problems.isEmpty()) return;
    constexpr qsizetype kShown = 20;
    QString list = problems.mid(0, kShown).join(u'\n');
    if (problems.size() > kShown) list += QStringLiteral("\n…");
    Ports::msgBox(GetMessage(QStringLiteral("{1} の一部を読み込めませんでした。"), path) + QStringLiteral("\n\n") + list,
                  MsgButtons::OK, MsgIcon::Exclamation);
}

}  // namespace tova
