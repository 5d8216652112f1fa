#include "core/SettingsFile.h"

#include "core/FileHelpers.h"
#include "core/MainWindowPlacement.h"
#include "core/MessageTable.h"
#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "platform/Cp932.h"
#include "platform/Cp932Lines.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QDateTime>

#include <cstdio>

namespace tova {
namespace {

using K = SettingKind;

QString settingsPath() { return PathText::join(SystemPaths::programFolder(), QStringLiteral("setting.ini")); }

// Existence of an ordinary file.
bool fileFound(const QString& path) { return !SafeDir(path).isEmpty(); }

// A number of the file, or false when it is not one or does not fit the type.
bool readNumber(const QString& value, K kind, double& out) {
    double v = 0;
    if (kind == K::Lenient16 || kind == K::Lenient32) {
        v = Vb::Val(value);
    } else if (!Vb::TryParse(value, v)) {
        return false;
    }
    try {
        out = (kind == K::Lenient16 || kind == K::Strict16) ? double(Vb::CInt(v)) : double(Vb::CLng(v));
    } catch (const OverflowError&) {
        return false;
    }
    return true;
}

// A strict decimal number: digits with optional sign and fraction, nothing else.
bool strictDecimal(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.startsWith(u'&')) return false;
    return Vb::TryParse(t, out);
}

void placeMainWindow(const QString& value, MainWindowPlacement* window) {
    const QStringList f = value.split(u',');
    if (f.size() != 4) return;
    double px[4];
    for (int k = 0; k < 4; ++k)
        if (!strictDecimal(f[k], px[k])) return;  // the window stays where it is
    if (!window) return;
    const double tx = window->twipsPerPixelX();
    const double ty = window->twipsPerPixelY();
    window->setPlacement(px[0] * tx, px[1] * ty, px[2] * tx, px[3] * ty);
}

// Whether a line's key is this setting's: a list takes every key that begins with its own.
bool keyMatches(const SettingKey& k, const QString& key) {
    if (k.kind == K::RunTime) return false;
    return k.kind == K::List ? key.startsWith(QStringView(k.key)) : key == QStringView(k.key);
}

void applyValue(Settings& s, const SettingKey& k, const QString& value, MainWindowPlacement* window) {
    switch (k.kind) {
    case K::FlagOne: s.*k.flag = value == u"1"; break;
    case K::FlagTrue: s.*k.flag = value == u"True"; break;
    case K::FlagNonEmpty: s.*k.flag = !value.isEmpty(); break;
    case K::Text: s.*k.text = value; break;
    case K::Colour:
        try {
            s.*k.i32 = ParseColorText(value);
        } catch (const OverflowError&) {
            // the colour keeps its value
        }
        break;
    case K::List:
        if (k.skipEmptyRead && value.isEmpty()) break;
        if (k.commasForTabs) {
            // A name and a folder: the name holds no comma, the folder may.
            QString entry = value;
            const qsizetype comma = entry.indexOf(u',');
            if (comma >= 0) entry[comma] = u'\t';
            s.*k.list << entry;
        } else {
            s.*k.list << value;
        }
        break;
    case K::Placement: placeMainWindow(value, window); break;
    case K::RunTime: break;
    default: {
        double v = 0;
        if (!readNumber(value, k.kind, v)) return;  // the setting keeps its value
        if (k.i16) s.*k.i16 = int16_t(v);
        else s.*k.i32 = int32_t(v);
    }
    }
}

// The lines of the settings file that no setting of this program reads (a newer or older program's
// keys, comments): kept as they are and written back after the program's own.
QStringList& otherLines() {
    static QStringList lines;
    return lines;
}

void applyLine(Settings& s, const QString& line, MainWindowPlacement* window) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq >= 0) {
        const QString key = line.left(eq);
        for (const SettingKey& k : SettingKeys()) {
            if (keyMatches(k, key)) {
                applyValue(s, k, line.mid(eq + 1), window);
                return;
            }
        }
    }
    // A line with bytes that did not decode is not kept: written back it would no longer be the same.
    if (!line.contains(QChar::ReplacementCharacter)) otherLines() << line;
}

