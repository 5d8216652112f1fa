#include "core/SettingsFile.h"

#include "core/DefaultEnvelope.h"
#include "core/FileHelpers.h"
#include "core/MainWindowPlacement.h"
#include "core/MessageTable.h"
#include "core/Settings.h"
#include "platform/Cp932.h"
#include "platform/Cp932Lines.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"

#include <QFile>
#include <QSaveFile>
#include <QFileInfo>
#include <QDir>
#include <QDateTime>

#include <cstdio>

namespace tova {
namespace {

struct ColorKey {
    const char16_t* key;
    int32_t Settings::*member;
    int32_t defaultValue;
};

// The colour keys in the order the file is written.
const ColorKey kColors[] = {
    {u"COLOR_PIANO1", &Settings::COLOR_PIANO1, 0xFFFFFF},    {u"COLOR_PIANO2", &Settings::COLOR_PIANO2, 0x404040},
    {u"COLOR_ROLL1", &Settings::COLOR_ROLL1, 0xFFFFFF},      {u"COLOR_ROLL2", &Settings::COLOR_ROLL2, 0xE0E0E0},
    {u"COLOR_SEPA1", &Settings::COLOR_SEPA1, 0xFF40FF},      {u"COLOR_SEPA2", &Settings::COLOR_SEPA2, 0xFF8080},
    {u"COLOR_BACK", &Settings::COLOR_BACK, 0xFFFFFF},        {u"COLOR_FORE", &Settings::COLOR_FORE, 0x000000},
    {u"COLOR_SHADOW", &Settings::COLOR_SHADOW, 0x808080},    {u"COLOR_NOTE_NOR", &Settings::COLOR_NOTE_NOR, 0xFFC000},
    {u"COLOR_NOTE_TOP", &Settings::COLOR_NOTE_TOP, 0xFF80FF}, {u"COLOR_NOTE_SEL", &Settings::COLOR_NOTE_SEL, 0xFF40FF},
    {u"COLOR_NOTE_TNOR", &Settings::COLOR_NOTE_TNOR, 0x000000},
    {u"COLOR_NOTE_TTOP", &Settings::COLOR_NOTE_TTOP, 0x800000},
    {u"COLOR_NOTE_TSEL", &Settings::COLOR_NOTE_TSEL, 0x800000},
    {u"COLOR_NOTE_RNOR", &Settings::COLOR_NOTE_RNOR, 0xFFFFFF},
    {u"COLOR_NOTE_RTOP", &Settings::COLOR_NOTE_RTOP, 0xC0C0C0},
    {u"COLOR_NOTE_RSEL", &Settings::COLOR_NOTE_RSEL, 0x808080},
    {u"COLOR_PTCH_SEL", &Settings::COLOR_PTCH_SEL, 0x0000FF}, {u"COLOR_PTCH_NOR", &Settings::COLOR_PTCH_NOR, 0xFF0000},
    {u"COLOR_TEMPO_NOR", &Settings::COLOR_TEMPO_NOR, 0x0000FF},
    {u"COLOR_TEMPO_ALL", &Settings::COLOR_TEMPO_ALL, 0xFF0000},
    {u"COLOR_PTCH_GRY", &Settings::COLOR_PTCH_GRY, 0x808080},
    {u"COLOR_SELECTBAR", &Settings::COLOR_SELECTBAR, 0xC0C0C0},
    {u"COLOR_HILIGHT", &Settings::COLOR_HILIGHT, 0x00FFFF},
};

// How a key's value is read.
enum class Kind {
    FlagOne,       // true exactly when the value is "1"
    FlagTrue,      // true exactly when the value is "True"
    FlagNonEmpty,  // true when the value is not empty
    Lenient16,     // leading number, 0 when none; must fit 16 bits
    Lenient32,     // leading number, 0 when none; must fit 32 bits
    Strict16,      // the whole value a number; must fit 16 bits
    Strict32,      // the whole value a number; must fit 32 bits
    Text,
};

struct KeyRule {
    const char16_t* key;
    Kind kind;
    bool Settings::*flag = nullptr;
    int16_t Settings::*i16 = nullptr;
    int32_t Settings::*i32 = nullptr;
    QString Settings::*text = nullptr;
};

KeyRule flagRule(const char16_t* key, Kind kind, bool Settings::*m) { return {key, kind, m, nullptr, nullptr, nullptr}; }
KeyRule i16Rule(const char16_t* key, Kind kind, int16_t Settings::*m) { return {key, kind, nullptr, m, nullptr, nullptr}; }
KeyRule i32Rule(const char16_t* key, Kind kind, int32_t Settings::*m) { return {key, kind, nullptr, nullptr, m, nullptr}; }
KeyRule textRule(const char16_t* key, QString Settings::*m) { return {key, Kind::Text, nullptr, nullptr, nullptr, m}; }

// The plain keys (every key but the lists, the colours and "MainWindow"), in the file's order.
const std::vector<KeyRule>& plainRules() {
    static const std::vector<KeyRule> rules = {
        flagRule(u"CacheEnable", Kind::FlagOne, &Settings::CacheEnable),
        flagRule(u"CacheDeleteOnUnload", Kind::FlagOne, &Settings::CacheDeleteOnUnload),
        flagRule(u"CacheDeleteBySize", Kind::FlagOne, &Settings::CacheDeleteBySize),
        i32Rule(u"CacheDeleteSize", Kind::Lenient32, &Settings::CacheDeleteSize),
        flagRule(u"CacheDeleteByDate", Kind::FlagOne, &Settings::CacheDeleteByDate),
        i32Rule(u"CacheDeleteInterval", Kind::Lenient32, &Settings::CacheDeleteInterval),
        textRule(u"Tool1Path", &Settings::Tool1Path),
        textRule(u"Tool2Path", &Settings::Tool2Path),
        flagRule(u"DebugMode", Kind::FlagTrue, &Settings::DebugMode),
        flagRule(u"PropExpandDetail", Kind::FlagOne, &Settings::PropExpandDetail),
        textRule(u"TransformTitle", &Settings::TransformTitle),
        textRule(u"FormIcon", &Settings::FormIcon),
        flagRule(u"CheckVoiceFile", Kind::FlagOne, &Settings::CheckVoiceFile),
        flagRule(u"NonBatchMode", Kind::FlagOne, &Settings::NonBatchMode),
        flagRule(u"UseDLL", Kind::FlagOne, &Settings::UseDLL),
        flagRule(u"OldTime", Kind::FlagOne, &Settings::OldTime),
        flagRule(u"NoCopyVoiceParam", Kind::FlagOne, &Settings::NoCopyVoiceParam),
        flagRule(u"ExcludeVowelOnSetParam", Kind::FlagOne, &Settings::ExcludeVowelOnSetParam),
        textRule(u"VoiceRoot", &Settings::VoiceRoot),
        textRule(u"DefaultVoice", &Settings::DefaultVoice),
        flagRule(u"MultiMove", Kind::FlagTrue, &Settings::MultiMove),
        flagRule(u"OnlyConcat", Kind::FlagTrue, &Settings::OnlyConcat),
        textRule(u"MidiInDevName", &Settings::MidiInDevName),
        textRule(u"MidiOutDevName", &Settings::MidiOutDevName),
        flagRule(u"MidiSendNote", Kind::FlagNonEmpty, &Settings::MidiSendNote),
        i16Rule(u"MidiProgramChange", Kind::Lenient16, &Settings::MidiProgramChange),
        flagRule(u"Mode2", Kind::FlagNonEmpty, &Settings::Mode2),
        textRule(u"Mode2PBS", &Settings::Mode2PBS),
        textRule(u"Mode2PBW", &Settings::Mode2PBW),
        textRule(u"Mode2VBR", &Settings::Mode2VBR),
        i32Rule(u"Mode2VBRExclude", Kind::Strict32, &Settings::Mode2VBRExclude),
        textRule(u"DefaultEnv", &Settings::DefaultEnv),
        i16Rule(u"DefaultVolume", Kind::Strict16, &Settings::DefaultVolume),
        i16Rule(u"DefaultModulation", Kind::Strict16, &Settings::DefaultModulation),
        textRule(u"DefaultFlags", &Settings::DefaultFlags),
        flagRule(u"SyncScroll", Kind::FlagNonEmpty, &Settings::SyncScroll),
        i16Rule(u"MTCFrameRate", Kind::Lenient16, &Settings::MTCFrameRate),
        flagRule(u"NoOtoReport", Kind::FlagNonEmpty, &Settings::NoOtoReport),
        flagRule(u"NoCheckSetLyrics", Kind::FlagNonEmpty, &Settings::NoCheckSetLyrics),
        textRule(u"SharpFlat", &Settings::SharpFlat),
        flagRule(u"EnterLyric", Kind::FlagNonEmpty, &Settings::EnterLyric),
    };
    return rules;
}

QString settingsPath() { return PathText::join(SystemPaths::programFolder(), QStringLiteral("setting.ini")); }

// Existence of an ordinary file.
bool fileFound(const QString& path) { return !SafeDir(path).isEmpty(); }

// A number of the file, or false when it is not one or does not fit the type.
bool readNumber(const QString& value, Kind kind, double& out) {
    double v = 0;
    if (kind == Kind::Lenient16 || kind == Kind::Lenient32) {
        v = Vb::Val(value);
    } else if (!Vb::TryParse(value, v)) {
        return false;
    }
    try {
        out = (kind == Kind::Lenient16 || kind == Kind::Strict16) ? double(Vb::CInt(v)) : double(Vb::CLng(v));
    } catch (const OverflowError&) {
        return false;
    }
    return true;
}

void applyRule(Settings& s, const KeyRule& r, const QString& value) {
    switch (r.kind) {
    case Kind::FlagOne: s.*r.flag = value == u"1"; break;
    case Kind::FlagTrue: s.*r.flag = value == u"True"; break;
    case Kind::FlagNonEmpty: s.*r.flag = !value.isEmpty(); break;
    case Kind::Text: s.*r.text = value; break;
    default: {
        double v = 0;
        if (!readNumber(value, r.kind, v)) return;  // the setting keeps its value
        if (r.i16) s.*r.i16 = int16_t(v);
        else s.*r.i32 = int32_t(v);
    }
    }
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

void applyLine(Settings& s, const QString& line, MainWindowPlacement* window) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) return;
    const QString key = line.left(eq);
    const QString value = line.mid(eq + 1);
    if (key.left(7) == u"OtoList") {
        s.OtoList << QString(value).replace(u',', u'\t');
        return;
    }
    if (key.startsWith(u"AcceptedTool")) {
        if (!value.isEmpty()) s.AcceptedTools << value;
        return;
    }
    if (key.startsWith(u"RefusedTool")) {
        if (!value.isEmpty()) s.RefusedTools << value;
        return;
    }
    for (const KeyRule& r : plainRules()) {
        if (key == r.key) {
            applyRule(s, r, value);
            return;
        }
    }
    // No other key begins with "History", so testing it after the plain keys finds the same match.
    if (key.startsWith(u"History")) {
        s.History << value;
        return;
    }
    for (const ColorKey& c : kColors) {
        if (key == c.key) {
            try {
                s.*c.member = ParseColorText(value);
            } catch (const OverflowError&) {
                // the colour keeps its value
            }
            return;
        }
    }
    if (key == u"MainWindow") placeMainWindow(value, window);
}

QString defaultToolPath(const char* name) {
    return PathText::join(SystemPaths::programFolder(), QString::fromLatin1(name));
}

}  // namespace

