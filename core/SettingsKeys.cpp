#include "core/SettingsKeys.h"

#include "core/DefaultEnvelope.h"

namespace tova {
namespace {

using K = SettingKind;
using W = SettingWrite;
using G = SettingGroup;

SettingKey flag(const char16_t* key, K kind, bool Settings::*m, bool def, G group) {
    SettingKey k{key, kind, W::UnlessDefault, group};
    k.flag = m;
    k.number = def ? 1 : 0;
    return k;
}

SettingKey i16(const char16_t* key, K kind, int16_t Settings::*m, int16_t def, W write, G group) {
    SettingKey k{key, kind, write, group};
    k.i16 = m;
    k.number = def;
    return k;
}

SettingKey i32(const char16_t* key, K kind, int32_t Settings::*m, int32_t def, W write, G group) {
    SettingKey k{key, kind, write, group};
    k.i32 = m;
    k.number = def;
    return k;
}

SettingKey text(const char16_t* key, QString Settings::*m, const char16_t* def, W write, G group,
               const QString& (*sameAsDefault)() = nullptr) {
    SettingKey k{key, K::Text, write, group};
    k.text = m;
    k.textDefault = def;
    k.sameAsDefault = sameAsDefault;
    return k;
}

SettingKey colour(const char16_t* key, int32_t Settings::*m, int32_t def) {
    return i32(key, K::Colour, m, def, W::Always, G::Colours);
}

SettingKey list(const char16_t* key, QStringList Settings::*m, int first, int keyOffset, bool skipEmptyRead,
                bool skipEmptyWrite, bool commasForTabs = false) {
    SettingKey k{key, K::List, W::Always, G::Lists};
    k.list = m;
    k.listFirst = first;
    k.keyOffset = keyOffset;
    k.skipEmptyRead = skipEmptyRead;
    k.skipEmptyWrite = skipEmptyWrite;
    k.commasForTabs = commasForTabs;
    return k;
}

SettingKey runTime(bool Settings::*m, bool def) {
    SettingKey k{u"", K::RunTime, W::Never, G::Defaults};
    k.flag = m;
    k.number = def ? 1 : 0;
    return k;
}

QList<SettingKey> makeTable() {
    using S = Settings;
    const W always = W::Always, unlessDefault = W::UnlessDefault;
    const G kept = G::Kept, defaults = G::Defaults;
    return {
        list(u"OtoList", &S::OtoList, 0, 0, false, true, true),
        flag(u"CacheEnable", K::FlagOne, &S::CacheEnable, false, defaults),
        flag(u"CacheDeleteOnUnload", K::FlagOne, &S::CacheDeleteOnUnload, false, defaults),
        flag(u"CacheDeleteBySize", K::FlagOne, &S::CacheDeleteBySize, false, defaults),
        i32(u"CacheDeleteSize", K::Lenient32, &S::CacheDeleteSize, 0, always, kept),
        flag(u"CacheDeleteByDate", K::FlagOne, &S::CacheDeleteByDate, false, defaults),
        i32(u"CacheDeleteInterval", K::Lenient32, &S::CacheDeleteInterval, 0, always, kept),
        text(u"Tool1Path", &S::Tool1Path, u"", always, kept),
        text(u"Tool2Path", &S::Tool2Path, u"", always, kept),
        list(u"History", &S::History, 1, 0, false, false),
        list(u"AcceptedTool", &S::AcceptedTools, 0, 1, true, false),
        list(u"RefusedTool", &S::RefusedTools, 0, 1, true, false),
        flag(u"DebugMode", K::FlagTrue, &S::DebugMode, false, kept),
        flag(u"PropExpandDetail", K::FlagOne, &S::PropExpandDetail, false, kept),
        colour(u"COLOR_PIANO1", &S::COLOR_PIANO1, 0xFFFFFF),
        colour(u"COLOR_PIANO2", &S::COLOR_PIANO2, 0x404040),
        colour(u"COLOR_ROLL1", &S::COLOR_ROLL1, 0xFFFFFF),
        colour(u"COLOR_ROLL2", &S::COLOR_ROLL2, 0xE0E0E0),
        colour(u"COLOR_SEPA1", &S::COLOR_SEPA1, 0xFF40FF),
        colour(u"COLOR_SEPA2", &S::COLOR_SEPA2, 0xFF8080),
        colour(u"COLOR_BACK", &S::COLOR_BACK, 0xFFFFFF),
        colour(u"COLOR_FORE", &S::COLOR_FORE, 0x000000),
        colour(u"COLOR_SHADOW", &S::COLOR_SHADOW, 0x808080),
        colour(u"COLOR_NOTE_NOR", &S::COLOR_NOTE_NOR, 0xFFC000),
        colour(u"COLOR_NOTE_TOP", &S::COLOR_NOTE_TOP, 0xFF80FF),
        colour(u"COLOR_NOTE_SEL", &S::COLOR_NOTE_SEL, 0xFF40FF),
        colour(u"COLOR_NOTE_TNOR", &S::COLOR_NOTE_TNOR, 0x000000),
        colour(u"COLOR_NOTE_TTOP", &S::COLOR_NOTE_TTOP, 0x800000),
        colour(u"COLOR_NOTE_TSEL", &S::COLOR_NOTE_TSEL, 0x800000),
        colour(u"COLOR_NOTE_RNOR", &S::COLOR_NOTE_RNOR, 0xFFFFFF),
        colour(u"COLOR_NOTE_RTOP", &S::COLOR_NOTE_RTOP, 0xC0C0C0),
        colour(u"COLOR_NOTE_RSEL", &S::COLOR_NOTE_RSEL, 0x808080),
        colour(u"COLOR_PTCH_SEL", &S::COLOR_PTCH_SEL, 0x0000FF),
        colour(u"COLOR_PTCH_NOR", &S::COLOR_PTCH_NOR, 0xFF0000),
        colour(u"COLOR_TEMPO_NOR", &S::COLOR_TEMPO_NOR, 0x0000FF),
        colour(u"COLOR_TEMPO_ALL", &S::COLOR_TEMPO_ALL, 0xFF0000),
        colour(u"COLOR_PTCH_GRY", &S::COLOR_PTCH_GRY, 0x808080),
        colour(u"COLOR_SELECTBAR", &S::COLOR_SELECTBAR, 0xC0C0C0),
        colour(u"COLOR_HILIGHT", &S::COLOR_HILIGHT, 0x00FFFF),
        text(u"TransformTitle", &S::TransformTitle, u"", unlessDefault, kept),
        text(u"FormIcon", &S::FormIcon, u"", unlessDefault, kept),
        flag(u"CheckVoiceFile", K::FlagOne, &S::CheckVoiceFile, false, kept),
        flag(u"NonBatchMode", K::FlagOne, &S::NonBatchMode, false, defaults),
        flag(u"UseDLL", K::FlagOne, &S::UseDLL, false, defaults),
        flag(u"OldTime", K::FlagOne, &S::OldTime, false, defaults),
        flag(u"NoCopyVoiceParam", K::FlagOne, &S::NoCopyVoiceParam, true, defaults),
        flag(u"ExcludeVowelOnSetParam", K::FlagOne, &S::ExcludeVowelOnSetParam, false, defaults),
        SettingKey{u"MainWindow", K::Placement, W::Always, kept},
        text(u"VoiceRoot", &S::VoiceRoot, u"", unlessDefault, kept),
        text(u"DefaultVoice", &S::DefaultVoice, u"", unlessDefault, kept),
        flag(u"MultiMove", K::FlagTrue, &S::MultiMove, true, defaults),
        flag(u"OnlyConcat", K::FlagTrue, &S::OnlyConcat, false, kept),
        text(u"MidiInDevName", &S::MidiInDevName, u"", unlessDefault, defaults),
        text(u"MidiOutDevName", &S::MidiOutDevName, u"", unlessDefault, defaults),
        flag(u"MidiSendNote", K::FlagNonEmpty, &S::MidiSendNote, false, defaults),
        i16(u"MidiProgramChange", K::Lenient16, &S::MidiProgramChange, 0, W::WhenPositive, defaults),
        flag(u"Mode2", K::FlagNonEmpty, &S::Mode2, false, kept),
        text(u"Mode2PBS", &S::Mode2PBS, u"-40", always, defaults),
        text(u"Mode2PBW", &S::Mode2PBW, u"80", always, defaults),
        text(u"Mode2VBR", &S::Mode2VBR, u"", unlessDefault, defaults),
        i32(u"Mode2VBRExclude", K::Strict32, &S::Mode2VBRExclude, 0, unlessDefault, defaults),
        // An empty DefaultEnv stands for the default envelope: that text is not written either.
        text(u"DefaultEnv", &S::DefaultEnv, u"", unlessDefault, defaults, &DefaultEnvelope),
        i16(u"DefaultVolume", K::Strict16, &S::DefaultVolume, 100, unlessDefault, defaults),
        i16(u"DefaultModulation", K::Strict16, &S::DefaultModulation, 0, unlessDefault, kept),
        text(u"DefaultFlags", &S::DefaultFlags, u"", unlessDefault, kept),
        flag(u"SyncScroll", K::FlagNonEmpty, &S::SyncScroll, false, kept),
        i16(u"MTCFrameRate", K::Lenient16, &S::MTCFrameRate, 30, always, defaults),
        flag(u"NoOtoReport", K::FlagNonEmpty, &S::NoOtoReport, false, defaults),
        flag(u"NoCheckSetLyrics", K::FlagNonEmpty, &S::NoCheckSetLyrics, false, defaults),
        text(u"SharpFlat", &S::SharpFlat, u"#", always, defaults),
        flag(u"EnterLyric", K::FlagNonEmpty, &S::EnterLyric, false, defaults),
        runTime(&S::EncodePitchData, true),
        runTime(&S::PitchEditorSampleAnalysis, true),
    };
}

}  // namespace

const QList<SettingKey>& SettingKeys() {
    static const QList<SettingKey> table = makeTable();
    return table;
}

void ResetSettings(Settings& s, SettingGroup group) {
    for (const SettingKey& k : SettingKeys()) {
        if (k.group != group) continue;
        if (k.flag) s.*k.flag = k.number != 0;
        else if (k.i16) s.*k.i16 = int16_t(k.number);
        else if (k.i32) s.*k.i32 = int32_t(k.number);
        else if (k.text) s.*k.text = QString::fromUtf16(k.textDefault);
        else if (k.list) s.*k.list = QStringList(k.listFirst);
    }
}

}  // namespace tova
