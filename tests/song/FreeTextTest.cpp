// Free text made safe for the record it enters: the note's undo line, its project-file section, an
// option list, a region list, a settings line or a preset record.
#include "song/FreeText.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

using U = FreeTextUse;

TEST(FreeText, EachRecordLosesExactlyWhatWouldSplitIt) {
    const struct {
        QString text;
        U use;
        QString safe;
    } cases[] = {
        {u"a\tb"_s, U::Lyric, u"a b"_s},
        {u"a\r\nb"_s, U::Lyric, u"a b"_s},       // a line break is one blank
        {u"a\rb\nc\x01"_s, U::Lyric, u"a b c "_s},
        {u"a=b"_s, U::Lyric, u"a b"_s},          // the file reads a lyric up to a second "="
        {u"a,b|c"_s, U::Lyric, u"a,b|c"_s},      // a lyric keeps them
        {u"C:\\new"_s, U::Lyric, u"C:/new"_s},   // backslash + "n" ends a line of the file
        {u"C:\\old\\"_s, U::Lyric, u"C:\\old\\"_s},
        {u"\\\\n"_s, U::Lyric, u"\\/n"_s},
        {u"C:\\new"_s, U::Label, u"C:/new"_s},
        {u"  a=b, c  "_s, U::Label, u"a b  c"_s},
        {u"a|b"_s, U::Label, u"a|b"_s},
        {u"a|b=c,d\\ne"_s, U::RegionName, u"a b c d/ne"_s},
        {u"x=1,2\t3"_s, U::OptionValue, u"x 1 2 3"_s},
        {u"B50\tg-5=1"_s, U::Flags, u"B50 g-5 1"_s},
        {u"a,b"_s, U::Alias, u"a b"_s},
        {u"k=v\\n\r\n"_s, U::Line, u"k=v\\n "_s},  // the reader takes the rest of the line
        {u"a|b=c\t"_s, U::PresetField, u"a b=c "_s},
        {u"かき"_s, U::Lyric, u"かき"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QString safe = SafeFreeText(c.text, c.use);
        EXPECT_EQ(safe, c.safe);
        EXPECT_EQ(SafeFreeText(safe, c.use), safe);  // safe text stays as it is
    }
}

TEST(FreeText, LongTextsAreCutToWhatTheFileReadsBack) {
    const QString longText(20000, u'あ');
    EXPECT_EQ(SafeFreeText(longText, U::Lyric).size(), LyricTextLimit);
    EXPECT_EQ(SafeFreeText(longText, U::Flags).size(), FlagsTextLimit);
    EXPECT_EQ(SafeFreeText(longText, U::Label).size(), LabelTextLimit);
    EXPECT_EQ(SafeFreeText(longText, U::OptionValue).size(), 20000);
    // A cut never leaves half of a character outside the basic plane.
    const QString wide = QString(LyricTextLimit - 1, u'a') + u"😀"_s;
    EXPECT_EQ(SafeFreeText(wide, U::Lyric), QString(LyricTextLimit - 1, u'a'));
    // A label cut before a blank has no blank at its end.
    EXPECT_EQ(SafeFreeText(QString(LabelTextLimit - 1, u'x') + u"  y"_s, U::Label), QString(LabelTextLimit - 1, u'x'));
}

// A safe lyric and label go through the project file's note section unchanged; the raw texts did not.
TEST(FreeText, SafeTextsSurviveTheNoteSection) {
    const QString hostile[] = {u"a\tb"_s, u"a\r\nb"_s, u"C:\\new"_s, u"a=b"_s, u"a,b"_s, u"a|b"_s,
                               u"1e999"_s, u"nan"_s, QString(20000, u'x')};
    for (const QString& text : hostile) {
        SCOPED_TRACE(text.left(20).toStdString());
        QString ext = u"\t\t\t\t\t"_s;
        const QString label = SafeFreeText(text, U::Label);
        SetNoteOption(ext, u"label"_s, label);
        const QString lyric = SafeFreeText(text, U::Lyric);
        const QString section = FormatNoteSection(u"0000"_s, 480, lyric, 40, ext);
        qint32 length = 0, noteNum = 0;
        QString readLyric, readExt;
        ParseNoteSection(section, length, readLyric, noteNum, readExt);
        EXPECT_EQ(readLyric, lyric);
        EXPECT_EQ(GetNoteOption(readExt, u"label"_s), label);
        EXPECT_EQ(SplitNoteExt(readExt).size(), ExtFieldCount);
    }
}

}  // namespace
