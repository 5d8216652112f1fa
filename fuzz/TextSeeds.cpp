// Writes the starting corpora of the text-file fuzz targets: <folder>/projectfile, pitchtext,
// renderbatch, voicebank and settings, each a few small files of the forms the program writes and reads.
#include "exchange/HostileBatch.h"

#include "platform/Cp932.h"
#include "song/NoteArrays.h"
#include "song/PitchText.h"
#include "song/ProjectFile.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace tova;

namespace {

void put(const QString& folder, const char* name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    QFile f(folder + u'/' + QString::fromLatin1(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::fprintf(stderr, "cannot write %s\n", name);
}

QByteArray utf16le(const QString& text) {
    QByteArray out("\xff\xfe", 2);
    for (QChar c : text) out.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return out;
}

QByteArray cp932Lines(const QStringList& lines) { return Cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);

    // Project files: a song with every kind of note line, and an empty one.
    ProjectSettings s;
    s.ProjectName = QStringLiteral("うた");
    s.VoiceDir = QStringLiteral("%VOICE%cantu");
    s.OutFile = QStringLiteral("song.wav");
    s.Tool1 = QStringLiteral("catena");
    s.Tool2 = QStringLiteral("vorsa");
    s.Flags = QStringLiteral("g-5");
    s.Mode2 = true;
    NoteArrays notes;
    notes.resizeNotes(3);
    notes.Lyrics = {QStringLiteral("あ"), QStringLiteral("R"), QStringLiteral("か")};
    notes.Lengths = {1920, 480, 960};
    notes.NoteNums = {36, 36, 40};
    notes.NoteExt = {QStringLiteral("10:5:120\t90\t-10\t0Q133.5 5 5\tB40\tenv=0 10 30 0 90 100 0\\n@foo=1\\nlabel=a b"),
                     QStringLiteral("::\t\t\t-5 10 20000\t\tPBS=-40\\nPBW=80\\nVBR=65 180 35 20 20 0 0"),
                     QStringLiteral("\t100\t0\t\t\ttempo=100\\nstp=5.5")};
    const QString projectFolder = root + QStringLiteral("/projectfile");
    put(projectFolder, "song.tvx", Cp932::encode(ProjectFileText(s, notes)));
    put(projectFolder, "empty.tvx", Cp932::encode(ProjectFileText(ProjectSettings{}, NoteArrays{})));
    // A note with many option lines: distinct and repeated keys, known options set again and again,
    // keys without "=", entries split by the two characters backslash and "n" inside a line.
    QByteArray options = "[#SETTING]\r\nTempo=120\r\n[#0000]\r\nLength=480\r\nLyric=a\r\nNoteNum=60\r\n";
    for (int k = 0; k < 400; ++k) {
        options += "@o" + QByteArray::number(k % 150) + "=v" + QByteArray::number(k) + "\r\n";
        if (k % 7 == 0) options += "PBW=" + QByteArray::number(k) + ",1\r\nLabel=l" + QByteArray::number(k) + "\r\n";
        if (k % 11 == 0) options += "$x\\n@y=" + QByteArray::number(k) + "\\nTempo=1" + QByteArray::number(k % 50) + "\r\n";
        if (k % 13 == 0) options += "@bare\r\nEnvelope=0,5,35,0,100,100,0\r\nStartPoint=" + QByteArray::number(k) + "\r\n";
    }
    options += "[#TRACKEND]\r\n";
    put(projectFolder, "options.tvx", options);

    // Pitch text and pitch lists.
    const QString pitchFolder = root + QStringLiteral("/pitchtext");
    put(pitchFolder, "encoded", EncodePitchText(QStringLiteral("0Q120 5 5 5 5 -10 -10 300 2047 -2048"), true).toUtf8());
    put(pitchFolder, "runs", QByteArray("!120 AA#10#//#3#gA"));
    put(pitchFolder, "list", QByteArray("-50 0 12.5 -3000 4000"));

    // Render batches: the hostile one (a few notes) and a written one with rests and variables.
    const QString batchFolder = root + QStringLiteral("/renderbatch");
    put(batchFolder, "hostile.bat", cp932Lines(test::HostilePitchBatch(3)));
    put(batchFolder, "song.bat",
        cp932Lines({QStringLiteral("@rem project=うた"), QStringLiteral("@set tempo=125.5"), QStringLiteral("@set oto=/v/bank"),
                    QStringLiteral("@set tool=/p/catena"), QStringLiteral("@set vorsa=/p/vorsa"), QStringLiteral("@set output=out.wav"),
                    QStringLiteral("@set flag=\"B40E\""), QStringLiteral("@set env=0 5 35 0 100 100 0"), QStringLiteral("@set stp=0"),
                    QStringLiteral("\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 480@125.50+0.0 0 0"),
                    QStringLiteral("@set params=100 0 !125.5 AA#3#BA"), QStringLiteral("@set flag=\"g-5/E\""),
                    QStringLiteral("@set env=0 5 35 0 100 100 0 10 5 5 5"), QStringLiteral("@set vel=120"),
                    QStringLiteral("@set foo=bar"),
                    QStringLiteral("call %helper% \"%oto%\\a.wav\" C4 500 60 0 600 0 0 0 1"),
                    QStringLiteral("@set pitches=0,5,5"), QStringLiteral("call %helper% \"%oto%\\ka.wav\" D4 300 40 0 400 0 0 0 2")}));

    // Voice-bank files: oto.ini, prefix.map and character.txt between NUL bytes.
    const QByteArray oto = Cp932::encode(QStringLiteral("a.wav=あ,10,60,-100,50,20\r\nsub\\ka.wav=か,5,0,-50,30,40\r\nx.wav=\r\n"));
    const QByteArray prefix = Cp932::encode(QStringLiteral("C4\t\t↑\r\nB3\tlo_\t\r\n"));
    const QByteArray character = Cp932::encode(QStringLiteral("name=声\r\nimage=a.bmp\r\nsample=a.wav\r\nauthor=me\r\n"));
    put(root + QStringLiteral("/voicebankfiles"), "bank", oto + '\0' + prefix + '\0' + character);

    // The program's own files: setting.ini, a preset ini, message.txt (UTF-16LE) and plugin.txt.
    const QByteArray setting = Cp932::encode(QStringLiteral(
        "OtoList0=声,/v/a\r\nCacheEnable=1\r\nCacheDeleteSize=500\r\nTool1Path=/p/catena\r\nHistory1=/p/a.tvx\r\n"
        "COLOR_BACK=&HFFFFFF\r\nMainWindow=10,10,800,600\r\nAcceptedTool1=/t/x\r\nMode2PBS=-40\r\nDefaultVolume=100\r\n"));
    const QByteArray preset = Cp932::encode(QStringLiteral("a=1\r\nb=x=y\r\n"));
    const QByteArray message = utf16le(QStringLiteral("# c\r\n{1}を作成しました。\t\"{1} made\"\r\nx\ty\tz\r\n"));
    const QByteArray plugin = Cp932::encode(QStringLiteral("name=p\r\nexecute=p.exe\r\ntype=editor\r\nshell=use\r\n"));
    put(root + QStringLiteral("/settingsfiles"), "files", setting + '\0' + preset + '\0' + message + '\0' + plugin);
    return 0;
}
