#include "render/SystemMci.h"

#include "core/Mci.h"

namespace tova {

void SystemMci::Open(const QString& path) { MciOpen(path); }
void SystemMci::Close(const QString& path) { MciClose(path); }
void SystemMci::Play(const QString& path) { MciPlay(path); }
void SystemMci::Pause(const QString& path) { MciPause(path); }
QString SystemMci::Status(const QString& path, const QString& item) { return MciStatus(path, item); }
QString SystemMci::GetMode(const QString& path) { return MciGetMode(path); }
void SystemMci::SendString(const QString& command) { MciSendString(command); }

}  // namespace tova
