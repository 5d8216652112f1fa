#include "../exchange/ExchangeFakes.h"

#include "core/Settings.h"
#include "mainwindow/ui/Form3.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

struct Form3Fixture : ::testing::Test {
    QTemporaryDir dir;
    QString program;
    FakeVoiceBank voices;
    ScopedFakePorts ports;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = dir.filePath(u"prog"_qs);
        QDir().mkpath(program + u"/voice/cantu"_qs);
        writeFile(program + u"/catena"_qs, "#!/bin/sh\n");
        QFile::setPermissions(program + u"/catena"_qs, QFile::ReadOwner | QFile::ExeOwner);
        SystemPaths::setProgramFolder(program);
        settings() = Settings{};
        voices.banks = {u"カントゥ\t"_qs + program + u"/voice/cantu"_qs, u"ない\t/nowhere/bank"_qs};
    }
    void TearDown() override {
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
    ProjectSettingsValues given() const {
        return {u"新規プロジェクト"_qs, u"newfile.wav"_qs, program + u"/voice/cantu"_qs, QString(),
                program + u"/catena"_qs, program + u"/missing"_qs, dir.filePath(u"c.cache"_qs), u"B50"_qs};
    }
};

// Number of pixels of a widget's picture that are strongly red, and that are dark (text).
std::pair<int, int> redAndDark(QWidget* w) {
    const QImage img = w->grab().toImage();
    int red = 0, dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
            if (c.red() < 80 && c.green() < 80 && c.blue() < 80) ++dark;
        }
    return {red, dark};
}

TEST_F(Form3Fixture, ShowsTheProjectValuesWithRedAndBlackToolPaths) {
    Form3 form(voices, nullptr, nullptr);
    form.load(given());
    form.show();
    EXPECT_EQ(form.windowTitle(), u"プロジェクトの設定"_qs);
    EXPECT_EQ(form.txtProjectName->text(), u"新規プロジェクト"_qs);
    EXPECT_EQ(form.txtTool1Path->text(), u"catena"_qs);
    EXPECT_EQ(form.txtTool2Path->text(), u"missing"_qs);
    EXPECT_EQ(form.lbOtoFolder->text(), u"voice/cantu"_qs);
    EXPECT_EQ(form.cboVoiceName->currentText(), u"カントゥ"_qs);
    EXPECT_FALSE(form.cmdDeleteCache->isEnabled());
    EXPECT_EQ(form.width(), 6600 / 15);
    EXPECT_EQ(form.cmdOK->geometry(), QRect(3480 / 15, 4080 / 15, 1335 / 15, 375 / 15));

    // Tool 2 is red, tool 1 and the folder black.
    EXPECT_GT(redAndDark(form.txtTool2Path).first, 10);
    EXPECT_EQ(redAndDark(form.txtTool1Path).first, 0);
    EXPECT_GT(redAndDark(form.txtTool1Path).second, 10);
    EXPECT_EQ(redAndDark(form.lbOtoFolder).first, 0);

    // Choosing the listed bank whose folder is missing turns the folder red.
    form.cboVoiceName->setCurrentIndex(1);
    emit form.cboVoiceName->activated(1);
    EXPECT_EQ(form.lbOtoFolder->text(), u"/nowhere/bank"_qs);
    EXPECT_GT(redAndDark(form.lbOtoFolder).first, 10);

    // The menu holds one checked entry per bank.
    QStringList entries;
    for (QAction* a : form.mnGen->actions())
        if (a->objectName() == u"mnVoice") entries << a->text() + (a->isChecked() ? u"*"_qs : QString());
    EXPECT_EQ(entries, (QStringList{u"カントゥ"_qs, u"ない*"_qs}));

    // In-process rendering disables every tool control; its caption names the library loaded here.
    EXPECT_EQ(form.chkUseReamplerDll->text(), u"vorsa10.soを使用する（プロジェクトには保存されません）"_qs);
    form.chkUseReamplerDll->click();
    EXPECT_FALSE(form.txtTool1Path->isEnabled());
    EXPECT_FALSE(form.cmdDefault->isEnabled());
    form.chkUseReamplerDll->click();
    EXPECT_TRUE(form.txtTool1Path->isEnabled());
    form.cboVoiceName->setCurrentIndex(0);
    emit form.cboVoiceName->activated(0);

    const QString png = savePng(&form, u"form3_project_settings"_qs);
    EXPECT_FALSE(QImage(png).isNull());
}

TEST_F(Form3Fixture, OkWritesTheValuesBackAndAnEmptyListShowsNone) {
    voices.banks.clear();
    ProjectSettingsValues values = given();
    values.Tool2 = program + u"/catena"_qs;
    values.VoiceDir = program + u"/voice/cantu"_qs;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<Form3*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        const QList<QAction*> actions = form->mnGen->actions();
        ASSERT_FALSE(actions.isEmpty());
        EXPECT_EQ(actions[0]->text(), u"（なし）"_qs);
        EXPECT_FALSE(actions[0]->isEnabled());
        form->txtFlags->setText(u"g-5 B50"_qs);
        emit form->txtFlags->textEdited(form->txtFlags->text());
        form->txtOutputWavName->setText(u"song"_qs);
        emit form->txtOutputWavName->textEdited(form->txtOutputWavName->text());
        form->cmdOK->click();
    });
    ASSERT_TRUE(Form3::ShowDialog(values, nullptr, voices, nullptr, nullptr));
    EXPECT_EQ(values.Flags, u"g-5B50"_qs);
    EXPECT_EQ(values.OutFile, u"song.wav"_qs);
    EXPECT_EQ(values.VoiceName, u"cantu"_qs);

    // Cancel writes nothing.
    ProjectSettingsValues kept = given();
    QTimer::singleShot(0, [] { qobject_cast<Form3*>(QApplication::activeModalWidget())->cmdCancel->click(); });
    EXPECT_FALSE(Form3::ShowDialog(kept, nullptr, voices, nullptr, nullptr));
    EXPECT_EQ(kept.OutFile, u"newfile.wav"_qs);
}

}  // namespace
