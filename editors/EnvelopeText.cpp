#include "editors/EnvelopeText.h"

#include "core/DefaultEnvelope.h"
#include "platform/Vb.h"

namespace tova {

QStringList ReadEnvelopeFields(const QString& text) {
    QString t = text.isEmpty() ? DefaultEnvelope() : text;
    t.replace(u',', u' ');
    QStringList fields = t.split(u' ');
    fields.resize(11);
    return fields;
}

QString WriteEnvelopeText(const QStringList& main, const QString& p4, const QString& p5, const QString& v5) {
    QStringList parts;
    for (int i = 0; i < 7; ++i) parts.append(Vb::DoubleText(Vb::Val(main.value(i))));
    if (!p4.isEmpty() || !p5.isEmpty() || !v5.isEmpty()) {
        parts.append(QStringLiteral("%"));
        parts.append(Vb::DoubleText(Vb::Val(p4)));
        parts.append(p5);
        parts.append(v5);
    }
    const QString text = parts.join(u' ').trimmed();
    return text == DefaultEnvelope() ? QString() : text;
}

}  // namespace tova
