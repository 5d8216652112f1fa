#pragma once

#include <QString>

namespace tova {

// Shows that a command's feature is not part of this version yet (information icon), so that a command
// whose worker is missing never pretends to have done its work. The feature is named by its Japanese
// text, looked up in the message table like every message.
void ReportNotAvailable(const QString& feature);

}  // namespace tova
