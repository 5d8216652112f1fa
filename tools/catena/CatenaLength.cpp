#include "tools/catena/CatenaLength.h"

#include "platform/Vb.h"

namespace tova {

double CatenaLength::milliseconds(const QString& text) {
    const qsizetype at = text.indexOf(u'@');
    if (at < 0) return Vb::Val(text);

    const double ticks = Vb::Val(text.left(at));
    const QString rest = text.mid(at + 1);
    // The tempo is unsigned; the first sign after "@" starts the correction.
    qsizetype sign = -1;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest[i] == u'+' || rest[i] == u'-') {
            sign = i;
            break;
        }
    }
    const double tempo = Vb::Val(sign < 0 ? rest : rest.left(sign));
    const double correction = sign < 0 ? 0.0 : Vb::Val(rest.mid(sign));
    const double noteMs = tempo > 0 ? ticks * 60000.0 / (TicksPerBeat * tempo) : 0.0;
    return noteMs + correction;
}

}  // namespace tova
