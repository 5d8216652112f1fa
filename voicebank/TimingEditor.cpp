#include "voicebank/TimingEditor.h"

#include "core/FileHelpers.h"
#include "core/Mci.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/WaveFiles.h"
#include "core/clsIniFile.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "render/CacheFiles.h"
#include "voicebank/FreqTableCommands.h"
#include "voicebank/OtoIniFiles.h"
#include "voicebank/SpectrumAnalysis.h"
#include "voicebank/Tool2Calls.h"
#include "voicebank/VoiceBankManager.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace tova {
namespace {

constexpr double kMsPerUnit = 1000.0 / 44100.0;
constexpr double kUnitsPerMs = 44100 * 0.001;

QString msText(double v) { return QString::number(qint64(std::floor(v * kMsPerUnit + 0.5))); }

TimingDrawOp box(double x1, double y1, double x2, double y2, std::uint32_t colour) {
    TimingDrawOp op;
    op.kind = TimingDrawOp::Box;
    op.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    op.colour = colour;
    return op;
}

TimingDrawOp line(double x1, double y1, double x2, double y2, std::uint32_t colour) {
    TimingDrawOp op;
    op.kind = TimingDrawOp::Line;
    op.from = {x1, y1};
    op.to = {x2, y2};
    op.colour = colour;
    return op;
}

const std::array<std::array<std::uint32_t, 3>, 6> kSchemes{{
    {65536, 256, 1}, {65536, 1, 256}, {256, 65536, 1}, {256, 1, 65536}, {1, 256, 65536}, {1, 65536, 256}}};

clsIniFile settingsFile() {
    clsIniFile ini;
    ini.setName(QStringLiteral("geneditor"));
    return ini;
}

}  // namespace

const std::array<QString, 5> TimingEditor::kHandleTexts{QStringLiteral("左ブランク(Top of Data)"), QStringLiteral("固定範囲"),
                                                        QStringLiteral("右ブランク(End of Data)"),
                                                        QStringLiteral("先行発声(Top of Note)"), QStringLiteral("Overlap")};
const std::array<QString, 6> TimingEditor::kColourNames{QStringLiteral("氷晶"), QStringLiteral("紫陽花"), QStringLiteral("翡翠"),
                                                        QStringLiteral("草原"), QStringLiteral("火炎"), QStringLiteral("紅玉")};

int TimingEditor::selectedRow() const {
    if (!manager || manager->selectedRow < 0 || manager->selectedRow >= manager->rows.size()) return -1;
    return manager->selectedRow;
}

bool TimingEditor::Begin(VoiceBankManager& m, const QString& voice, const QString& cache) {
    manager = &m;
    voiceFolder = voice;
    cacheFolder = cache;
    if (selectedRow() < 0) {
        result = 0;
        return false;
    }
    viewLeft = 0;
    zoom = 2.0;
    result = -1;
    modified = false;
    samples = {0};
    pitchCurve = {0};
    LoadWave(selectedRow());
    return true;
}

void TimingEditor::Form_Load() {
    loading = true;
    clsIniFile ini = settingsFile();
    if (ini.Load() == 0) {
        sldLevel = 1;
        range = 160;
        colourScheme = 0;
        noCache = false;
    } else {
        sldLevel = std::clamp(int(Vb::Val(ini.Item(QStringLiteral("speclevel")))), -3, 3);
        range = int(Vb::Val(ini.Item(QStringLiteral("speczoom"))));
        if (range != 128 && range != 256) range = 160;
        colourScheme = std::clamp(int(Vb::Val(ini.Item(QStringLiteral("speccolor")))), 0, 5);
        noCache = Vb::Val(ini.Item(QStringLiteral("specnocache"))) == 1;
    }
    spectrumLevel = std::pow(2.0, sldLevel);
    SetScheme(colourScheme);
    loading = false;
    ScrollRange();
    ScrollToSample();
}

