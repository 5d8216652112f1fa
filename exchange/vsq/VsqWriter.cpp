#include "exchange/vsq/VsqWriter.h"

#include "exchange/midi/SmfBytes.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfWriter.h"
#include "platform/Cp932.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <cmath>

namespace tova {

namespace {

constexpr qint64 LeadIn = 1920;  // one 4/4 measure at 480 ticks a beat
constexpr qsizetype TextBytesPerEvent = 119;

// The kana table: "," followed by entries of a key and its symbols in brackets.
const QString& phoneticTable() {
    static const QString table =
        QStringLiteral(",") +
        QStringLiteral(
            ",あ[a],ぁ[h\\ a],ぃ[h\\ i],い[i],いぇ[j e],ぅ[h\\ M],う[M],うぃ[w i],うぇ[w e],え[e],ぇ[h\\ e],ぉ[h\\ o],"
            "お[o],が[g a],か[k a],か゜[N a],ぎ[g' i],き[k' i],き゜[N' i],き゜ぇ[N' e],ぎゃ[g' a],きゃ[k' a],"
            "き゜ゃ[N' a],ぎゅ[g' M],きゅ[k' M],き゜ゅ[N' M],ぎょ[g' o],きょ[k' o],き゜ょ[N' o],ぐ[g M],く[k M],"
            "く゜[N M],げ[g e],け[k e],け゜[N e],ご[g o],こ[k o],こ゜[N o],ざ[dz a],さ[s a],じ[dZ i],し[S i],"
            "じぇ[dZ e],しぇ[S e],じゃ[dZ a],しゃ[S a],じゅ[dZ M],しゅ[S M],じょ[dZ o],しょ[S o],ず[dz M],す[s M],"
            "ずぃ[dz i],すぃ[s i],ぜ[dz e],せ[s e],ぞ[dz o],そ[s o],だ[d a],た[t a],ぢ[d i],ち[tS i],ちぇ[tS e],"
            "ちゃ[tS a],ちゅ[tS M],ちょ[tS o],づ[d M],つ[ts M],つぃ[ts i],で[d e],て[t e],でぃ[d' i],でゅ[d' M],"
            "ど[d o],と[t o],な[n a],に[J i],にぇ[J e],にゃ[J a],にゅ[J M],にょ[J o],ぬ[n M],ね[n e],の[n o],") +
        QStringLiteral(
            "ば[b a],は[h a],ぱ[p a],び[b' i],ひ[C i],ぴ[p' i],びぇ[b' e],ひぇ[C e],ぴぇ[p' e],びゃ[b' a],ひゃ[C a],"
            "ぴゃ[p' a],びゅ[b' M],ひゅ[C M],ぴゅ[p' M],びょ[b' o],ひょ[C o],ぴょ[p' o],ぶ[b M],ぷ[p M],ふ[p\\ M],"
            "ふぁ[p\\ a],ふぃ[p\\' M],ふぇ[p\\ e],ふぉ[p\\ o],ふゅ[p\\' M],べ[b e],へ[h e],ぺ[p e],ぼ[b o],ほ[h o],"
            "ぽ[p o],ま[m a],み[m' i],みぇ[m' e],みゃ[m' a],みゅ[m' M],みょ[m' o],む[m M],め[m e],も[m o],や[j a],"
            "ゆ[j M],よ[j o],ら[4 a],り[4' i],りゃ[4' a],りゅ[4' M],りょ[4' o],る[4 M],れ[4 e],ろ[4 o],わ[w a],"
            "を[w o],ん[N],ん[n],ん[N'],ん[N\\],吸1[br1],吸2[br2],吸3[br3],吐1[br4],吐2[br5]");
    return table;
}

QString fourDigits(qint64 n) { return QStringLiteral("%1").arg(n, 4, 10, QChar(u'0')); }

// The file tick of an internal position after the lead-in. Positions, not lengths, are rounded, so that
// every event lies within half a file tick of where the song has it.
qint64 fileTick(qint64 position) { return LeadIn + SmfFileTick(position); }

void appendText(QByteArray& buffer, const QString& text) {
    SmfEncodeVarLen(buffer, 0);
    SmfAppendMetaEvent(buffer, 0x03, text);
}

QByteArray trackChunk(const QByteArray& events) {
    QByteArray out("MTrk");
    SmfAppendBE32(out, qint32(events.size()));
    return out + events;
}

}  // namespace

QString LyricToVsqPhonetic(const QString& lyric) {
    const QString& table = phoneticTable();
    const qsizetype at = table.indexOf(u',' + lyric + u'[');
    if (at < 0) return QStringLiteral("a");
    const qsizetype from = at + lyric.size() + 2;
    const qsizetype end = table.indexOf(u']', from);
    return table.mid(from, end - from);
}

void AppendVsqTextEvents(QByteArray& track, const QByteArray& text) {
    qint64 c = 0;
    for (qsizetype from = 0; from < text.size(); from += TextBytesPerEvent, ++c) {
        const QByteArray part = QByteArray("DM:") + fourDigits(c).toLatin1() + ':' + text.mid(from, TextBytesPerEvent);
        SmfAppendBytes(track, QByteArray("\x00\xFF\x01", 3));
        SmfEncodeVarLen(track, qint32(part.size()));
        SmfAppendBytes(track, part);
    }
}

QString VsqSequenceText(const NoteArrays& notes) {
    const qint32 count = notes.noteCount();
    QString events, records, handles;
    qint64 position = 0;
    qint64 tick = LeadIn;
    qint32 record = 1;
    for (qint32 i = 0; i < count; ++i) {
        const QString& lyric = notes.Lyrics.at(i);
        const qint32 length = notes.Lengths.value(i);
        if (!IsRestLyric(lyric)) {
            const qint32 noteNum = notes.NoteNums.value(i) + 24;
            if (noteNum < 0 || noteNum > 127) throw SmfNoteRangeError(i);
            const QString id = fourDigits(record);
            events += QString::number(tick) + QStringLiteral("=ID#") + id + u'\n';
            QString dynamics = NoteExtField(notes.NoteExt.value(i), ExtIntensity);
            if (dynamics.isEmpty()) dynamics = QStringLiteral("100");
            else if (Vb::Val(dynamics) > 127) dynamics = QStringLiteral("127");
            records += QStringLiteral("[ID#") + id + QStringLiteral("]\nType=Anote\nLength=") +
                       Vb::DoubleText(double(length) / 4.0) + QStringLiteral("\nNote#=") + QString::number(noteNum) +
                       QStringLiteral("\nDynamics=") + dynamics +
                       QStringLiteral("\nPMBendDepth=10\nPMBendLength=5\nPMbPortamentoUse=0\nDEMdecGainRate=0\n"
                                      "DEMaccent=0\nLyricHandle=h#") +
                       id + u'\n';
            handles += QStringLiteral("[h#") + id + QStringLiteral("]\nL0=\"") + lyric + QStringLiteral("\",\"") +
                       LyricToVsqPhonetic(lyric) + QStringLiteral("\",0.000000,64,0,0\n");
            ++record;
        }
        position += length;
        tick = fileTick(position);
    }
    const QString head = QStringLiteral(
        "[Common]\nVersion=DSB301\nName=メイン\nColor=181,162,123\nDynamicsMode=1\nPlayMode=1\n[Master]\n"
        "PreMeasure=1\n[Mixer]\nMasterFeder=0\nMasterPanpot=0\nMasterMute=0\nOutputMode=0\nTracks=1\n"
        "Feder0=0\nPanpot0=0\nMute0=0\nSolo0=0\n[EventList]\n0=ID#0000\n");
    const QString end = QString::number(tick) + QStringLiteral("=EOS\n[ID#0000]\nType=Singer\nIconHandle=h#0000\n");
    const QString singer = QStringLiteral(
        "[h#0000]\nIconID=$07010000\nIDS=Tova\nOriginal=0\nCaption=\nlength=1\nLanguage=0\nProgram=0\n");
    QString out;
    out.reserve(head.size() + events.size() + end.size() + records.size() + singer.size() + handles.size());
    out += head;
    out += events;
    out += end;
    out += records;
    out += singer;
    out += handles;
    return out;
}

QByteArray VsqFileBytes(float tempo, const NoteArrays& notes) {
    // ---- the master track: tempo events on the ticks of their notes (after the lead-in) ----
    QByteArray master;
    appendText(master, QStringLiteral("Master Track"));
    SmfAppendBytes(master, QByteArray("\x00\xFF\x51\x03", 4));
    SmfAppendBE24(master, SmfTempoValue(double(tempo)));
    SmfAppendBytes(master, QByteArray("\x00\xFF\x58\x04\x04\x02\x18\x08", 8));
    qint64 position = 0, tick = LeadIn, last = 0;
    for (qint32 i = 0; i < notes.NoteExt.size(); ++i) {
        const double t = SmfOptionTempo(notes.NoteExt.at(i));
        if (t > 0) {
            if (tick - last > 0x0FFFFFFF || tick < last) throw SmfFormatError();
            SmfEncodeVarLen(master, qint32(tick - last));
            SmfAppendBytes(master, QByteArray("\xFF\x51\x03", 3));
            SmfAppendBE24(master, SmfTempoValue(t));
            last = tick;
        }
        position += notes.Lengths.value(i);
        tick = fileTick(position);
    }
    SmfAppendBytes(master, QByteArray("\x00\xFF\x2F\x00", 4));

    // ---- the voice track: the sequence text cut into "DM:" events ----
    const QByteArray text = Cp932::encode(VsqSequenceText(notes));
    QByteArray voice;
    appendText(voice, QStringLiteral("Voice1"));
    AppendVsqTextEvents(voice, text);
    SmfAppendBytes(voice, QByteArray("\x00\xB0\x63\x60\x00\xB0\x62\x00\x00\xB0\x06\x00\x00\xB0\x26\x00"
                                     "\x00\xB0\x62\x01\x00\xB0\x06\x00\x00\xB0\x63\x35\x00\xB0\x62\x02"
                                     "\x00\xB0\x06\x00\x00\xFF\x2F\x00",
                                     40));

    QByteArray out("MThd");
    SmfAppendBE32(out, 6);
    SmfAppendBE16(out, 1);
    SmfAppendBE16(out, 2);
    SmfAppendBE16(out, 480);
    return out + trackChunk(master) + trackChunk(voice);
}

void WriteVsqFile(float tempo, const NoteArrays& notes, const QString& path) {
    SaveExchangeFile(path, VsqFileBytes(tempo, notes));
}

}  // namespace tova
