#pragma once

#include <QString>

namespace tova {

// The program's title and version as its windows show them.
namespace ProgramInfo {
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 0;
inline constexpr int VersionRevision = 0;
// The title of the caption when the TransformTitle setting is empty.
QString Title();
// The splash window's version line: "ﾊﾞｰｼﾞｮﾝ " and major.minor.revision.
QString SplashVersionText();
// The about box's version line: "Ver " and major.minor. and the revision in two digits.
QString AboutVersionText();
// The picture file that a FormIcon setting names: the setting itself when that file exists, else the
// file of that name in the program folder when it exists; empty otherwise (and for an empty setting).
QString IconFile(const QString& formIconSetting);
}  // namespace ProgramInfo

}  // namespace tova
