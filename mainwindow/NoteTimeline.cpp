#include "mainwindow/NoteTimeline.h"

#include "render/NoteRenderParams.h"
#include "song/NoteArrays.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace tova {

namespace {

// The same array, not merely equal contents: while the timeline holds a copy, any change made to the
// song's array gives it new storage.
template <typename List>
bool sameArray(const List& held, const List& song) {
    return held.size() == song.size() && held.constData() == song.constData();
}

}  // namespace

void NoteTimeline::update(const NoteArrays& notes, float projectTempo) {
    const qint32 count = notes.noteCount();
    const bool lengthsSame = built_ && count == count_ && sameArray(lengths_, notes.Lengths);
    const bool tempoSame = built_ && count == count_ && sameArray(ext_, notes.NoteExt) &&
                           std::memcmp(&projectTempo, &projectTempo_, sizeof(float)) == 0;
    if (lengthsSame && tempoSame) return;

    count_ = count;
    if (!lengthsSame) {
        lengths_ = notes.Lengths;
        starts_.resize(count + 1);
        qint64 s = 0;
        for (qint32 i = 0; i < count; ++i) {
            starts_[i] = s;
            s += lengths_.value(i);
        }
        starts_[count] = s;
    }
    if (!tempoSame) {
        readOwnTempos(notes.NoteExt);
        projectTempo_ = projectTempo;
        tempos_.resize(count);
        float tempo = projectTempo;
        for (qint32 i = 0; i < count; ++i) {
            if (i < own_.size() && !std::isnan(own_[i])) tempo = own_[i];
            tempos_[i] = tempo;
        }
    }
    // Play lengths are rounded note by note, as playback counts them.
    playBefore_.resize(count + 1);
    ordered_ = true;
    double ms = 0;
    for (qint32 i = 0; i < count; ++i) {
        playBefore_[i] = ms;
        const qint32 length = lengths_.value(i);
        const double lenMs = std::nearbyint(double(length) * 31.25 / double(tempos_[i]));
        if (length < 0 || !(lenMs >= 0) || std::isinf(lenMs)) ordered_ = false;
        ms += lenMs;
    }
    playBefore_[count] = ms;
    secondsLow_ = secondsHigh_ = -1;
    built_ = true;
}

void NoteTimeline::readOwnTempos(const QStringList& ext) {
    // An edit changes a few extension strings and leaves the others sharing their text with the copy
    // held: only the strings between the unchanged head and the unchanged tail are read again.
    const QStringList& held = std::as_const(ext_);
    const qsizetype oldSize = built_ ? held.size() : 0;
    const qsizetype newSize = ext.size();
    auto same = [](const QString& a, const QString& b) { return a.constData() == b.constData() && a.size() == b.size(); };
    qsizetype head = 0;
    while (head < oldSize && head < newSize && same(held[head], ext[head])) ++head;
    qsizetype tail = 0;
    while (tail < oldSize - head && tail < newSize - head && same(held[oldSize - 1 - tail], ext[newSize - 1 - tail]))
        ++tail;

    QList<float> own(newSize);
    std::copy(own_.cbegin(), own_.cbegin() + head, own.begin());
    std::copy(own_.cend() - tail, own_.cend(), own.end() - tail);
    for (qsizetype i = head; i < newSize - tail; ++i) {
        float tempo = 0;
        bool found = false;
        // Most notes carry no tempo of their own: the whole text is searched before its fields are split.
        if (ext[i].contains(QLatin1StringView("tempo="))) ParseTempoField(ext[i], tempo, found);
        own[i] = found ? tempo : std::numeric_limits<float>::quiet_NaN();
    }
    own_ = std::move(own);
    ext_ = ext;
}

qint32 NoteTimeline::firstEndingAfter(double tick) const {
    // Ends are the starts of the following notes.
    const auto it = std::upper_bound(starts_.cbegin() + 1, starts_.cend(), tick,
                                     [](double t, qint64 end) { return t < double(end); });
    return qint32(it - (starts_.cbegin() + 1));
}

qint32 NoteTimeline::lastStartingBy(double tick) const {
    const auto it = std::upper_bound(starts_.cbegin(), starts_.cbegin() + count_, tick,
                                     [](double t, qint64 start) { return t < double(start); });
    return qint32(it - starts_.cbegin()) - 1;
}

qint32 NoteTimeline::noteAtPlayMs(double ms) const {
    if (!(ms > 0) && !(ms <= 0)) return -1;  // not a number
    // The first boundary at or after ms: the note before it holds ms unless ms lies on that boundary.
    const auto it = std::lower_bound(playBefore_.cbegin(), playBefore_.cend(), ms);
    const qint32 k = qint32(it - playBefore_.cbegin());
    if (k == 0 || k > count_ || !(*it > ms)) return -1;
    return k - 1;
}

double NoteTimeline::secondsOf(qint32 lo, qint32 hi) const {
    lo = std::max<qint32>(lo, 0);
    hi = std::min<qint32>(hi, count_ - 1);
    if (lo != secondsLow_ || hi != secondsHigh_) {
        double seconds = 0;
        for (qint32 i = lo; i <= hi; ++i) seconds += double(lengths_.value(i)) / double(tempos_[i]) / 32;
        seconds_ = seconds;
        secondsLow_ = lo;
        secondsHigh_ = hi;
    }
    return seconds_;
}

}  // namespace tova