void TimingEditor::Form_Unload() {
    clsIniFile ini = settingsFile();
    ini.Load();
    ini.setValue(QStringLiteral("speclevel"), QString::number(sldLevel));
    ini.setValue(QStringLiteral("speczoom"), QString::number(range));
    ini.setValue(QStringLiteral("speccolor"), QString::number(colourScheme));
    ini.setValue(QStringLiteral("specnocache"), noCache ? QStringLiteral("1") : QStringLiteral("0"));
    if (!ini.Save()) Ports::msgBox(ini.lastError(), MsgButtons::OK, MsgIcon::Exclamation);
}

void TimingEditor::LoadWave(int row) {
    if (!manager || row < 0 || row >= manager->rows.size()) return;
    const SampleRow& r = manager->rows[row];
    if (r.text.isEmpty()) return;
    const QString path = SampleFilePath(voiceFolder, r.text);
    const QString found = path.isEmpty() ? QString() : SafeDir(path);
    captionText = found;
    if (found.isEmpty()) return;
    wavePath = path;
    if (!r.item(1).isEmpty()) captionText += QStringLiteral(" \"") + r.item(1) + u'"';
    WaveHeader h;
    QVector<std::int16_t> s;
    ReadWaveFile(h, s, path);
    // A header without a rate or a frame size has no readable sound: nothing of it is taken.
    if (h.samplesPerSec <= 0 || h.blockAlign <= 0 || h.channels <= 0) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を読み込めませんでした。"), found), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    header = h;
    samples = std::move(s);
    cacheUnwritable_ = false;
    FrqHeader fh;
    QVector<double> frames;
    pitchCurve.clear();
    if (ReadFrqFile(fh, frames, path)) {
        const double a = fh.averageFreq;
        for (int i = 0; i < fh.frameCount; ++i) {
            const double f = frames[2 * i];
            pitchCurve << ((f > 0 && f != 55.0 && a > 0) ? std::log(f / a) / std::log(2.0) : 0.0);
        }
    }
    rateFactor = 44100.0 / header.samplesPerSec;
    for (int n = 0; n < 5; ++n) value[n] = Vb::Val(r.item(n + 2)) * 0.001 * 44100;
    loadedValue_ = value;
    modified = false;
    total = double(header.dataSize) / header.blockAlign * rateFactor;
}

void TimingEditor::ShowEntry() {
    LoadWave(selectedRow());
    ScrollRange();
    if (manager) manager->scrollToSelected = true;
}

void TimingEditor::StoreEntryFields(SampleRow& row) const {
    for (int n = 0; n < 5; ++n)
        if (value[n] != loadedValue_[n]) row.item(n + 2) = msText(value[n]);
}

void TimingEditor::CommitEntry() {
    if (!modified || selectedRow() < 0) return;
    SampleRow& row = manager->rows[selectedRow()];
    StoreEntryFields(row);
    manager->ListChanged = true;
    manager->CurrentKey = row.key;
    manager->ShowParams();
    QString name = row.text + u';';
    name.replace(QStringLiteral(".wav;"), QString());
    if (name.endsWith(u';')) name.chop(1);
    DeleteVoiceCacheFiles(cacheFolder, name);
}

double TimingEditor::used() const {
    const double O = value[Offset], K = value[Cutoff];
    return K >= 0 ? total - O - K : -K;
}

double TimingEditor::valueAt(Marker m, double left, int shift) const {
    const double p = (left + 60 + viewLeft) * zoom;
    const double O = value[Offset], C = value[Consonant], T = total, U = used();
    double v = 0;
    switch (m) {
        case Offset:
            v = std::max(p, 0.0);
            break;
        case Consonant:
            v = std::max(p - O, 0.0);
            break;
        case Cutoff:
            if (shift == 1) {
                v = std::min(O - p, 0.0);
                if (O - v >= T) v = O - T;
            } else {
                v = std::max(T - p, 0.0);
                if (v > T - C - O) v = T - C - O;
            }
            break;
        case PreUtterance:
            v = std::min(std::max(p - O, 0.0), U);
            break;
        case Overlap:
            v = std::min(p - O, U);
            break;
    }
    return v;
}