QString defaultToolPath(const char* name) {
    return PathText::join(SystemPaths::programFolder(), QString::fromLatin1(name));
}

}  // namespace

void InitDefaultColors() { ResetSettings(settings(), SettingGroup::Colours); }

void InitSettingDefaults() { ResetSettings(settings(), SettingGroup::Defaults); }

void RemoveStaleSettingsTemps() {
    const QDir folder(SystemPaths::programFolder());
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-StaleSettingsTempSeconds);
    for (const QFileInfo& entry : folder.entryInfoList({QStringLiteral("setting.ini.??????")}, QDir::Files | QDir::Hidden)) {
        const QString suffix = entry.fileName().mid(12);
        bool random = suffix.size() == 6;
        for (QChar c : suffix) random = random && c.unicode() < 128 && c.isLetterOrNumber();
        if (random && entry.lastModified().toUTC() < before) QFile::remove(entry.filePath());
    }
}

bool LoadSettings(MainWindowPlacement* window) {
    RemoveStaleSettingsTemps();
    Settings& s = settings();
    InitDefaultColors();
    ResetSettings(s, SettingGroup::Lists);
    const QString path = settingsPath();
    InitSettingDefaults();

    bool read = false;
    otherLines().clear();
    if (fileFound(path)) {
        QFile f(FileSystem::resolve(path));
        if (f.open(QIODevice::ReadOnly)) {
            const QString text = Cp932::decodeMarked(f.readAll());
            f.close();
            for (QStringView line : TextLines(text))
                if (!line.isEmpty()) applyLine(s, line.toString(), window);
            read = true;
            if (!s.Tool1Path.isEmpty() && !fileFound(s.Tool1Path)) s.Tool1Path.clear();
            if (!s.Tool2Path.isEmpty() && !fileFound(s.Tool2Path)) s.Tool2Path.clear();
        }
    }
    if (s.Tool1Path.isEmpty()) s.Tool1Path = defaultToolPath("catena");
    if (s.Tool2Path.isEmpty()) s.Tool2Path = defaultToolPath("vorsa");
    return read;
}

