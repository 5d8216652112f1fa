#include "autotune/OmakaseDialog.h"

#include "autotune/TuningFrame.h"
#include "autotune/TuningText.h"
#include "core/MessageTable.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "song/LyricText.h"
#include "song/NoteArrays.h"
#include "song/NoteTimingSource.h"

#include <algorithm>

namespace tova {

namespace {

const char16_t* const kVowels[] = {u"あ", u"い", u"う", u"え", u"お", u"ん"};
const char16_t* const kCombCaptions[] = {u"しっかり", u"中くらい", u"すこし"};
const char16_t* const kPortCaptions[] = {u"早い", u"真ん中", u"遅い", u"早い", u"真ん中", u"遅い"};
const char16_t* const kPorvCaptions[] = {u"ゆっくり", u"中くらい", u"はやい"};
const char16_t* const kDepthCaptions[] = {u"わずか", u"あさく", u"ふつう", u"ふかく"};
const char16_t* const kVelCaptions[] = {u"はやい", u"ふつう", u"おそい", u"すごくおそい"};
const char16_t* const kLengCaptions[] = {u"すこし", u"はんぶん", u"おおめ", u"もっとおおめ", u"ほとんど"};

QString str(const char16_t* s) { return QString::fromUtf16(s); }
QString checkText(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

// The element number of a stored index text; false when it lies beyond the group (left unread).
bool element(const QString& text, int count, int& out) {
    const double n = Nearest(Vb::Val(text));
    if (n < 0 || n >= count) return false;
    out = int(n);
    return true;
}

QString groupText(int index, const char16_t* const* captions) {
    return QString::number(index) + QLatin1Char(';') + str(captions[index]);
}

}  // namespace

int OmakaseDialog::clampModulation(double v) const {
    return int(std::clamp(Nearest(v), double(ModulationMin), double(ModulationMax)));
}

void OmakaseDialog::Form_Load() {
    SettingEntries.clear();
    lstSettings.clear();
    lstIndex = -1;
    LoadSettings();
}

bool OmakaseDialog::Form_Unload() {
    if (loadFailed_) return true;
    SaveSettings();
    return Settings.Save();
}

void OmakaseDialog::LoadSettings() {
    Settings.setName(QStringLiteral("omakase"));
    int read = 0;
    try {
        read = Settings.Load();
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    if (read < 1) {
        ResetOptions();
        return;
    }
    const auto item = [&](const char* key) { return Settings.Item(QLatin1String(key)); };
    chkAutoCombine = CheckValue(item("AutoComb"));
    const QStringList cn = item("CN").split(u';');
    for (int k = 0; k < 6; ++k) chkCN[k] = cn.at(0).contains(str(kVowels[k]));
    txtCN = cn.value(1);
    element(item("CombOpt"), 3, optComb);
    chkUpper = CheckValue(item("PMUpper"));
    optPUSine = item("PMUStyle") == QLatin1String("Sine");
    chkDown = CheckValue(item("PMDown"));
    optPDSine = item("PMDStyle") == QLatin1String("Sine");
    element(item("PMOpt"), 3, optPORV);
    for (const char* key : {"PMTmg1", "PMTmg2"}) {
        int n = 0;
        if (!element(item(key), 6, n)) continue;
        (n < 3 ? optPORTUp : optPORTDown) = n;
    }
    chkVibrato = CheckValue(item("Vibrato"));
    element(item("VBDepth"), 4, optBDepth);
    element(item("VBVelcty"), 4, optBVel);
    element(item("VBLength"), 5, optBLeng);
    ModulationValue = qint16(clampModulation(Vb::Val(item("Modulation"))));
    UpdateModulationLabel(ModulationValue);
    const QString stored = item("Settings");
    SettingEntries = stored.isEmpty() ? QStringList() : stored.split(u'\t');
    for (const QString& e : SettingEntries) lstSettings.append(e.section(u'|', 0, 0));
}

void OmakaseDialog::SaveSettings() {
    const auto set = [&](const char* key, const QString& value) { Settings.setValue(QLatin1String(key), value); };
    set("AutoComb", checkText(chkAutoCombine));
    QString cn;
    for (int k = 0; k < 6; ++k)
        if (chkCN[k]) cn += str(kVowels[k]) + QLatin1Char(',');
    set("CN", cn + QLatin1Char(';') + CleanPresetText(txtCN, QStringLiteral("|")));
    if (optComb >= 0 && optComb < 3) set("CombOpt", groupText(optComb, kCombCaptions));
    set("PMUpper", checkText(chkUpper));
    set("PMUStyle", optPUSine ? QStringLiteral("Sine") : QStringLiteral("Line"));
    set("PMDown", checkText(chkDown));
    set("PMDStyle", optPDSine ? QStringLiteral("Sine") : QStringLiteral("Line"));
    if (optPORV >= 0 && optPORV < 3) set("PMOpt", groupText(optPORV, kPorvCaptions));
    if (optPORTUp >= 0 && optPORTUp < 3) set("PMTmg1", groupText(optPORTUp, kPortCaptions));
    if (optPORTDown >= 3 && optPORTDown < 6) set("PMTmg2", groupText(optPORTDown, kPortCaptions));
    set("Vibrato", checkText(chkVibrato));
    if (optBDepth >= 0 && optBDepth < 4) set("VBDepth", groupText(optBDepth, kDepthCaptions));
    if (optBVel >= 0 && optBVel < 4) set("VBVelcty", groupText(optBVel, kVelCaptions));
    if (optBLeng >= 0 && optBLeng < 5) set("VBLength", groupText(optBLeng, kLengCaptions));
    set("Modulation", QString::number(ModulationValue));
    set("Settings", SettingEntries.join(u'\t'));
}

void OmakaseDialog::ResetOptions() {
    chkAutoCombine = true;
    chkCN.fill(true);
    txtCN = QStringLiteral("を");
    optComb = 1;
    chkUpper = chkDown = true;
    optPORTUp = 2;
    optPORTDown = 4;
    optPORV = 2;
    optPUSine = optPDSine = true;
    chkVibrato = true;
    optBDepth = optBVel = optBLeng = 1;
    ModulationValue = 0;
    UpdateModulationLabel(0);
}

QString OmakaseDialog::OptionsToPresetString(const QString& name) const {
    QString head = CleanPresetText(name, QStringLiteral("|")) + QLatin1Char('|') + checkText(chkAutoCombine) +
                   QLatin1Char('|');
    for (int k = 0; k < 6; ++k)
        if (chkCN[k]) head += str(kVowels[k]) + QLatin1Char(' ');
    head = TrimBlanks(head).replace(u' ', u',');
    const auto idx = [](int v) { return v >= 0 ? QString::number(v) : QString(); };
    const QStringList rest{idx(optComb),         checkText(chkUpper),  checkText(chkDown),  checkText(optPUSine),
                           checkText(optPDSine), idx(optPORV),         idx(optPORTUp),      idx(optPORTDown),
                           checkText(chkVibrato), idx(optBDepth),      idx(optBVel),        idx(optBLeng),
                           QString::number(ModulationValue)};
    return head + QLatin1Char(';') + CleanPresetText(txtCN, QStringLiteral("|")) + QLatin1Char('|') + rest.join(u'|');
}

QString OmakaseDialog::ApplyPresetString(const QString& entry) {
    QStringList f = entry.split(u'|');
    while (f.size() < 16) f.append(QString());
    chkAutoCombine = CheckValue(f.at(1));
    chkUpper = CheckValue(f.at(4));
    chkDown = CheckValue(f.at(5));
    chkVibrato = CheckValue(f.at(11));
    const QStringList cn = f.at(2).split(u';');
    for (int k = 0; k < 6; ++k) chkCN[k] = cn.at(0).contains(str(kVowels[k]));
    txtCN = cn.value(1);
    element(f.at(3), 3, optComb);
    element(f.at(8), 3, optPORV);
    for (int field : {9, 10}) {
        int n = 0;
        if (element(f.at(field), 6, n)) (n < 3 ? optPORTUp : optPORTDown) = n;
    }
    element(f.at(12), 4, optBDepth);
    element(f.at(13), 4, optBVel);
    element(f.at(14), 5, optBLeng);
    optPUSine = f.at(6) == QLatin1String("1");
    optPDSine = f.at(7) == QLatin1String("1");
    ModulationValue = qint16(clampModulation(Vb::Val(f.at(15))));
    UpdateModulationLabel(ModulationValue);
    return f.at(0);
}

void OmakaseDialog::cmdAdd_Click() {
    if (txtName.isEmpty()) {
        Ports::messageBox().show({GetMessage(QStringLiteral("名前を入力してください")), QString(), MsgButtons::OK});
        return;
    }
    const QString entry = OptionsToPresetString(txtName);
    for (int k = 0; k < SettingEntries.size(); ++k) {
        if (SettingEntries.at(k).section(u'|', 0, 0) != txtName) continue;
        const MsgResult answer = Ports::messageBox().show(
            {GetMessage(QStringLiteral("'{1}'を上書きします"), txtName), QString(), MsgButtons::OKCancel, MsgIcon::Exclamation});
        if (answer == MsgResult::OK) SettingEntries[k] = entry;
        return;
    }
    SettingEntries.append(entry);
    lstSettings.append(txtName);
    lstSettings_Click(int(lstSettings.size()) - 1);
}

void OmakaseDialog::cmdDel_Click() {
    if (lstIndex < 0 || lstIndex >= lstSettings.size()) return;
    const MsgResult answer = Ports::messageBox().show(
        {GetMessage(QStringLiteral("'{1}'を削除します"), lstSettings.at(lstIndex)), QString(), MsgButtons::OKCancel,
         MsgIcon::Question});
    if (answer != MsgResult::OK) return;
    if (lstIndex < SettingEntries.size()) SettingEntries.removeAt(lstIndex);
    lstSettings.removeAt(lstIndex);
    lstIndex = -1;
}

void OmakaseDialog::lstSettings_Click(int index) {
    lstIndex = index;
    if (index < 0 || index >= lstSettings.size()) return;
    ApplyPresetString(SettingEntries.value(index));
    txtName = lstSettings.at(index);
}

void OmakaseDialog::cmdOKAll_Click() {
    const MsgResult answer = Ports::messageBox().show(
        {GetMessage(QStringLiteral(
             "選択範囲を無視してプロジェクト内のすべての音符におま☆かせ調声を施します。\\nよろしいですか？")),
         QString(), MsgButtons::YesNo, MsgIcon::Exclamation});
    if (answer != MsgResult::Yes) return;
    ApplyMode = 1;
    accept();
}

void OmakaseDialog::cmdOKSelection_Click() {
    ApplyMode = 2;
    accept();
}

void OmakaseDialog::cmdCancel_Click() {
    ApplyMode = 0;
    reject();
}

void OmakaseDialog::Label4_MouseDown(int button, float y) {
    LastButton = button;
    if (button != 1) return;
    Dragging = true;
    DragStartY = y;
}

void OmakaseDialog::Label4_MouseMove(float y) {
    if (!Dragging) return;
    UpdateModulationLabel(clampModulation(ModulationValue - (y - DragStartY) / 15.0));
    LastButton = 0;
}

void OmakaseDialog::Label4_MouseUp(float y) {
    if (!Dragging) return;
    ModulationValue = qint16(clampModulation(ModulationValue - (y - DragStartY) / 15.0));
    UpdateModulationLabel(ModulationValue);
    Dragging = false;
}

void OmakaseDialog::Label4_Click() {
    int v = ModulationValue;
    if (LastButton == 1) v += 10;
    else if (LastButton == 2) v -= 10;
    else return;
    ModulationValue = qint16(clampModulation(v));
    UpdateModulationLabel(ModulationValue);
}

void OmakaseDialog::UpdateModulationLabel(int value) {
    QString word = Label4.section(u' ', 0, 0);
    if (word.isEmpty()) word = QStringLiteral("ﾓｼﾞｭﾚｰｼｮﾝ");
    Label4 = word + QLatin1Char(' ') + QString::number(value);
}

OmakaseCombineSettings OmakaseDialog::combineSettings() const {
    OmakaseCombineSettings s;
    ReadCombineOptions(chkCN.data(), txtCN, optComb, s);
    return s;
}

BendSettings OmakaseDialog::bendSettings() const {
    BendSettings s;
    OmakaseBendChoice c;
    c.width = optPORV;
    c.upTiming = optPORTUp;
    c.downTiming = optPORTDown;
    c.upSine = optPUSine;
    c.downSine = optPDSine;
    ReadPitchOptions(c, s);
    s.UpEnabled = chkUpper;
    s.DownEnabled = chkDown;
    s.Modulation = ModulationValue;
    return s;
}

VibratoSettings OmakaseDialog::vibratoSettings(std::function<double()> random) const {
    VibratoSettings s;
    ReadVibratoOptions({optBLeng, optBVel, optBDepth}, s);
    s.Random = std::move(random);
    return s;
}

void OmakaseDialog::RunPasses(float tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource& timing,
                              const std::function<double()>& random) const {
    if (ApplyMode < 1) return;
    float start = tempo;
    float pitchTempo = tempo;
    if (ApplyMode == 1) {
        first = 0;
        last = notes.lastNote();
        start = pitchTempo = timing.FindTempoAt(notes, -1);
    } else if (first > 0) {
        OwnTempo(notes, first - 1, start);
    }
    if (chkAutoCombine) {
        const OmakaseCombineSettings s = combineSettings();
        RunTwoTempoLoop(start, first, last, notes, [&](float prev, float cur, qint32 i) {
            ApplyOmakaseCombine(prev, cur, i, notes, timing, s);
        });
    }
    const BendSettings bends = bendSettings();
    RunPitchLoop(pitchTempo, first, last, notes, [&](float t2, float t1, float t0, qint32 i) {
        ApplyAutoPitch(t2, t1, t0, i, notes, timing, bends);
    });
    if (chkVibrato) {
        const VibratoSettings s = vibratoSettings(random);
        RunTwoTempoLoop(start, first, last, notes, [&](float prev, float cur, qint32 i) {
            ApplyAutoVibrato(prev, cur, i, notes, timing, s);
        });
    }
}

}  // namespace tova