void InitDefaultColors() {
    Settings& s = settings();
    for (const ColorKey& c : kColors) s.*c.member = c.defaultValue;
}

void InitSettingDefaults() {
    Settings& s = settings();
    s.CacheEnable = s.CacheDeleteOnUnload = s.CacheDeleteBySize = s.CacheDeleteByDate = false;
    s.NonBatchMode = s.UseDLL = s.OldTime = s.ExcludeVowelOnSetParam = false;
    s.NoCopyVoiceParam = s.MultiMove = true;
    s.EncodePitchData = s.PitchEditorSampleAnalysis = true;
    s.MidiInDevName.clear();
    s.MidiOutDevName.clear();
    s.MidiSendNote = false;
    s.MidiProgramChange = 0;
    s.Mode2PBS = QStringLiteral("-40");
    s.Mode2PBW = QStringLiteral("80");
    s.Mode2VBR.clear();
    s.Mode2VBRExclude = 0;
    s.DefaultEnv.clear();
    s.DefaultVolume = 100;
    s.MTCFrameRate = 30;
    s.NoOtoReport = s.NoCheckSetLyrics = s.EnterLyric = false;
    s.SharpFlat = QStringLiteral("#");
}

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
    s.OtoList.clear();
    s.History = QStringList{QString()};
    s.AcceptedTools.clear();
    s.RefusedTools.clear();
    const QString path = settingsPath();
    InitSettingDefaults();

    bool read = false;
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

