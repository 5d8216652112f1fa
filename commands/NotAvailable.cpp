#include "commands/NotAvailable.h"

#include "core/MessageTable.h"
#include "platform/Ports.h"

namespace tova {

void ReportNotAvailable(const QString& feature) {
    Ports::msgBox(GetMessage(QStringLiteral("{1}はまだ使用できません。"), GetMessage(feature)), MsgButtons::OK,
                  MsgIcon::Information);
}

}  // namespace tova
