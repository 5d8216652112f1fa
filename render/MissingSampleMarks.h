#pragma once

#include <QtGlobal>

namespace tova {

// The per-note missing-sample marks of the piano roll. The render writers clear a sung note's mark and
// set it again when no sample file exists for the note; the window grows its per-note records to reach
// the note when they are shorter and shows the mark when it next draws. The main window implements it.
class MissingSampleMarks {
public:
    virtual ~MissingSampleMarks() = default;
    virtual void SetMissingSampleMark(qint32 noteIndex, bool missing) = 0;
};

}  // namespace tova