QString settingsText(const MainWindowPlacement* window) {
    const Settings& s = settings();
    QString out;
    auto line = [&out](const QString& text) { out += text + QStringLiteral("\r\n"); };
    auto num = [](qint64 v) { return QString::number(v); };

    for (int i = 0; i < s.OtoList.size(); ++i)
        if (!s.OtoList[i].isEmpty()) line(QStringLiteral("OtoList") + num(i) + u'=' + QString(s.OtoList[i]).replace(u'\t', u','));
    if (s.CacheEnable) line(QStringLiteral("CacheEnable=1"));
    if (s.CacheDeleteOnUnload) line(QStringLiteral("CacheDeleteOnUnload=1"));
    if (s.CacheDeleteBySize) line(QStringLiteral("CacheDeleteBySize=1"));
    line(QStringLiteral("CacheDeleteSize=") + num(s.CacheDeleteSize));
    if (s.CacheDeleteByDate) line(QStringLiteral("CacheDeleteByDate=1"));
    line(QStringLiteral("CacheDeleteInterval=") + num(s.CacheDeleteInterval));
    line(QStringLiteral("Tool1Path=") + s.Tool1Path);
    line(QStringLiteral("Tool2Path=") + s.Tool2Path);
    for (int i = 1; i < s.History.size(); ++i) line(QStringLiteral("History") + num(i) + u'=' + s.History[i]);
    for (int i = 0; i < s.AcceptedTools.size(); ++i) line(QStringLiteral("AcceptedTool") + num(i + 1) + u'=' + s.AcceptedTools[i]);
    for (int i = 0; i < s.RefusedTools.size(); ++i) line(QStringLiteral("RefusedTool") + num(i + 1) + u'=' + s.RefusedTools[i]);
    if (s.DebugMode) line(QStringLiteral("DebugMode=True"));
    if (s.PropExpandDetail) line(QStringLiteral("PropExpandDetail=1"));
    for (const ColorKey& c : kColors) line(QString::fromUtf16(c.key) + QStringLiteral("=&H") + ColorToHex(s.*c.member));
    if (!s.TransformTitle.isEmpty()) line(QStringLiteral("TransformTitle=") + s.TransformTitle);
    if (!s.FormIcon.isEmpty()) line(QStringLiteral("FormIcon=") + s.FormIcon);
    if (s.CheckVoiceFile) line(QStringLiteral("CheckVoiceFile=1"));
    if (s.NonBatchMode) line(QStringLiteral("NonBatchMode=1"));
    if (s.UseDLL) line(QStringLiteral("UseDLL=1"));
    if (s.OldTime) line(QStringLiteral("OldTime=1"));
    if (!s.NoCopyVoiceParam) line(QStringLiteral("NoCopyVoiceParam=0"));
    if (s.ExcludeVowelOnSetParam) line(QStringLiteral("ExcludeVowelOnSetParam=1"));
    if (window && window->windowState() == MainWindowPlacement::State::Normal) {
        const double tx = window->twipsPerPixelX();
        const double ty = window->twipsPerPixelY();
        const qint64 l = Vb::CLng(window->left() / tx);
        const qint64 t = Vb::CLng(window->top() / ty);
        const qint64 w = Vb::CLng(window->width() / tx);
        const qint64 h = Vb::CLng(window->height() / ty);
        if (w >= 321 && h >= 241) line(QStringLiteral("MainWindow=") + num(l) + u',' + num(t) + u',' + num(w) + u',' + num(h));
    }
    if (!s.VoiceRoot.isEmpty()) line(QStringLiteral("VoiceRoot=") + s.VoiceRoot);
    if (!s.DefaultVoice.isEmpty()) line(QStringLiteral("DefaultVoice=") + s.DefaultVoice);
    if (!s.MultiMove) line(QStringLiteral("MultiMove=False"));
    if (s.OnlyConcat) line(QStringLiteral("OnlyConcat=True"));
    if (!s.MidiInDevName.isEmpty()) line(QStringLiteral("MidiInDevName=") + s.MidiInDevName);
    if (!s.MidiOutDevName.isEmpty()) line(QStringLiteral("MidiOutDevName=") + s.MidiOutDevName);
    if (s.MidiSendNote) line(QStringLiteral("MidiSendNote=1"));
    if (s.MidiProgramChange > 0) line(QStringLiteral("MidiProgramChange=") + num(s.MidiProgramChange));
    if (s.Mode2) line(QStringLiteral("Mode2=1"));
    line(QStringLiteral("Mode2PBS=") + s.Mode2PBS);
    line(QStringLiteral("Mode2PBW=") + s.Mode2PBW);
    if (!s.Mode2VBR.isEmpty()) line(QStringLiteral("Mode2VBR=") + s.Mode2VBR);
    if (s.Mode2VBRExclude != 0) line(QStringLiteral("Mode2VBRExclude=") + num(s.Mode2VBRExclude));
    if (!s.DefaultEnv.isEmpty() && s.DefaultEnv != DefaultEnvelope())
        line(QStringLiteral("DefaultEnv=") + s.DefaultEnv);
    if (s.DefaultVolume != 100) line(QStringLiteral("DefaultVolume=") + num(s.DefaultVolume));
    if (s.DefaultModulation != 0) line(QStringLiteral("DefaultModulation=") + num(s.DefaultModulation));
    if (!s.DefaultFlags.isEmpty()) line(QStringLiteral("DefaultFlags=") + s.DefaultFlags);
    if (s.SyncScroll) line(QStringLiteral("SyncScroll=1"));
    line(QStringLiteral("MTCFrameRate=") + num(s.MTCFrameRate));
    if (s.NoOtoReport) line(QStringLiteral("NoOtoReport=1"));
    if (s.NoCheckSetLyrics) line(QStringLiteral("NoCheckSetLyrics=1"));
    line(QStringLiteral("SharpFlat=") + s.SharpFlat);
    if (s.EnterLyric) line(QStringLiteral("EnterLyric=1"));
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
        QSaveFile f(FileSystem::resolve(path));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
            reportSaveFailure(path + QStringLiteral(": ") + f.errorString());
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
