#pragma once

#include <QString>

namespace tova {

// The open dialog that picks a tool program (the project settings and the options dialogs): the filter
// "実行ファイル(*.exe)|*.exe|全てのファイル(*.*)|*.*" opened on all files, since programs carry no ".exe"
// here, starting at `current`; the file must exist. False when cancelled.
bool ChooseToolProgram(const QString& current, QString& chosen);

}  // namespace tova
