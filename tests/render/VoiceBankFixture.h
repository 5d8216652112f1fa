#pragma once

#include "core/ProgramFolderFixture.h"
#include "core/Processes.h"
#include "core/WaveFixtures.h"
#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "render/OtoLoadHost.h"
#include "render/VoiceBankList.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

namespace tova::test {

// A status bar and report window that only record what they were asked to show.
class RecordingOtoHost : public OtoLoadHost {
public:
    QStringList statusTexts;
    QStringList reports;
    void SetOtoStatusText(const QString& text) override { statusTexts << text; }
    void ShowOtoReport(const QString& report) override { reports << report; }
};

// Starts every test from an empty voice-bank state in a fresh program folder, and builds the fixture
// bank on request.
class VoiceBankFixture : public ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        setOtoLoadHost(nullptr);
        ClearOtoTable();
        OtoIndex().Clear();
        VoiceBankList().clear();
        VoiceBankIndex().Clear();
    }
    void TearDown() override {
        if (tempFolderSet_) TempFolder = savedTempFolder_;
        setOtoLoadHost(nullptr);
        ClearOtoTable();
        OtoIndex().Clear();
        ProgramFolderFixture::TearDown();
    }

    // Points TempFolder at "tmp" in the program folder (made here) until the test ends.
    void useTempFolder() {
        if (!tempFolderSet_) savedTempFolder_ = TempFolder;
        tempFolderSet_ = true;
        TempFolder = file(QStringLiteral("tmp"));
        QDir().mkpath(TempFolder);
    }

    // A sample file of a few frames.
    static QByteArray tinyWave() {
        wave::WavSpec s;
        s.data = wave::pcm16({0, 1000, -1000, 0});
        return wave::makeWav(s);
    }
    static QByteArray tinyAiff() {
        wave::AiffSpec s;
        s.frames = 2;
        s.sound = wave::pcm16be({0, 500});
        return wave::makeAiff(s);
    }
    void put(const QString& relative, const QByteArray& bytes) const { writeFile(file(relative), bytes); }

    // The bank "bank" in the program folder: an oto.ini in CP932 (written byte by byte) with
    // duplicates, damaged lines and a "\" sub-folder entry, a sub-folder with its own oto.ini (spelt
    // "Oto.ini"), sub-folders without one, a deeper oto.ini that must not be read, a prefix.map, and
    // sample files whose letter case differs from what oto.ini says.
    QString makeBank() const {
        // あ 82A0  い 82A2  う 82A4  え 82A6  お 82A8  か 82A9  し 82B5  す 82B7  そ 82BB  や 82E2
        // ソ 835C (its second byte is the backslash byte)
        const QByteArray oto =
            "a.wav=\x82\xa0,10,60,-100,50,20\r\n"
            "A_low.wav=\x82\xa0,0,40,0,80,30\r\n"
            "a.wav=\x82\xa2,12,70,0,60,25\r\n"
            "ka.wav=\x82\xa9,5,0,-50,30,40\r\n"
            "empty.wav=\r\n"
            "no equals sign here\r\n"
            "x.wav=a=b\r\n"
            "blank.wav=\x82\xa4,,,,,\r\n"
            "short.wav=\x82\xa6,1,2\r\n"
            "zero.wav=\x82\xa8,0,0.0,0,20,10\r\n"
            "\x83\x5c.wav=\x82\xbb,0,30,0,20,5\r\n"
            "SUB\\su.wav=\x82\xb7,0,50,0,40,10\r\n"
            "y.aiff=\x82\xe2,0,30,0,20,10\r\n"
            "\r\n";
        put(QStringLiteral("bank/oto.ini"), oto);
        put(QStringLiteral("bank/sub/Oto.ini"),
            "su.wav=\x82\xb7,1,51,0,41,11\r\n"
            "si.wav=\x82\xb5,0,20,0,30,5\r\n");
        put(QStringLiteral("bank/sub/deeper/oto.ini"), "deep.wav=\x82\xa0,0,0,0,0,0\r\n");
        put(QStringLiteral("bank/prefix.map"),
            "C4\t\tL\r\n"
            "D4\tp\tH\r\n"
            "C9999\tz\tz\r\n"
            "E4\tq\r\n"
            "\r\n"
            "D4\tr\tR\r\n");
        for (const char* name : {"a.wav", "a_low.WAV", "ka.wav", "short.wav", "sub/Su.WAV", "sub/si.wav",
                                 "waves/x.wav", "sub/deeper/deep.wav"})
            put(QStringLiteral("bank/") + QString::fromLatin1(name), tinyWave());
        put(QStringLiteral("bank/") + QStringLiteral("ソ.wav"), tinyWave());
        for (const char* name : {"y.aiff", "waves/y.aiff", "aiffonly/z.aiff"})
            put(QStringLiteral("bank/") + QString::fromLatin1(name), tinyAiff());
        return file(QStringLiteral("bank"));
    }

private:
    QString savedTempFolder_;
    bool tempFolderSet_ = false;
};

}  // namespace tova::test
