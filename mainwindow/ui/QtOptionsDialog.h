#pragma once

#include "mainwindow/OptionsDialogPort.h"

#include <QString>

#include <functional>

namespace tova {

class VoiceBankAccess;

// The options dialog of the running program: frmOptions, shown modally over the active window.
class QtOptionsDialog : public OptionsDialogPort {
public:
    explicit QtOptionsDialog(VoiceBankAccess& voices) : voices_(voices) {}
    // The cache folder of the project in use (the cache page's "キャッシュを削除" empties it).
    void setCacheFolder(std::function<QString()> cacheFolder) { cacheFolder_ = std::move(cacheFolder); }
    bool ShowOptions(int tab) override;

private:
    VoiceBankAccess& voices_;
    std::function<QString()> cacheFolder_;
};

}  // namespace tova
