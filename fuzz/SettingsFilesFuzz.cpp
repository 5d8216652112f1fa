// Any bytes as the program's own text files (the input's parts between NUL bytes): "setting.ini", a
// preset ini file of "settings/", the message table "res/message.txt" and a plug-in's "plugin.txt".
#include "FuzzInput.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "core/clsIniFile.h"
#include "exchange/PluginList.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"

using namespace tova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedFakePorts ports;
    ports.messageBox.shown.clear();
    const QString program = fuzz::scratchFolder();
    SystemPaths::setProgramFolder(program);
    const QList<QByteArray> parts = fuzz::partsOf(fuzz::bytesOf(data, size), 4);
    fuzz::put(program + QStringLiteral("/setting.ini"), parts[0]);
    fuzz::put(program + QStringLiteral("/settings/preset.ini"), parts[1]);
    fuzz::put(program + QStringLiteral("/res/message.txt"), parts[2]);
    fuzz::put(program + QStringLiteral("/plugins/p/plugin.txt"), parts[3]);
    try {
        LoadSettings();
        clsIniFile ini;
        ini.setName(QStringLiteral("preset"));
        ini.Load();
        MessageTable().Clear();
        LoadMessageTable();
        GetMessage(QStringLiteral("{1}を作成しました。"), QStringLiteral("x"));
        QString entry;
        ReadPluginTxt(program + QStringLiteral("/plugins/p"), entry);
        LoadPluginList();
    } catch (const TovaError&) {
    }
    settings() = Settings{};
    return 0;
}
