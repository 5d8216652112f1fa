#pragma once

#include "render/MciPort.h"

namespace tova {

// The multimedia procedures of the program (core/Mci.h) behind the playback port.
class SystemMci : public MciPort {
public:
    QString Open(const QString& path) override;
    void Close(const QString& path) override;
    QString Play(const QString& path) override;
    void Pause(const QString& path) override;
    QString Status(const QString& path, const QString& item) override;
    QString GetMode(const QString& path) override;
    void SendString(const QString& command) override;
};

}  // namespace tova