namespace {

// The "MainWindow" value: the window's place and size in pixels, only for a window in its normal
// state and larger than 320 by 240; empty otherwise.
QString placementText(const MainWindowPlacement* window) {
    if (!window || window->windowState() != MainWindowPlacement::State::Normal) return QString();
    const double tx = window->twipsPerPixelX();
    const double ty = window->twipsPerPixelY();
    const qint64 l = Vb::CLng(window->left() / tx);
    const qint64 t = Vb::CLng(window->top() / ty);
    const qint64 w = Vb::CLng(window->width() / tx);
    const qint64 h = Vb::CLng(window->height() / ty);
    if (w < 321 || h < 241) return QString();
    return QStringLiteral("%1,%2,%3,%4").arg(l).arg(t).arg(w).arg(h);
}

// The value of a single-valued setting as the file holds it.
QString valueText(const Settings& s, const SettingKey& k) {
    switch (k.kind) {
    case K::FlagOne: return s.*k.flag ? QStringLiteral("1") : QStringLiteral("0");
    case K::FlagTrue: return s.*k.flag ? QStringLiteral("True") : QStringLiteral("False");
    case K::FlagNonEmpty: return s.*k.flag ? QStringLiteral("1") : QString();
    case K::Text: return s.*k.text;
    case K::Colour: return QStringLiteral("&H") + ColorToHex(s.*k.i32);
    default: return QString::number(k.i16 ? qint64(s.*k.i16) : qint64(s.*k.i32));
    }
}

bool isDefault(const Settings& s, const SettingKey& k) {
    if (k.flag) return s.*k.flag == (k.number != 0);
    if (k.i16) return s.*k.i16 == k.number;
    if (k.i32) return s.*k.i32 == k.number;
    return s.*k.text == QStringView(k.textDefault) || (k.sameAsDefault && s.*k.text == k.sameAsDefault());
}

bool isWritten(const Settings& s, const SettingKey& k) {
    switch (k.write) {
    case SettingWrite::Always: return true;
    case SettingWrite::UnlessDefault: return !isDefault(s, k);
    case SettingWrite::WhenPositive: return (k.i16 ? qint64(s.*k.i16) : qint64(s.*k.i32)) > 0;
    case SettingWrite::Never: return false;
    }
    return false;
}

QString settingsText(const MainWindowPlacement* window) {
    const Settings& s = settings();
    QString out;
    auto line = [&out](const QString& key, const QString& value) { out += key + u'=' + value + QStringLiteral("\r\n"); };

    for (const SettingKey& k : SettingKeys()) {
        const QString key = QString::fromUtf16(k.key);
        if (k.kind == K::List) {
            const QStringList& entries = s.*k.list;
            for (qsizetype i = k.listFirst; i < entries.size(); ++i) {
                if (k.skipEmptyWrite && entries[i].isEmpty()) continue;
                const QString entry = k.commasForTabs ? QString(entries[i]).replace(u'\t', u',') : entries[i];
                line(key + QString::number(i + k.keyOffset), entry);
            }
        } else if (k.kind == K::Placement) {
            const QString place = placementText(window);
            if (!place.isEmpty()) line(key, place);
        } else if (isWritten(s, k)) {
            line(key, valueText(s, k));
        }
    }
    for (const QString& other : otherLines()) out += other + QStringLiteral("\r\n");
    return out;
}

void reportSaveFailure(const QString& description) {
    const QString text = GetMessage(QStringLiteral("予期せぬエラー：{1}"), description);
    try {
        Ports::msgBox(text, MsgButtons::OK, MsgIcon::Critical);
    } catch (...) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

}  // namespace

bool SaveSettings(const MainWindowPlacement* window) {
    const QString path = settingsPath();
    try {
        const QByteArray bytes = Cp932::encodeMarked(settingsText(window));
        QString reason;
        if (!ReplaceFile(path, bytes, &reason)) {
            reportSaveFailure(path + QStringLiteral(": ") + reason);
            return false;
        }
    } catch (const TovaError& e) {
        reportSaveFailure(path + QStringLiteral(": ") + e.description());
        return false;
    }
    return true;
}

void AddHistory(const QString& path) {
    QStringList& h = settings().History;
    if (h.isEmpty()) h << QString();
    const int n = int(h.size()) - 1;
    int i = n + 1;
    for (int k = 1; k <= n; ++k) {
        if (h[k] == path) {
            i = k;
            break;
        }
    }
    if (i == n + 1) {
        if (n < HistoryMaxLength) h << QString();
        else i = n;
    }
    for (int k = i; k >= 2; --k) h[k] = h[k - 1];
    if (i >= 1) h[1] = path;
}

void RemoveHistory(const QString& path) {
    QStringList& h = settings().History;
    for (int k = 1; k < h.size(); ++k) {
        if (h[k] == path) {
            h.removeAt(k);
            return;
        }
    }
}

QString ColorToHex(int32_t color) { return Vb::Hex(color).rightJustified(6, u'0'); }

int32_t ParseColorText(const QString& text) {
    QString t = text;
    t.replace(u'#', QStringLiteral("&H"));
    t += u'&';
    QString s;
    for (QChar c : t)
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') s += c;
    if (s.size() >= 2 && s[0] == u'&' && (s[1] == u'H' || s[1] == u'h')) {
        quint64 v = 0;
        for (qsizetype i = 2; i < s.size(); ++i) {
            const char16_t c = s[i].unicode();
            int d;
            if (c >= u'0' && c <= u'9') d = c - u'0';
            else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
            else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
            else break;
            v = v * 16 + quint64(d);
            if (v > 0xFFFFFFFFull) throw OverflowError();
        }
        return int32_t(uint32_t(v));
    }
    return Vb::CLng(Vb::Val(s));
}

}  // namespace tova
