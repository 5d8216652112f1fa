#pragma once

#include <QString>

namespace tova {

// Words for a system error number, as a failed save or render shows them after the file's name: the
// usual reasons a file cannot be written ("ディスクの空き領域が不足しています。" for a full device, a
// quota, no right to write, a read-only device, a missing folder, a file too large, a device error) in
// the program's language, any other as the system describes it; never an "unknown error" for a known
// number.
QString SystemErrorText(int errorNumber);

}  // namespace tova