double TimingEditor::markerX(Marker m) const {
    const double x0 = value[Offset] / zoom - viewLeft;
    const double xE = total / zoom - viewLeft;
    switch (m) {
        case Offset: return x0;
        case Consonant: return x0 + value[Consonant] / zoom;
        case Cutoff: return value[Cutoff] >= 0 ? xE - value[Cutoff] / zoom : x0 - value[Cutoff] / zoom;
        case PreUtterance: return x0 + value[PreUtterance] / zoom;
        case Overlap: return x0 + value[Overlap] / zoom;
    }
    return x0;
}

QString TimingEditor::hintText(Marker m, double v) const { return kHandleTexts[m] + u' ' + msText(v) + QStringLiteral("ms"); }

QString TimingEditor::dragDown(Marker m, double left, double x) {
    dragging = true;
    dragStartX = x;
    return hintText(m, valueAt(m, left, 0));
}

QString TimingEditor::dragMove(Marker m, double left, double x, double& newLeft) {
    newLeft = left + x - dragStartX;
    return hintText(m, valueAt(m, newLeft, 0));
}

void TimingEditor::dragUp(Marker m, double left, int shift) {
    value[m] = valueAt(m, left, shift);
    modified = true;
    CommitEntry();
    dragging = false;
}

void TimingEditor::ScrollRange() {
    const double e = (total + 6615) / zoom;
    if (e <= width) {
        scrollMax = 0;
    } else {
        scrollMax = int(std::min(std::floor((e - width) / 60), 32767.0));
        scrollLargeChange = std::max(1, int(std::floor(width / 120)));
    }
    scrollValue = std::clamp(scrollValue, 0, scrollMax);
}

void TimingEditor::HScroll1_Change(int v) {
    if (loading) return;
    scrollValue = std::clamp(v, 0, scrollMax);
    viewLeft = scrollValue * 60 - 4410 / zoom;
}

void TimingEditor::ScrollToSample() {
    const double v = std::clamp((value[Offset] + 4410) / zoom / 60 - 10, 0.0, double(scrollMax));
    HScroll1_Change(int(v));
}

void TimingEditor::cmdZoomIn() {
    if (zoom <= 0.25) return;
    zoom = zoom <= 1 ? zoom / 2 : zoom - 1;
    ScrollRange();
    viewLeft = scrollValue * 60 - 4410 / zoom;
}

void TimingEditor::cmdZoomOut() {
    if (zoom >= 8) return;
    zoom = zoom < 1 ? zoom * 2 : zoom + 1;
    ScrollRange();
    viewLeft = scrollValue * 60 - 4410 / zoom;
}

void TimingEditor::step(int delta) {
    if (!manager) return;
    const int n = manager->selectedRow + 1 + delta;
    if (n >= 1 && n <= manager->rows.size()) {
        manager->selectRow(n - 1);
        manager->CurrentKey = manager->rows[n - 1].key;
        manager->ShowParams();
    }
    ShowEntry();
    ScrollToSample();
}

void TimingEditor::SetScheme(int index) {
    colourScheme = std::clamp(index, 0, 5);
    weights = kSchemes[colourScheme];
}

void TimingEditor::SetRange(int index) { range = index == 0 ? 128 : index == 2 ? 256 : 160; }

void TimingEditor::SetLevel(int slider) {
    sldLevel = std::clamp(slider, -3, 3);
    spectrumLevel = std::pow(2.0, sldLevel);
}

void TimingEditor::chkNoCache_Click(bool checked) {
    noCache = checked;
    if (checked) StopRequested = -1;  // stops a build that is running
}

void TimingEditor::mnNocache_Click() {
    if (!noCache) {
        chkNoCache_Click(true);
        if (Ports::msgBox(QStringLiteral("キャッシュを削除しますか？"), MsgButtons::OKCancel, MsgIcon::Question) == MsgResult::OK)
            SpectrumCache::DeleteAll(voiceFolder);
    } else {
        chkNoCache_Click(false);
    }
}

