#include "render/RenderNotePlanner.h"

#include "core/DefaultEnvelope.h"
#include "core/NoteNames.h"
#include "core/Settings.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "render/MissingSampleMarks.h"
#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"
#include "song/PitchCurves.h"
#include "song/PitchText.h"
#include "song/Song.h"

#include <cmath>

namespace tova {
namespace {

// The option entries of a note whose key begins with "@", in list order.
QStringList atEntries(const QString& ext) {
    QStringList out;
    const QString options = NoteExtField(ext, ExtOptions);
    if (options.isEmpty()) return out;
    for (const QString& entry : options.split(OptionSeparator())) {
        if (entry.startsWith(u'@')) out << entry;
    }
    return out;
}

}  // namespace

bool RenderNotePlanner::sampleExists(const QString& voiceDir, const QString& name, const QString& extension) {
    const QString path = PathText::join(voiceDir, name + extension);
    const auto known = sampleFiles_.constFind(path);
    if (known != sampleFiles_.cend()) return *known;
    const bool exists = FileSystem::isFile(path);
    sampleFiles_.insert(path, exists);
    return exists;
}

float RenderNotePlanner::NoteLengthMs(qint32 ticks, float tempo) {
    return float(Vb::Int(double(ticks) / double(tempo) * 31250.0 + 0.5) * 0.001);
}

RenderNotePlanner::RenderNotePlanner(Song& song, qint32 first, MissingSampleMarks* marks)
    : song_(song), marks_(marks), timing_(song.Tempo) {
    tempo_ = song.Tempo;
    FindTempoAt(song, song.Tempo, first - 1, tempo_);
    nextTempo_ = tempo_;
    GetNoteTempo(song, first, nextTempo_);
    prevLength_ = first <= 0 ? 0.0f : NoteLengthMs(song.Lengths.at(first - 1), tempo_);
}

RenderNotePlan RenderNotePlanner::Plan(qint32 i) {
    const Settings& s = settings();
    Song& song = song_;
    const qint32 lastIndex = song.lastNote();
    RenderNotePlan p;
    p.index = i;
    p.ticks = song.Lengths.at(i);

    // Running tempo, start point and envelope of the note.
    QString env = DefaultEnvelope();
    float stp = 0;
    p.tempoBefore = tempo_;
    ParseNoteParamFields(song.NoteExt.at(i), tempo_, stp, env);
    GetNoteTempo(song, i + 1, nextTempo_);
    p.tempo = tempo_;
    const float tempo = tempo_;

    const float length = NoteLengthMs(song.Lengths.at(i), tempo);
    float nextPre = 0, nextOvl = 0;
    if (i + 1 <= lastIndex) {
        float nextStp = 0;
        GetNoteStartTime(tempo, song, i + 1, nextPre, nextOvl, nextStp);
        float nextLength = NoteLengthMs(song.Lengths.at(i + 1), nextTempo_);
        if (i + 2 <= lastIndex) {
            float pre2 = 0, ovl2 = 0, stp2 = 0;
            GetNoteStartTime(tempo, song, i + 2, pre2, ovl2, stp2);
            if (ovl2 < pre2) nextLength -= pre2 - ovl2;
        }
        if (nextOvl - nextPre > nextLength) nextOvl = nextPre + nextLength;
    }
    p.length = length;
    p.nextPre = nextPre;
    p.nextOvl = nextOvl;

    const QString lyric = TrimBlanks(song.Lyrics.at(i));
    if (IsRestLyric(lyric)) {
        p.rest = true;
        prevLength_ = length;
        return p;
    }

    // Sample and oto entry.
    QString name = lyric;
    name.remove(u'\r');
    name.remove(u'\n');
    const qint32 noteNum = song.NoteNums.at(i);
    name = ApplyPrefixMap(noteNum, name);
    QStringList oto = FindOtoAlias(name);
    if (s.CheckVoiceFile) {
        if (marks_) marks_->SetMissingSampleMark(i, false);
        if (!sampleExists(song.VoiceDir, name, QStringLiteral(".wav")) &&
            !sampleExists(song.VoiceDir, name, QStringLiteral(".aiff"))) {
            name = song.Lyrics.at(i);
            oto = FindOtoAlias(name);
            if (!sampleExists(song.VoiceDir, name, QStringLiteral(".wav")) &&
                !sampleExists(song.VoiceDir, name, QStringLiteral(".aiff")) && marks_)
                marks_->SetMissingSampleMark(i, true);
        }
    }
    // A name that climbs out of the voice folder or names a rooted path reads no file elsewhere (and
    // has no frequency table written beside one): the note has no sample.
    if (!PathText::staysInside(name)) {
        name.clear();
        oto.clear();
        if (marks_) marks_->SetMissingSampleMark(i, true);
    }
    QString sampleExt = QStringLiteral(".wav");
    if (!sampleExists(song.VoiceDir, name, sampleExt) && sampleExists(song.VoiceDir, name, QStringLiteral(".aiff")))
        sampleExt = QStringLiteral(".aiff");
    p.noSample = name.isEmpty() || !sampleExists(song.VoiceDir, name, sampleExt);
    p.name = name;
    p.sampleExt = sampleExt;

    p.offset = Vb::Val(oto.value(2));
    p.consonant = Vb::Val(oto.value(3));
    p.cutoff = Vb::Val(oto.value(4));
    const QStringList fields = SplitNoteExt(song.NoteExt.at(i));
    p.intensity = fields.at(ExtIntensity).isEmpty() ? QStringLiteral("100") : fields.at(ExtIntensity);
    p.modulation = fields.at(ExtModulation).isEmpty() ? QStringLiteral("100") : fields.at(ExtModulation);
    const QStringList timingParts = fields.at(ExtTiming).split(u':');
    const QString preText = timingParts.value(0), ovlText = timingParts.value(1), velText = timingParts.value(2);
    const float velocity = velText.isEmpty() ? 100.0f : float(Vb::Val(velText));
    float pre = float(Vb::Val(preText.isEmpty() ? oto.value(5) : preText));
    float ovl = float(Vb::Val(ovlText.isEmpty() ? oto.value(6) : ovlText));
    stp = float(Vb::Val(GetNoteOption(song.NoteExt.at(i), QStringLiteral("stp"))));

    const float factor = float(std::pow(2.0, 1.0 - double(velocity) / 100.0));
    pre *= factor;
    ovl *= factor;
    stp *= factor;
    if (prevLength_ > 0 && i > 0) AdjustPreutterance(prevLength_, pre, ovl, stp, IsRestLyric(song.Lyrics.at(i - 1)));

    const float effective = nextOvl < nextPre ? length - nextPre + nextOvl : length;
    if (ovl - pre > effective) ovl = pre + effective;
    prevLength_ = length;

    p.required = float(Vb::Int((double(pre) + length + stp - nextPre + nextOvl) / 50.0 + 1.5) * 50.0);
    p.sounding = double(pre) + double(length) - double(nextPre) + double(nextOvl);
    NormalizeEnvelope(env, int32_t(std::nearbyint(p.sounding)));
    QString pitchField = fields.at(ExtPitches);
    if (pitchField.contains(u'Q')) ParseLengthQ(pitchField, tempo);

    // Pitch curve and expression.
    if (song.Mode2) ComputeNotePitch(i, song, timing_);
    const QString expressionOption = GetNoteOption(song.NoteExt.at(i), QStringLiteral("expression"));
    if (!expressionOption.isEmpty()) {
        p.expression = EncodePitchRun(EncodePitchList(expressionOption));
        SetNoteOption(song.NoteExt[i], QStringLiteral("expression"), QString());
    }
    if (s.Mode2) {
        const QString pitches = GetNoteOption(song.NoteExt.at(i), QStringLiteral("pitches"));
        if (!pitches.isEmpty()) p.pitchText = EncodePitchText(pitches);
        SetNoteOption(song.NoteExt[i], QStringLiteral("pitches"), QString());
    } else {
        p.pitchText = EncodePitchText(pitchField);
    }

    // Flags and the envelope with its overlap marker filled in.
    QString flags = QString(fields.at(ExtFlags)).remove(u' ') + song.ProjectFlags;
    flags.replace(u'E', QStringLiteral("/E"));
    flags.replace(u'e', QStringLiteral("/e"));
    p.flags = flags;
    if (ovl != 0) {
        QStringList values = env.split(u' ');
        values.resize(11);
        values[7] = Vb::SingleText(ovl);
        while (!values.isEmpty() && values.back().isEmpty()) values.removeLast();
        env = values.join(u' ');
    } else {
        env.replace(u'%', u'0');
    }
    p.env = env;
    p.velocity = velocity;
    p.pre = pre;
    p.ovl = ovl;
    p.stp = stp;
    p.noteName = NoteNumToName(noteNum);
    // The digest ties the cache file to everything tool 2 is given.
    if (s.CacheEnable)
        p.cacheFileName = CacheFileName(i, name, p.noteName, p.required, CacheArgsDigest(p.tool2Arguments(song.VoiceDir)));
    p.userVariables = atEntries(song.NoteExt.at(i));
    p.patch = GetNoteOption(song.NoteExt.at(i), QStringLiteral("$patch"));
    p.direct = !GetNoteOption(song.NoteExt.at(i), QStringLiteral("$direct")).isEmpty();
    return p;
}

}  // namespace tova
