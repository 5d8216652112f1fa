#include "core/MciSystem.h"

#include "platform/FileSystem.h"
#include "platform/audio/WavePlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QList>

namespace tova {

struct MciSystem::Device {
    QString file;
    std::unique_ptr<WavePlayer> player;
};

namespace {

struct Token {
    QString text;
    bool quoted = false;
    qsizetype start = 0;  // where the token begins in the command (at its quote, if quoted)
};

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

QList<Token> tokenize(const QString& command) {
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = command.size();
    while (i < n) {
        while (i < n && isBlank(command[i])) ++i;
        if (i >= n) break;
        Token t;
        t.start = i;
        if (command[i] == u'"') {
            t.quoted = true;
            const qsizetype close = command.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            t.text = command.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
        } else {
            const qsizetype s = i;
            while (i < n && !isBlank(command[i])) ++i;
            t.text = command.mid(s, i - s);
        }
        tokens << t;
    }
    return tokens;
}

bool isWord(const Token& t, const char16_t* word) {
    return !t.quoted && t.text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
}

QString key(const QString& name) { return name.toLower(); }

}  // namespace

MciSystem::MciSystem() = default;

MciSystem::~MciSystem() { closeAll(); }

MciSystem& MciSystem::instance() {
    static MciSystem system;
    // Devices still open at exit are released while the application object still exists, not
    // during static destruction when the audio system's libraries may be gone.
    static const bool cleanup = [] {
        qAddPostRoutine([] { MciSystem::instance().closeAll(); });
        return true;
    }();
    Q_UNUSED(cleanup);
    return system;
}

QString MciSystem::fileKey(const QString& path) {
    QFileInfo fi(FileSystem::resolve(path));
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : canonical;
}

QString MciSystem::fileOf(const QString& name) const {
    auto it = devices_.find(key(name));
    return it == devices_.end() ? QString() : it->second->file;
}

WavePlayer* MciSystem::device(const QString& name) const {
    auto it = devices_.find(key(name));
    return it == devices_.end() ? nullptr : it->second->player.get();
}

void MciSystem::closeAll() { devices_.clear(); }

int MciSystem::open(const QString& element, const QString& alias) {
    const QString name = alias.isEmpty() ? element : alias;
    if (name.isEmpty()) return MissingParameter;
    if (devices_.count(key(name))) return DuplicateAlias;
    if (!FileSystem::isFile(element)) return FileNotFound;
    auto device = std::make_unique<Device>();
    device->file = fileKey(element);
    device->player = std::make_unique<WavePlayer>();
    QString detail;
    switch (device->player->open(FileSystem::resolve(element), &detail)) {
    case WavePlayer::OpenResult::Ok:
        break;
    case WavePlayer::OpenResult::FileError:
        return CannotLoad;
    case WavePlayer::OpenResult::DeviceError:
        return NoDevice;
    }
    devices_[key(name)] = std::move(device);
    return Ok;
}

int MciSystem::sendString(const QString& command, QString* answer) {
    if (answer) answer->clear();
    const QList<Token> t = tokenize(command);
    if (t.isEmpty()) return UnrecognizedCommand;
    const Token& verb = t[0];

    if (isWord(verb, u"open")) {
        if (t.size() < 2) return MissingParameter;
        QString alias;
        for (qsizetype i = 2; i < t.size(); ++i) {
            if (!isWord(t[i], u"alias")) return UnrecognizedKeyword;
            if (i + 1 >= t.size()) return MissingParameter;
            const Token& a = t[i + 1];
            // An unquoted alias is the rest of the command, so that a file name with blanks (paths
            // here have no blank-free short form) still gives one alias.
            alias = a.quoted ? a.text : command.mid(a.start).trimmed();
            if (a.quoted && i + 2 < t.size()) return UnrecognizedKeyword;
            break;
        }
        return open(t[1].text, alias);
    }

    const bool known = isWord(verb, u"close") || isWord(verb, u"play") || isWord(verb, u"pause") ||
                       isWord(verb, u"seek") || isWord(verb, u"status");
    if (!known) return UnrecognizedCommand;
    if (t.size() < 2) return MissingParameter;
    auto it = devices_.find(key(t[1].text));
    if (it == devices_.end()) return NotOpen;
    WavePlayer& player = *it->second->player;

    if (isWord(verb, u"close")) {
        if (t.size() > 2) return UnrecognizedKeyword;
        devices_.erase(it);
        return Ok;
    }
    if (isWord(verb, u"play")) {
        if (t.size() > 2) return UnrecognizedKeyword;
        return player.play(nullptr) ? Ok : DeviceError;
    }
    if (isWord(verb, u"pause")) {
        if (t.size() > 2) return UnrecognizedKeyword;
        player.pause();
        return Ok;
    }
    if (isWord(verb, u"seek")) {
        if (t.size() < 4) return MissingParameter;
        if (!isWord(t[2], u"to") || t.size() > 4) return UnrecognizedKeyword;
        if (isWord(t[3], u"start")) {
            player.seekMs(0);
            return Ok;
        }
        if (isWord(t[3], u"end")) {
            player.seekToEnd();
            return Ok;
        }
        bool ok = false;
        const qint64 ms = t[3].text.toLongLong(&ok);
        if (!ok || ms < 0) return InvalidValue;
        if (ms > player.lengthMs()) return OutOfRange;
        player.seekMs(ms);
        return Ok;
    }
    // status
    if (t.size() < 3) return MissingParameter;
    if (t.size() > 3) return UnrecognizedKeyword;
    QString result;
    if (isWord(t[2], u"mode")) {
        switch (player.state()) {
        case WavePlayer::State::Playing:
            result = QStringLiteral("playing");
            break;
        case WavePlayer::State::Paused:
            result = QStringLiteral("paused");
            break;
        case WavePlayer::State::Stopped:
            result = QStringLiteral("stopped");
            break;
        }
    } else if (isWord(t[2], u"position")) {
        result = QString::number(player.positionMs());
    } else {
        return UnrecognizedKeyword;
    }
    if (answer) *answer = result;
    return Ok;
}

bool MciSystem::errorString(int code, QString* text) {
    QString s;
    switch (code) {
    case UnrecognizedCommand:
        s = QStringLiteral("コマンドを認識できません。");
        break;
    case UnrecognizedKeyword:
        s = QStringLiteral("コマンドのキーワードを認識できません。");
        break;
    case MissingParameter:
        s = QStringLiteral("コマンドに必要なパラメータがありません。");
        break;
    case InvalidValue:
        s = QStringLiteral("指定された値が正しくありません。");
        break;
    case NotOpen:
        s = QStringLiteral("指定されたデバイスは開かれていません。");
        break;
    case DuplicateAlias:
        s = QStringLiteral("指定された別名は既に使われています。");
        break;
    case FileNotFound:
        s = QStringLiteral("指定されたファイルが見つかりません。");
        break;
    case CannotLoad:
        s = QStringLiteral("ファイルを読み込めないか、サウンドの形式を認識できません。");
        break;
    case NoDevice:
        s = QStringLiteral("サウンド出力デバイスを開けません。");
        break;
    case DeviceError:
        s = QStringLiteral("サウンド出力デバイスが再生を始められません。");
        break;
    case OutOfRange:
        s = QStringLiteral("指定された位置が範囲外です。");
        break;
    default:
        return false;
    }
    if (text) *text = s;
    return true;
}

}  // namespace tova
