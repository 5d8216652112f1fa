#include "mainwindow/ProgramCoreServices.h"

#include "core/CaptionFiles.h"
#include "core/Digests.h"
#include "core/InstanceCount.h"
#include "core/Mci.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/ReadmeMarker.h"
#include "core/SettingsFile.h"
#include "core/ShellOpenPort.h"
#include "core/WheelHook.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/SystemPaths.h"

#include <QDir>

namespace tova {

ProgramCoreServices::ProgramCoreServices() = default;

ProgramCoreServices::~ProgramCoreServices() { UnhookWheels(); }

QString ProgramCoreServices::tempVariable() { return SystemPaths::tempRoot(); }

void ProgramCoreServices::setCurrentFolder(const QString& folder) { QDir::setCurrent(FileSystem::resolve(folder)); }

void ProgramCoreServices::shellAndWait(const QString& commandLine, int windowStyle) { ShellAndWait(commandLine, windowStyle); }

int ProgramCoreServices::countInstance() { return CountInstance(); }

QString ProgramCoreServices::makeTempFolder(int instance, const QString& planned, bool inTempRoot) {
    if (inTempRoot) return MakeInstanceTempFolder(instance);
    if (!FileSystem::makePrivateFolder(planned)) throw FileError(QStringLiteral("パスが見つかりません。"), 76);
    return planned;
}

void ProgramCoreServices::initWheelHook() { InitWheelHook(); }

void ProgramCoreServices::hookWheel(QObject* target, WheelHandler handler) {
    wheel_.target = target;
    wheel_.handler = std::move(handler);
    HookWheel(&wheel_);
}

bool ProgramCoreServices::checkReadMarker(const QString& folder) { return CheckReadMarker(folder); }

bool ProgramCoreServices::showProgramReadme() {
    // Shown in the program's own window: handing it to the desktop can report success and still show
    // nothing (a desktop with no program for text files).
    const QString text = ReadProgramReadme();
    if (text.isNull() || !textWindow_) return false;
    textWindow_(QStringLiteral("readme.txt"), text);
    return true;
}

void ProgramCoreServices::shellOpen(const QString& path) { ShellOpenPort::openPath(path); }

bool ProgramCoreServices::loadSettings(MainWindowPlacement* window) { return LoadSettings(window); }

void ProgramCoreServices::loadMessageTable() { LoadMessageTable(); }

void ProgramCoreServices::applyMenuStrings(LocalizableWindow& window) { ApplyMenuStrings(window); }

void ProgramCoreServices::applyLabelButtonStrings(LocalizableWindow& window) { ApplyLabelButtonStrings(window); }

QString ProgramCoreServices::md5File(const QString& path) { return MD5File(path); }

bool ProgramCoreServices::saveSettings(const MainWindowPlacement* window) { return SaveSettings(window); }

void ProgramCoreServices::unhookWheels() { UnhookWheels(); }

void ProgramCoreServices::mciClose(const QString& path) { MciClose(path); }

void ProgramCoreServices::closeInstanceMap() { CloseInstanceMap(); }

}  // namespace tova
