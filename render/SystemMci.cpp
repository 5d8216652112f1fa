#include "render/SystemMci.h"

#include "core/Mci.h"

namespace tova {

QString SystemMci::Open(const QString& path) { return MciOpen(path); }
void SystemMci::Close(const QString& path) { MciClose(path); }
QString SystemMci::Play(const QString& path) { return MciPlay(path); }
void SystemMci::Pause(const QString& path) { MciPause(path); }
QString SystemMci::Status(const QString& path, const QString& item) { return MciStatus(path, item); }
QString SystemMci::GetMode(const QString& path) { return MciGetMode(path); }
void SystemMci::SendString(const QString& command) { MciSendString(command); }

}  // namespace tova
