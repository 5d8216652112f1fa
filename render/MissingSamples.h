#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tova {

struct RenderNotePlan;
class Song;

// The sung notes of one render that found no sample file (a lyric the voice bank lacks, a prefix-map
// suffix it lacks): they come out silent, so the finish message says how many and which lyrics.
class MissingSamples {
public:
    // Counts the plans that have no sample; `song` gives the lyrics as the user wrote them.
    void add(const Song& song, const RenderNotePlan& plan);
    void clear() { count_ = 0; lyrics_.clear(); }

    qint32 count() const { return count_; }
    const QStringList& lyrics() const { return lyrics_; }
    // "" when every note had its sample; else a sentence naming the count and the first distinct lyrics.
    QString text() const;

    // Distinct lyrics named in the text before "…".
    static constexpr qsizetype kShownLyrics = 10;

private:
    qint32 count_ = 0;
    QStringList lyrics_;  // distinct, in order of first use
};

}  // namespace tova
