#include "mainwindow/ToolProgramDialog.h"

#include "core/MessageTable.h"
#include "platform/Ports.h"

namespace tova {

bool ChooseToolProgram(const QString& current, QString& chosen) {
    FileDialogRequest request;
    request.filter = GetMessage(QStringLiteral("実行ファイル(*.exe)|*.exe|全てのファイル(*.*)|*.*"));
    request.filterIndex = 2;
    request.fileName = current;
    request.fileMustExist = true;
    FileDialogResult result;
    if (!Ports::fileDialog().run(request, result)) return false;
    chosen = result.fileName;
    return true;
}

}  // namespace tova