void TimingEditor::PlayRange() {
    if (selectedRow() < 0 || !tool) return;
    const QString wave = SampleFilePath(voiceFolder, manager->rows[selectedRow()].text);
    if (wave.isEmpty()) return;
    const QString output = FileSystem::resolve(PathText::join(TempFolder, QStringLiteral("temp.wav")));
    if (QFile::exists(output)) {
        MciClose(GetShortPath(output));
        // A piece left from before is never played in place of this one.
        QFile::remove(output);
    }
    const double O = value[Offset], K = value[Cutoff];
    const double length = K < 0 ? -K : total - O - K;
    if (length <= 0) return;
    const QString command = QuoteString(FreqTableCommands::ToolPath()) + u' ' + QuoteString(FileSystem::resolve(wave)) + u' ' +
                            QuoteString(output) + QStringLiteral(" 100 100 N ") + msText(O) + u' ' + msText(length);
    if (!tool->runWithTimeLimit(command, kPlaybackTimeLimitMs)) {
        Ports::msgBox(GetMessage(QStringLiteral("再生する音を作成できませんでした（{1}秒で打ち切りました）。"),
                                 QString::number(kPlaybackTimeLimitMs / 1000)),
                      MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!QFile::exists(output)) return;
    const QString path = GetShortPath(output);
    MciOpen(path);
    MciPlay(path);
}

// ---------------------------------------------------------------------------------------------------
// Drawing

void TimingEditor::BuildSpectrumCache() {
    if (building || !visible || noCache || cacheUnwritable_ || wavePath.isEmpty() || rateFactor == 0) return;
    const std::int64_t rows = SpectrumRowCount(samples.size(), header.channels);
    if (!SpectrumCache::NeedsBuild(wavePath, rows)) return;
    building = true;
    StopRequested = 0;
    if (buildShown) buildShown(true);
    SpectrumCache::Build b = SpectrumCache::Build::Current;
    try {
        b = SpectrumCache::BuildIfNeeded(wavePath, samples, header.channels, [this](std::int64_t pos, std::int64_t last) {
            if (buildProgress && buildProgress(pos, last)) return true;
            return StopRequested != 0;
        });
    } catch (...) {
        building = false;
        if (buildShown) buildShown(false);
        throw;
    }
    building = false;
    if (buildShown) buildShown(false);
    // A bank that takes no file is drawn by computing the columns, without trying again.
    if (b == SpectrumCache::Build::NotWritable) cacheUnwritable_ = true;
}

std::uint32_t TimingEditor::SpectrumColour(double v) const {
    const double low = v < 0 ? 0 : v > 255 ? 255 : std::floor(v);
    const double middle = v < 256 ? 0 : v >= 512 ? 255 : Vb::CLng(v - 256);
    const double high = v < 512 ? 0 : v >= 768 ? 255 : Vb::CLng(v - 512);
    return std::uint32_t(low) * weights[0] + std::uint32_t(middle) * weights[1] + std::uint32_t(high) * weights[2];
}

TimingDisplay TimingEditor::Redraw() {
    TimingDisplay out;
    if (building) return out;
    if (spectrumShown) BuildSpectrumCache();
    const double H = height, W = width;
    const double x0 = markerX(Offset), xC = markerX(Consonant), xK = markerX(Cutoff), xP = markerX(PreUtterance),
                 xV = markerX(Overlap), xE = total / zoom - viewLeft;
    out << box(0, 0, -viewLeft, H, Rgb(192, 192, 192)) << box(-viewLeft, 0, x0, H, Rgb(192, 192, 255))
        << box(x0, 0, xC, H, Rgb(255, 192, 255)) << box(xC, 9, xK, H, Rgb(255, 255, 255)) << box(xK, 0, xE, H, Rgb(192, 192, 255))
        << box(xE, 0, W, H, Rgb(192, 192, 192));
    out << line(0, centre(), W, centre(), Rgb(255, 0, 0));
    if (spectrumShown) {
        drawSpectrum(out);
        out << line(x0, 0, x0, H, Rgb(128, 128, 128)) << line(xK, 0, xK, H, Rgb(128, 128, 128))
            << line(xC, 0, xC, H, Rgb(192, 128, 192));
    } else {
        drawWaveform(out);
    }
    out << line(xV, 0.2 * H, xV, 0.8 * H, Rgb(0, 255, 0)) << line(xP, 0.25 * H, xP, 0.75 * H, Rgb(255, 0, 0));
    for (int i = 0;; ++i) {
        const double x = i * 4410 / zoom - viewLeft;
        if (x >= W) break;
        if (x > -120) {
            TimingDrawOp t;
            t.kind = TimingDrawOp::Text;
            t.from = {x - 90, 15};
            t.text = Vb::Format(i * 0.1, QStringLiteral("0.0"));
            out << t;
        }
    }
    return out;
}

void TimingEditor::drawWaveform(TimingDisplay& out) const {
    if (rateFactor == 0) return;
    const int ch = header.channels;
    const double u = rateFactor / zoom / std::max(ch, 1);
    const int stepSize = zoom < 1 ? std::max(ch, 1) : (ch == 0 ? 4 : 4 * ch);
    const qint64 last = samples.size() - 1;
    const qint64 first = std::max<qint64>(0, std::llround(viewLeft / u - stepSize));
    const qint64 end = std::min<qint64>(last, std::llround((width + viewLeft) / u + stepSize));
    TimingDrawOp wave;
    wave.kind = TimingDrawOp::Polyline;
    wave.colour = Rgb(0, 128, 255);
    wave.points << QPointF(-viewLeft, centre());
    for (qint64 i = first; i <= end; i += stepSize) wave.points << QPointF(i * u - viewLeft, centre() - samples[i] * height / 65536);
    out << wave;
    for (int j = 1; j < pitchCurve.size(); ++j) {
        const double xa = (j - 1) * 256 * rateFactor / zoom - viewLeft, xb = j * 256 * rateFactor / zoom - viewLeft;
        if (pitchCurve[j - 1] != 0 && pitchCurve[j] != 0 && xb > 0 && xa < width)
            out << line(xa, centre() - pitchCurve[j - 1] * height, xb, centre() - pitchCurve[j] * height, Rgb(255, 128, 0));
    }
}

void TimingEditor::drawSpectrum(TimingDisplay& out) {
    if (rateFactor == 0) return;
    const int ch = std::max<int>(header.channels, 1);
    const double s = rateFactor / zoom;
    const qint64 last = samples.size() - 1;
    const qint64 fA = std::max<qint64>(0, Vb::CLng(viewLeft / s / 256));
    qint64 fB = Vb::CLng((width + viewLeft) / s / 256 + 1);
    if (fB * 256 * ch > last) fB = Vb::CLng(double(last) / 256 / ch);
    SpectrumCache cache;
    const bool fromCache = !noCache && cache.open(wavePath, SpectrumRowCount(samples.size(), ch));
    const QVector<double> table = MakeSinTable(kSpectrumWindow);
    for (qint64 f = fA; f <= fB; ++f) {
        const double x = f * 256 * s - viewLeft;
        std::array<double, kSpectrumBins> v{};
        if (fromCache) {
            const auto row = cache.row(f);
            for (int y = 0; y < kSpectrumBins; ++y) v[y] = SpectrumCacheMagnitude(row[y]) / 256 / spectrumLevel;
        } else {
            const auto col = ComputeSpectrumFrame(samples, ch, f * 256, table);
            for (int y = 0; y < kSpectrumBins; ++y) v[y] = col[y] / spectrumLevel;
        }
        for (int y = 0; y < range && y < kSpectrumBins; ++y) {
            const double ypos = (1 - double(y) / range) * height;
            out << box(x - 128 * s, ypos, x + 128 * s, ypos - height / 128, SpectrumColour(v[y]));
        }
    }
}

}  // namespace tova
