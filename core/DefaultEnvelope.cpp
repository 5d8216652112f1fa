#include "core/DefaultEnvelope.h"

namespace tova {

const QString& DefaultEnvelope() {
    static const QString text = QStringLiteral("0 5 35 0 100 100 0");
    return text;
}

const QStringList& DefaultEnvelopeValues() {
    static const QStringList values = DefaultEnvelope().split(u' ');
    return values;
}

}  // namespace tova
