// Writes the starting corpus of the plug-in reply fuzz target into the folder given as argument: the
// selection bytes followed by replies of every kind of section.
#include <QDir>
#include <QFile>

#include <cstdio>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    std::vector<std::pair<const char*, QByteArray>> seeds = {
        {"delete", QByteArray("\x01\x03") + "[#DELETE]\r\n[#DELETE]\r\n"},
        {"insert-end", QByteArray("\x05\x05") + "[#0005]\r\n[#INSERT]\r\nLength=240\r\nLyric=ka\r\nNoteNum=62\r\n[#0006]\r\n"},
        {"numbered-past", QByteArray("\x01\x02") + "[#0001]\r\n[#0002]\r\n[#0003]\r\nLyric=new\r\n"},
        {"prev-next", QByteArray("\x02\x02") +
                          "[#SETTING]\r\nTempo=90\r\n[#PREV]\r\nLyric=P\r\nNoteNum=70\r\n[#0002]\r\nLength=100\r\n"
                          "PreUtterance=12.5\r\nVoiceOverlap=3\r\nVelocity=150\r\nIntensity=80\r\nModuration=20\r\n"
                          "PBType=5\r\nPiches=0Q120,1,2,3\r\nFlags=g-5B40\r\nEnvelope=0,5,35,0,100,100,0\r\n"
                          "Label=a\r\nTempo=140\r\nStartPoint=5\r\nPBS=-40;0\r\nPBW=80\r\nVBR=65,180,35,20,20,0,0\r\n"
                          "[#NEXT]\r\nLyric=N\r\n"},
        {"control", QByteArray("\x00\x07", 2) + "[#0000]\r\nLyric=a\tb\x01\r\nLength=-5\r\nNoteNum=9999\r\n"},
        {"cp932", QByteArray("\x03\x01") + "[#0001]\r\nLyric=\x82\xa0\x5c\r\n[#INSERT]\r\nLyric=\x83\x5c\r\n"},
    };
    // Many option lines on one note and on an inserted one, with repeated keys.
    QByteArray options = QByteArray("\x00\x00", 2) + "[#0000]\r\n";
    for (int k = 0; k < 400; ++k) {
        options += "@o" + QByteArray::number(k % 120) + "=v" + QByteArray::number(k) + "\r\n";
        if (k % 9 == 0) options += "PBS=-" + QByteArray::number(k) + ";0\r\nLabel=" + QByteArray::number(k) + "\r\n";
        if (k == 200) options += "[#INSERT]\r\nLyric=i\r\n";
    }
    seeds.push_back({"options", options});
    for (const auto& [name, bytes] : seeds) {
        QFile f(folder + u'/' + QString::fromLatin1(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    return 0;
}
