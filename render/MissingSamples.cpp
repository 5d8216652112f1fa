#include "render/MissingSamples.h"

#include "core/MessageTable.h"
#include "render/RenderNotePlan.h"
#include "song/Song.h"

namespace tova {

void MissingSamples::add(const Song& song, const RenderNotePlan& plan) {
    if (plan.rest || !plan.noSample) return;
    ++count_;
    const QString lyric = song.Lyrics.value(plan.index);
    if (!lyrics_.contains(lyric)) lyrics_.append(lyric);
}

QString MissingSamples::text() const {
    if (count_ == 0) return QString();
    QStringList shown = lyrics_.mid(0, kShownLyrics);
    for (QString& lyric : shown) lyric = u'"' + lyric + u'"';
    QString list = shown.join(QStringLiteral(", "));
    if (lyrics_.size() > kShownLyrics) list += QStringLiteral(", …");
    return GetMessage(QStringLiteral("音声ファイルのないノートが{1}個あり、無音になりました: {2}"), QString::number(count_),
                      list);
}

}  // namespace tova
