#include "tools/vorsa/RenderRequest.h"

#include "platform/Vb.h"

namespace tova::vorsa {
namespace {

double numberAt(const QStringList& a, int i, double fallback) {
    if (i >= a.size() || a.at(i).trimmed().isEmpty()) return fallback;
    return Vb::Val(a.at(i));
}

}  // namespace

RenderRequest RenderRequest::fromArguments(const QStringList& a) {
    RenderRequest r;
    auto text = [&](int i) { return i < a.size() ? a.at(i) : QString(); };
    r.input = text(0);
    r.output = text(1);
    r.note = text(2).trimmed();
    r.velocity = numberAt(a, 3, 100.0);
    r.flags = text(4);
    r.offset = numberAt(a, 5, 0.0);
    r.length = numberAt(a, 6, 0.0);
    r.consonant = numberAt(a, 7, 0.0);
    r.cutoff = numberAt(a, 8, 0.0);
    r.intensity = numberAt(a, 9, 100.0);
    r.modulation = numberAt(a, 10, 100.0);
    QStringList pitch;
    for (int i = 11; i < a.size(); ++i)
        if (!a.at(i).isEmpty()) pitch << a.at(i);
    r.pitch = pitch.join(u' ');
    return r;
}

bool RenderRequest::outputIsNull() const { return output.trimmed().compare(u"nul", Qt::CaseInsensitive) == 0; }

}  // namespace tova::vorsa
