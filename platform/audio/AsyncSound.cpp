#include "platform/audio/AsyncSound.h"

#include "platform/audio/WavePlayer.h"

#include <QCoreApplication>
#include <QPointer>

namespace tova {
namespace {
QPointer<WavePlayer>& playing() {
    static QPointer<WavePlayer> p;
    return p;
}
}  // namespace

void AsyncSound::stop() {
    if (WavePlayer* p = playing().data()) {
        playing() = nullptr;
        delete p;
    }
}

bool AsyncSound::play(const QString& path) {
    stop();
    if (path.isEmpty()) return true;
    // Owned by the application object so that a sound still playing at exit is released with it.
    auto* p = new WavePlayer(QCoreApplication::instance());
    QString error;
    if (p->open(path, &error) != WavePlayer::OpenResult::Ok || !p->play(&error)) {
        delete p;
        return false;
    }
    QObject::connect(p, &WavePlayer::ended, p, &QObject::deleteLater);
    playing() = p;
    return true;
}

WavePlayer* AsyncSound::current() { return playing().data(); }

}  // namespace tova
