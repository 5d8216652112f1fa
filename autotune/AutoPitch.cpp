#include "autotune/AutoPitch.h"

#include "autotune/TuningText.h"
#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/PitchCurves.h"
#include "song/NoteExtension.h"
#include "song/NoteTimingSource.h"

#include <cmath>

namespace tova {

namespace {

// The first width of a `PBW` list ("80 60" gives 80): the list holds one width per segment.
bool firstWidth(const QString& ext, qint32& width) {
    QString text;
    if (!FindNoteProp(ext, QStringLiteral("PBW"), text)) return false;
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    width = qint32(std::fmax(std::fmin(Nearest(Vb::Val(parts.value(0))), 2147483647.0), -2147483648.0));
    return true;
}

QStringList pointList(const QString& field) {
    return field.isEmpty() ? QStringList() : field.split(u' ');
}

}  // namespace

void ApplyAutoPitch(float t2, float t1, float t0, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                    const BendSettings& s) {
    if (i < 1 || i > notes.lastNote()) return;
    // 1. reset
    if (s.ResetFirst) {
        QStringList f = SplitNoteExt(notes.NoteExt.at(i));
        f[ExtPitches].clear();
        notes.NoteExt[i] = JoinNoteExt(f);
    }
    // 2. direction
    const qint32 d = notes.NoteNums.at(i) - notes.NoteNums.at(i - 1);
    double start = 0, width = 0;
    bool curve = true;
    if (d > 0) {
        if (!s.UpEnabled) return;
        start = Nearest(s.UpStart + (d - 1) * s.UpStartEx);
        width = Nearest(s.UpWidth + (d - 1) * s.UpWidthEx);
        curve = s.OneClick ? s.UpCurve : true;
    } else if (d < 0) {
        if (!s.DownEnabled) return;
        start = Nearest(s.DownStart - (d + 1) * s.DownStartEx);
        width = Nearest(s.DownWidth - (d + 1) * s.DownWidthEx);
        curve = s.OneClick ? s.DownCurve : true;
    } else {
        return;
    }
    // 3. - 5.
    const double D = 100.0 * d;
    const float s1 = PitchStepMs(t1), s0 = PitchStepMs(t0);
    float pre1 = 0, ovl1 = 0, stp1 = 0, pre2 = 0, ovl2 = 0, stp2 = 0;
    timing.GetNoteStartTime(t2, notes, i - 1, pre1, ovl1, stp1);
    timing.GetNoteStartTime(t1, notes, i, pre2, ovl2, stp2);
    const float lenPrev = float(notes.Lengths.at(i - 1) * 31.25 / t1);
    const float lenCur = float(notes.Lengths.at(i) * 31.25 / t0);
    // 6.
    QStringList prevFields = SplitNoteExt(notes.NoteExt.at(i - 1));
    QStringList curFields = SplitNoteExt(notes.NoteExt.at(i));
    QStringList P = pointList(prevFields.at(ExtPitches));
    QStringList C = pointList(curFields.at(ExtPitches));
    if (s.OneClick) {
        prevFields[ExtModulation] = QString::number(s.Modulation);
        curFields[ExtModulation] = QString::number(s.Modulation);
    }
    // 7. rests
    const bool rest = s.OneClick ? (IsRestLyric(notes.Lyrics.at(i)) || IsRestLyric(notes.Lyrics.at(i - 1)))
                                 : (IsExactRest(notes.Lyrics.at(i)) || IsExactRest(notes.Lyrics.at(i - 1)));
    if (rest) return;
    // 8. adjustments
    if (!s.OneClick && s.UseNoteParams) {
        qint32 v = qint32(start);
        GetNoteProp(notes.NoteExt.at(i), QStringLiteral("PBS"), v);
        start = v;
        qint32 w = qint32(width);
        if (firstWidth(notes.NoteExt.at(i), w)) width = w;
    }
    if (s.OneClick) {
        if (start < -lenPrev / 2.0) start = Nearest(-lenPrev / 2.0);
        if (start + width > 0.7 * lenCur) width = Vb::Int(0.7 * lenCur) - start;
    }
    if (width < 0) width = 0;
    const float pi = float(4.0 * std::atan(1.0));
    // 9. the previous note's tail
    double n1 = Vb::Int((double(pre1) + stp1 + lenPrev - pre2 + ovl2) / s1 + 0.5) + 1;
    if (n1 < 0) n1 = 0;
    const qint32 N1 = qint32(std::fmin(n1, 1e7));
    while (P.size() > N1 + 1) P.removeLast();
    while (P.size() < N1 + 1) P.append(QString());
    for (QString& p : P)
        if (p.isEmpty()) p = QStringLiteral("0");
    const float T0 = float(double(pre1) + stp1 + lenPrev + start);
    for (qint32 j = 0; j <= N1; ++j) {
        const float t = float(j) * s1;
        if (double(t) > double(T0) + width) {
            P[j] = WholeText(D);
        } else if (t > T0) {
            const double x = double(t) - T0;
            P[j] = WholeText(curve ? Vb::Int(D * (1 - std::cos(pi * x / width)) / 2 + 0.5)
                                   : Vb::Int(D * x / width + 0.5));
        }
    }
    P[0] = StampedFirstPoint(P.at(0), t1);
    prevFields[ExtPitches] = P.join(u' ');
    notes.NoteExt[i - 1] = JoinNoteExt(prevFields);
    // 10. the current note's head
    const double n2 = Nearest((double(pre2) + stp2 + start + width) / s0);
    const qint32 N2 = n2 < 0 ? -1 : qint32(std::fmin(n2, 1e7));
    if (N2 < 0) {
        C = QStringList{C.value(0)};
    } else {
        while (C.size() < N2 + 1) C.append(QString());
        for (qint32 j = 0; j <= N2; ++j)
            if (C.at(j).isEmpty()) C[j] = QStringLiteral("0");
    }
    const float T1 = float(double(pre2) + stp2 + start);
    for (qint32 j = 0; j <= N2; ++j) {
        const float t = float(j) * s0;
        if (t < T1) {
            C[j] = WholeText(-D);
        } else if (width <= 0) {
            C[j] = QStringLiteral("0");
        } else {
            const double x = double(t) - T1;
            C[j] = WholeText(curve ? Vb::Int(-D * (1 + std::cos(pi * x / width)) / 2 + 0.5)
                                   : Vb::Int(D * (x / width - 1) + 0.5));
        }
    }
    C[0] = StampedFirstPoint(C.at(0), t0);
    curFields[ExtPitches] = C.join(u' ');
    QString ext = JoinNoteExt(curFields);
    // 11. the bend's start and width
    if (s.OneClick) {
        SetNoteOption(ext, QStringLiteral("PBS"), WholeText(start));
        SetNoteOption(ext, QStringLiteral("PBW"), WholeText(width));
    } else {
        SetNoteProp(ext, QStringLiteral("PBS"), qint32(start));
        SetNoteProp(ext, QStringLiteral("PBW"), qint32(width));
    }
    notes.NoteExt[i] = ext;
}

void ReadPitchOptions(const OmakaseBendChoice& c, BendSettings& s) {
    // The shared width first: the timings are fractions of it.
    switch (c.width) {
    case 0: s.UpWidth = 180, s.UpWidthEx = 18; break;
    case 1: s.UpWidth = 100, s.UpWidthEx = 10; break;
    case 2: s.UpWidth = 60, s.UpWidthEx = 6; break;
    default: break;
    }
    s.DownWidth = s.UpWidth;
    s.DownWidthEx = s.UpWidthEx;
    const auto timing = [&](int index, double& start, double& startEx) {
        switch (index) {
        case 0: start = -s.UpWidth, startEx = -s.UpWidthEx; break;
        case 1: start = float(-s.UpWidth / 2), startEx = float(-s.UpWidthEx / 2); break;
        case 2: start = 0, startEx = 0; break;
        default: break;
        }
    };
    timing(c.upTiming, s.UpStart, s.UpStartEx);
    timing(c.downTiming >= 3 ? c.downTiming - 3 : -1, s.DownStart, s.DownStartEx);
    s.UpCurve = c.upSine;
    s.DownCurve = c.downSine;
    s.OneClick = true;
    s.ResetFirst = true;
    s.UseNoteParams = false;
}

}  // namespace tova
