#pragma once

#include <QString>
#include <QStringList>

namespace tova::test {

// A small render batch whose every note claims the most pitch values a run count can: 500 notes of one
// beat, each with the pitch text "!120 AA#1048575#" (one value and 1,048,575 copies of it). About 56 KB.
inline QStringList HostilePitchBatch(int notes = 500) {
    QStringList lines{QStringLiteral("@rem project=hostile"), QStringLiteral("@set tempo=120"),
                      QStringLiteral("@set oto=/voices/bank"), QStringLiteral("@set tool=/prog/catena"),
                      QStringLiteral("@set vorsa=/prog/vorsa"), QStringLiteral("@set output=out.wav"),
                      QStringLiteral("@set flag=\"\""), QString()};
    for (int i = 0; i < notes; ++i) {
        lines << QStringLiteral("@set params=100 0 !120 AA#1048575#") << QStringLiteral("@set vel=100")
              << QStringLiteral("call %helper% \"%oto%\\a.wav\" C4 480@120.00+0.0 0 0 0 0 0 0 %1").arg(i);
    }
    return lines;
}

}  // namespace tova::test
