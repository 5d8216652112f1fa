#include "voicebank/ParameterEstimation.h"

#include "core/FrqHeader.h"
#include "core/MessageTable.h"
#include "core/WaveFiles.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "voicebank/OtoIniFiles.h"
#include "voicebank/VoiceBankManager.h"

#include <cmath>

namespace tova {
namespace {

// Frame period in milliseconds: 256 samples at 44100 Hz.
constexpr double kP = 256000.0 / 44100.0;

QString floorText(double v) { return QString::number(qint64(std::floor(v))); }

}  // namespace

SampleGroup GroupOfSample(const QString& rowText) {
    const QString name = rowText.mid(PathText::lastSeparator(rowText) + 1);
    if (name.isEmpty()) return SampleGroup::Other;
    const QChar c = name[0];
    if (QStringLiteral("あいうえおをん").contains(c)) return SampleGroup::Vowel;
    if (QStringLiteral("かきくけこたちつてとがぎぐげごだぢづでどぱぴぷぺぽばびぶべぼ").contains(c)) return SampleGroup::Plosive;
    if (QStringLiteral("なにねのまみめもやゆよらりるれろわ").contains(c)) return SampleGroup::Nasal;
    return SampleGroup::Other;
}

FrameAnalysis AnalyseFrames(const QVector<double>& frames) {
    FrameAnalysis a;
    a.N = int(frames.size() / 2);
    double top = 0;
    for (int k = 0; k < a.N; ++k) top = std::max(top, frames[2 * k + 1]);
    const double t = top / 32;
    auto loud = [&](int k) { return frames[2 * k + 1] > t; };
    auto voiced = [&](int k) { return frames[2 * k] != 55.0 && loud(k); };
    a.O = a.N;
    for (int k = 0; k < a.N; ++k)
        if (loud(k)) {
            a.O = k;
            break;
        }
    a.S = a.N;
    for (int k = 0; k < a.N; ++k)
        if (voiced(k)) {
            a.S = k;
            break;
        }
    if (a.S < a.N) {
        for (int k = a.S + 1; k < a.N && voiced(k); ++k) ++a.V;
        if (a.S == 0) ++a.V;  // frame 0 counts itself
    }
    a.C = a.S - a.O;
    return a;
}

std::array<QString, 5> EstimateTimings(const FrameAnalysis& a, SampleGroup group) {
    const double O = a.O, C = a.C, V = a.V, N = a.N;
    std::array<double, 5> v{};
    v[2] = (N - (0.75 * V + O + C)) * kP;
    switch (group) {
        case SampleGroup::Vowel:
            v[0] = O * kP;
            v[1] = C * kP + (a.V < 42 ? V * kP / 3 : 80);
            v[3] = 0;
            v[4] = 0;
            break;
        case SampleGroup::Plosive:
            v[0] = 0;
            v[1] = (O + C) * kP + (a.V < 42 ? V * kP / 3 : 80);
            v[3] = (O + C) * kP;
            v[4] = 0;
            break;
        case SampleGroup::Nasal:
            v[0] = O * kP;
            v[1] = C * kP + (a.V < 45 ? V * kP / 2 : 130);
            v[3] = 0.875 * C * kP + (a.V < 18 ? V * kP / 4 : 25);
            v[4] = 0.333 * C * kP;
            break;
        case SampleGroup::Other:
            v[0] = O * kP;
            v[1] = C * kP + (a.V < 42 ? V * kP / 2 : 80);
            v[3] = C * kP;
            v[4] = 0.5 * C * kP;
            break;
    }
    std::array<QString, 5> out;
    for (int i = 0; i < 5; ++i) out[i] = floorText(v[i]);
    return out;
}

void ApplyLengthCheck(int frameCount, std::array<QString, 5>& t) {
    const double L = frameCount * kP;
    const double offset = Vb::Val(t[0]), consonant = Vb::Val(t[1]), blank = Vb::Val(t[2]);
    if (L > offset + consonant + blank + 2) return;
    const double c = std::floor((L - offset) / 3);
    t[1] = t[2] = QString::number(qint64(c));
    if (c < Vb::Val(t[3])) t[3] = t[1];
    if (c < Vb::Val(t[4])) t[4] = Vb::DoubleText(c / 2);
}

bool EstimateParameters(VoiceBankManager& m, const std::function<bool(const QString& name)>& generate) {
    const QString question = m.multiSelect ? GetMessage(QStringLiteral("選択範囲のパラメータを推定します"))
                                           : GetMessage(QStringLiteral("パラメータの推定を行います"));
    if (Ports::msgBox(question, MsgButtons::OKCancel, MsgIcon::Question) != MsgResult::OK) return false;
    bool changed = false;
    const int count = int(m.rows.size());
    for (int i = 0; i < count; ++i) {
        if (!m.multiSelect) {
            m.selectRow(i);
            m.scrollToSelected = true;
        }
        SampleRow& row = m.rows[i];
        if (row.text.isEmpty() || !(!m.multiSelect || row.selected)) continue;
        const QString sample = SampleFilePath(m.VoiceFolder, row.text);
        FrqHeader header;
        QVector<double> frames;
        bool read = !sample.isEmpty() && ReadFrqFile(header, frames, sample);
        if (!read) {
            const QString ask = GetMessage(QStringLiteral("{1}の周波数表を作成しますか？"), row.text) +
                                QStringLiteral("\n「いいえ」：スキップ\n「キャンセル」：処理を中断");
            const MsgResult answer = Ports::msgBox(ask, MsgButtons::YesNoCancel);
            if (answer == MsgResult::Cancel) return changed;
            if (answer == MsgResult::Yes && generate(row.text)) read = !sample.isEmpty() && ReadFrqFile(header, frames, sample);
            if (!read) continue;
        }
        std::array<QString, 5> texts{row.item(2), row.item(3), row.item(4), row.item(5), row.item(6)};
        const FrameAnalysis a = AnalyseFrames(frames);
        if (row.item(2).isEmpty() && row.item(3).isEmpty()) texts = EstimateTimings(a, GroupOfSample(row.text));
        ApplyLengthCheck(a.N, texts);
        for (int n = 0; n < 5; ++n)
            if (row.item(n + 2) != texts[n]) {
                row.item(n + 2) = texts[n];
                changed = true;
            }
    }
    if (!m.multiSelect) m.ShowParams();
    return changed;
}

}  // namespace tova
