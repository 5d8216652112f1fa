#include "MainWindowRig.h"
#include "RegisteredWindows.h"

#include "core/CaptionFiles.h"
#include "core/LocalizableWindow.h"
#include "core/Utf16Text.h"
#include "core/WindowRegistry.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The caption export writes a file for every window of the program, and a caption file changed by a
// translator changes that window: its title and the control its first caption line names.
TEST(CaptionExport, EveryRegisteredWindowIsExportedAndTranslated) {
    MainWindowRig rig;
    rig.form = std::make_unique<Form1>(rig.ports);  // the main window is loaded, not loadable
    RegisteredWindows windows;

    const QStringList names = WindowRegistry::names();
    for (const char* expected : {"Form1", "Form3", "frmOptions", "frmNoteProperty", "frmDefaultProperty",
                                 "frmVoicesetManager", "frmVoiceProperty", "frmSelectTrack", "frmPluginExecute",
                                 "frmVolumeFunctionizer", "Form2", "frmMode2", "frmNotePropEx", "frmPrefixmap",
                                 "frmSurffixBroker", "frmFromList", "frmEditFreqList", "frmOtoEdit", "frmFreqGen"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected;

    ExportAllCaptionFiles();
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = CaptionFilePath(name, LabelButtonStringKind.toString());
        ASSERT_TRUE(QFile::exists(path));
        QStringList lines = ReadUtf16Lines(readFile(path));
        const qsizetype title = lines.indexOf(QRegularExpression(u"Caption=.*"_s));
        ASSERT_GE(title, 0);
        // A window without a title of its own (it shows the name of what it edits) keeps it empty.
        const bool titled = lines[title] != u"Caption=\"\""_s;
        if (titled) lines[title] = u"Caption=\"訳 "_s + name + u'"';
        // The first control caption of the file, when the window has one.
        int alias = -1;
        for (QString& line : lines) {
            const qsizetype dot = line.indexOf(u".Caption=");
            if (dot == 4) {
                alias = line.left(4).toInt();
                line = line.left(dot) + u".Caption=\"訳語\""_s;
                break;
            }
        }
        writeFile(path, Utf16FileBytes(lines));

        std::unique_ptr<LocalizableWindow> loaded;
        LocalizableWindow* w = WindowRegistry::find(name);
        if (w) {
            ApplyLabelButtonStrings(*w);
        } else {
            loaded = WindowRegistry::load(name);  // loading applies the caption files
            w = loaded.get();
        }
        ASSERT_NE(w, nullptr);
        if (titled) EXPECT_EQ(w->caption(), u"訳 "_s + name);
        if (alias >= 0) {
            ASSERT_GT(w->controlCount(), alias);
            EXPECT_EQ(w->control(alias)->caption(), u"訳語"_s);
        }
    }
}

}  // namespace
