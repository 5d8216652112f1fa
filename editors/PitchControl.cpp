#include "editors/PitchControl.h"

#include "commands/PitchRenderCommands.h"
#include "core/Settings.h"
#include "editors/Mode2Options.h"
#include "platform/Vb.h"
#include "render/NoteRenderParams.h"
#include "song/NoteExtension.h"

#include <cmath>
#include <cstdlib>

namespace tova {
namespace {

struct PresetStartWidth {
    qint32 start, width;
};
constexpr PresetStartWidth kPortamentoPresets[] = {{-25, 50}, {-50, 50},   {0, 50},     {-50, 100}, {-100, 100},
                                                   {0, 100},  {-100, 200}, {-200, 200}, {0, 200}};
constexpr qint32 kExcludeTicks[] = {0, 239, 240, 479, 480, 959, 960, 1919, 1920};

const QString kPBS = QStringLiteral("PBS");
const QString kPBW = QStringLiteral("PBW");
const QString kPBY = QStringLiteral("PBY");
const QString kVBR = QStringLiteral("VBR");

// Splits like the classic Split: the empty text gives no entries.
QStringList splitList(const QString& text, QChar sep) { return text.isEmpty() ? QStringList() : text.split(sep); }

qint16 int16Of(const QString& text) {
    const double v = std::nearbyint(Vb::Val(text));
    return qint16(std::clamp(v, -32768.0, 32767.0));
}

double msOf(qint32 ticks, float tempo) { return double(ticks) * 31.25 / double(tempo); }

}  // namespace

const QStringList PitchControl::PresetCaptions{
    QStringLiteral("中央 - 50ms"),  QStringLiteral("早い - 50ms"),  QStringLiteral("遅い - 50ms"),
    QStringLiteral("中央 - 100ms"), QStringLiteral("早い - 100ms"), QStringLiteral("遅い - 100ms"),
    QStringLiteral("中央 - 200ms"), QStringLiteral("早い - 200ms"), QStringLiteral("遅い - 200ms")};
const QStringList PitchControl::VibratoPresets{QStringLiteral("デフォルト,65,180,35,20,20,0,0,100"),
                                               QStringLiteral("深め,65,210,55,20,20,0,0,200"),
                                               QStringLiteral("浅め,65,165,20,20,20,0,0,50")};
const QStringList PitchControl::ExcludeCaptions{
    QStringLiteral("除外：なし"),  QStringLiteral("8分音符未満"), QStringLiteral("8分音符以下"),
    QStringLiteral("4分音符未満"), QStringLiteral("4分音符以下"), QStringLiteral("2分音符未満"),
    QStringLiteral("2分音符以下"), QStringLiteral("全音符未満"),  QStringLiteral("全音符以下")};

void GetTempo(const QString& ext, float& tempo) {
    const QString t = GetNoteOption(ext, QStringLiteral("tempo"));
    if (t.isEmpty()) return;
    const double v = Vb::Val(t);
    if (v > 0) tempo = float(v);
}

PitchControl::PitchControl(Settings& settings) : settings_(settings) {}

// ---- text boxes and sliders ----

void PitchControl::SyncTextToSlider(QString& text, Slider& slider) {
    if (guard_) return;
    guard_ = true;
    const qint16 v = int16Of(text);
    text = QString::number(v);
    slider.value = std::clamp<int>(v, slider.min, slider.max);
    guard_ = false;
}

void PitchControl::SyncSliderToText(QString& text, const Slider& slider) {
    if (guard_) return;
    text = QString::number(slider.value);
}

void PitchControl::RestoreTextFromSlider(QString& text, const Slider& slider) {
    if (guard_) return;
    guard_ = true;
    if (Vb::Val(text) != slider.value) text = QString::number(slider.value);
    guard_ = false;
}

void PitchControl::txtPorStart_Change(const QString& text) {
    txtPorStart = text;
    SyncTextToSlider(txtPorStart, sldPorStart);
    portamentoMode = Custom;
}

void PitchControl::txtPorWidth_Change(const QString& text) {
    txtPorWidth = text;
    SyncTextToSlider(txtPorWidth, sldPorWidth);
    portamentoMode = Custom;
}

void PitchControl::sldPorStart_Change(int value) {
    sldPorStart.value = value;
    SyncSliderToText(txtPorStart, sldPorStart);
    portamentoMode = Custom;
}

void PitchControl::sldPorWidth_Change(int value) {
    sldPorWidth.value = value;
    SyncSliderToText(txtPorWidth, sldPorWidth);
    portamentoMode = Custom;
}

void PitchControl::txtV_Change(int box, const QString& text) {
    if (box < 0 || box > 7) return;
    txtV[size_t(box)] = text;
    if (box <= VDepth) SyncTextToSlider(txtV[size_t(box)], sldV[size_t(box)]);
}

void PitchControl::txtV_LostFocus(int box) {
    if (box < 0 || box > VDepth) return;
    RestoreTextFromSlider(txtV[size_t(box)], sldV[size_t(box)]);
}

void PitchControl::sldV_Change(int box, int value) {
    if (box < 0 || box > VDepth) return;
    sldV[size_t(box)].value = value;
    SyncSliderToText(txtV[size_t(box)], sldV[size_t(box)]);
}

void PitchControl::cboPPoints_Change(const QString& text) {
    cboPPoints = text;
    portamentoMode = PointAdd;
}

void PitchControl::cboPPreset_Click(int index) {
    cboPPreset = index;
    portamentoMode = Preset;
}

void PitchControl::cboVPreset_Click(int index) {
    if (index < 0 || index >= VibratoPresets.size()) return;
    const QStringList e = VibratoPresets[index].split(u',');
    for (int box = 0; box < 8; ++box) txtV_Change(box, e.value(box + 1));
}

// ---- check boxes ----

namespace {
int nextCheckState(int pressed) { return pressed == 1 ? 2 : pressed == 0 ? 1 : 0; }
}  // namespace

void PitchControl::chkPortamento_Click() {
    chkPortamento = nextCheckState(portamentoPressed_);
    portamentoPressed_ = chkPortamento;
    updateEnabled();
}

void PitchControl::chkVibrato_Click() {
    chkVibrato = nextCheckState(vibratoPressed_);
    vibratoPressed_ = chkVibrato;
    updateEnabled();
}

void PitchControl::updateEnabled() {
    portamentoEnabled = chkPortamento == 1;
    vibratoEnabled = chkVibrato == 1;
}

// ---- lists ----

void PitchControl::ShowVibratoText(const QString& text) { ShowVibratoFields(text.split(u' ')); }

void PitchControl::ShowVibratoFields(const QStringList& fields) {
    QStringList f = fields;
    // A seven-field vibrato is complete: its intensity is 0.
    if (f.size() == 7) f.append(QStringLiteral("0"));
    if (f.size() < 8) return;
    for (int box = 0; box < 8; ++box) txtV_Change(box, f[box]);
}

void PitchControl::SelectExcludeTarget(qint32 ticks) {
    for (int i = 0; i < int(std::size(kExcludeTicks)); ++i) {
        if (kExcludeTicks[i] * 4 == ticks) {
            cboExcludeTarget = i;
            return;
        }
    }
}

qint32 PitchControl::GetExcludeTicks() const {
    return cboExcludeTarget >= 0 && cboExcludeTarget < int(std::size(kExcludeTicks)) ? kExcludeTicks[cboExcludeTarget]
                                                                                        : 0;
}

void PitchControl::GetPresetStartWidth(qint32& start, qint32& width) const {
    const int i = cboPPreset >= 0 && cboPPreset < int(std::size(kPortamentoPresets)) ? cboPPreset : 0;
    start = kPortamentoPresets[i].start;
    width = kPortamentoPresets[i].width;
}

void PitchControl::customStartWidth(qint32& start, qint32& width) const {
    start = Vb::CLng(Vb::Val(txtPorStart));
    width = Vb::CLng(Vb::Val(txtPorWidth));
    // A segment needs a width: 0 or less would divide by zero below and write a point that goes nowhere.
    if (width < 1) width = 1;
}

QString PitchControl::vibratoText() const {
    QStringList f;
    // A text that gives no finite number ("1e999") counts as no number, as other text that is not one.
    for (const QString& t : txtV) {
        const double v = Vb::Val(t);
        f.append(Mode2Number(std::isfinite(v) ? v : 0));
    }
    return f.join(u' ');
}

// ---- filling ----

void PitchControl::fill(qint32 selStart, qint32 selEnd, const NoteArrays& notes) {
    QStringList widths, vibrato;
    qint32 startX = 0;
    const bool defaults = selStart < 0;
    const auto setStartWidth = [this](double start, double width) {
        txtPorStart = Mode2Number(start);
        SyncTextToSlider(txtPorStart, sldPorStart);
        txtPorWidth = Mode2Number(width);
        SyncTextToSlider(txtPorWidth, sldPorWidth);
    };
    if (defaults) {
        widths = splitList(settings_.Mode2PBW, u' ');
        startX = Vb::CLng(Vb::Val(settings_.Mode2PBS));
        vibrato = splitList(settings_.Mode2VBR, u' ');
        Caption = QStringLiteral("ピッチコントロールのデフォルト値");
    } else {
        QString source;
        if (selStart == selEnd)
            source = notes.NoteExt.value(selStart);
        else
            Caption = QStringLiteral("ピッチコントロール（複数選択）");
        widths = splitList(GetNoteOption(source, kPBW), u' ');
        startX = Vb::CLng(Vb::Val(GetNoteOption(source, kPBS).section(u';', 0, 0)));
        vibrato = splitList(GetNoteOption(source, kVBR), u' ');
    }
    if (defaults || selStart == selEnd) {
        excludeVisible = defaults;
        if (defaults)
            SelectExcludeTarget(settings_.Mode2VBRExclude);
        else
            cboExcludeTarget = 0;
        pointAddVisible = !defaults;
        defaultButtonsVisible = !defaults;
        if (widths.isEmpty()) {
            portamentoMode = Preset;
            chkPortamento = 0;
            if (!settings_.Mode2PBS.isEmpty()) setStartWidth(Vb::Val(settings_.Mode2PBS), Vb::Val(settings_.Mode2PBW));
        } else {
            chkPortamento = 1;
            if (widths.size() > 1) {
                portamentoMode = PointAdd;
                cboPPoints = QString::number(widths.size() + 1);
            } else {
                portamentoMode = Custom;
                setStartWidth(startX, Vb::Val(widths[0]));
            }
        }
        if (!ReadVibrato(vibrato.join(u' '))) {
            chkVibrato = 0;
            ShowVibratoText(settings_.Mode2VBR);
        } else {
            chkVibrato = 1;
            ShowVibratoFields(vibrato);
        }
    } else {
        excludeVisible = true;
        cboExcludeTarget = 0;
        if (!settings_.Mode2PBS.isEmpty()) setStartWidth(Vb::Val(settings_.Mode2PBS), Vb::Val(settings_.Mode2PBW));
        chkPortamento = 2;
        chkVibrato = 2;
        ShowVibratoText(settings_.Mode2VBR);
        SelectExcludeTarget(settings_.Mode2VBRExclude);
    }
    portamentoPressed_ = chkPortamento;
    vibratoPressed_ = chkVibrato;
    updateEnabled();
}

// ---- the defaults ----

void PitchControl::cmdSetPortamentoDefault_Click() {
    if (chkPortamento == 1) {
        qint32 start = 0, width = 0;
        if (portamentoMode == Preset)
            GetPresetStartWidth(start, width);
        else
            customStartWidth(start, width);
        settings_.Mode2PBS = QString::number(start);
        settings_.Mode2PBW = QString::number(width);
    } else if (chkPortamento == 0) {
        settings_.Mode2PBS.clear();
        settings_.Mode2PBW.clear();
    }
}

void PitchControl::cmdUpdateDefault_Click() {
    if (chkVibrato == 1)
        settings_.Mode2VBR = vibratoText();
    else if (chkVibrato == 0)
        settings_.Mode2VBR.clear();
    settings_.Mode2VBRExclude = GetExcludeTicks() * 4;
}

// ---- applying to the notes ----

void PitchControl::applyPortamentoShifted(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo) {
    qint32 start = -20, width = 40;
    if (portamentoMode == Preset)
        GetPresetStartWidth(start, width);
    else if (portamentoMode == Custom)
        customStartWidth(start, width);
    float tempo = projectTempo;
    FindTempoAt(notes, projectTempo, selStart, tempo);
    for (qint32 i = selStart; i <= selEnd; ++i) {
        QString& ext = notes.NoteExt[i];
        if (!IsRestLyric(notes.Lyrics[i])) {
            QStringList parts = GetNoteOption(ext, kPBS).split(u';');
            double r = 1, s = 1;
            if (selEnd > selStart && i > 0) {
                if (!IsRestLyric(notes.Lyrics[i - 1])) r = std::pow(2.0, std::abs(notes.NoteNums[i - 1] - notes.NoteNums[i]) / 12.0);
                const double prevHalf = msOf(notes.Lengths[i - 1], tempo) * 0.5;
                s = prevHalf < -start ? prevHalf / -start : 1;
            }
            const double thisHalf = msOf(notes.Lengths[i], tempo) * 0.5;
            double w = 1;
            if (start * s + width > thisHalf) w = thisHalf / width;
            SetNoteOption(ext, kPBW, Mode2Number(std::floor(width * r * w)));
            parts[0] = Mode2Number(std::floor(start * r * s));
            SetNoteOption(ext, kPBS, parts.join(u';'));
            SetNoteOption(ext, kPBY, QString());
        }
        GetTempo(ext, tempo);
    }
}

void PitchControl::applyPointAdd(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo) {
    const int n = std::clamp(int(Vb::Val(cboPPoints.left(2))), 2, 50);
    float tempo = projectTempo;
    FindTempoAt(notes, projectTempo, selStart, tempo);
    for (qint32 i = selStart; i <= selEnd; ++i) {
        QString& ext = notes.NoteExt[i];
        GetTempo(ext, tempo);
        if (IsRestLyric(notes.Lyrics[i])) continue;
        QStringList widths = splitList(GetNoteOption(ext, kPBW), u' ');
        QStringList heights = splitList(GetNoteOption(ext, kPBY), u' ');
        const QString pbs = GetNoteOption(ext, kPBS);
        QStringList parts = pbs.split(u';');
        const double startX = Vb::Val(parts[0]);
        if (widths.size() == n - 1 && chkKinto != 1) continue;
        widths.resize(n - 1);
        heights.resize(n - 1);
        const double avail = msOf(notes.Lengths[i], tempo) - startX;
        if (chkKinto != 1) {
            for (int j = 0; j < n - 1; ++j) {
                if (widths[j].isEmpty()) {
                    widths[j] = QStringLiteral("50");
                    heights[j] = QStringLiteral("0");
                }
            }
        } else {
            qint32 acc = 0;
            for (int j = 0; j < n - 1; ++j) {
                const qint32 pos = Vb::CLng(avail * (j + 1) / (n - 1));
                widths[j] = QString::number(pos - acc);
                acc = pos;
                if (heights[j].isEmpty()) heights[j] = QStringLiteral("0");
            }
        }
        heights[n - 2].clear();
        SetNoteOption(ext, kPBW, widths.join(u' '));
        SetNoteOption(ext, kPBY, heights.join(u' ').trimmed());
        parts[0] = Mode2Number(startX);
        SetNoteOption(ext, kPBS, parts.join(u';'));
        ScalePitchPoints(notes.Lengths[i], ext, tempo);
    }
}

void PitchControl::apply(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo) {
    if (selStart < 0) {
        cmdSetPortamentoDefault_Click();
        cmdUpdateDefault_Click();
        return;
    }
    selEnd = std::min(selEnd, notes.lastNote());
    if (chkPortamento == 0) {
        for (qint32 i = selStart; i <= selEnd; ++i) {
            if (IsRestLyric(notes.Lyrics[i])) continue;
            for (const QString& key : {kPBW, kPBY, kPBS}) SetNoteOption(notes.NoteExt[i], key, QString());
        }
    } else if (chkPortamento == 1) {
        if (portamentoMode == PointAdd)
            applyPointAdd(selStart, selEnd, notes, projectTempo);
        else
            applyPortamentoShifted(selStart, selEnd, notes, projectTempo);
    }
    if (chkVibrato == 0 || chkVibrato == 1) {
        const QString text = chkVibrato == 1 ? vibratoText() : QString();
        const qint32 threshold = GetExcludeTicks() * 4;
        for (qint32 i = selStart; i <= selEnd; ++i) {
            if (IsRestLyric(notes.Lyrics[i])) continue;
            SetNoteOption(notes.NoteExt[i], kVBR, notes.Lengths[i] <= threshold ? QString() : text);
        }
    }
}

}  // namespace tova
