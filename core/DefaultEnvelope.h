#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// The envelope of a note that sets none of its own, and of the settings' DefaultEnv when that is empty:
// "0 5 35 0 100 100 0", the times p1 p2 p3 in milliseconds and the levels v1 v2 v3 v4 in percent.
const QString& DefaultEnvelope();
// Its seven values, in order.
const QStringList& DefaultEnvelopeValues();

}  // namespace tova
