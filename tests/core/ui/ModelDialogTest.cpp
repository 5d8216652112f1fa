// The dialog base: guard, handler, refresh from the model, accept or reject; the caption files and the
// window registry.
#include "core/WindowRegistry.h"
#include "core/ui/ModelDialog.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

// A model as a coming dialog writes it: typed fields and handlers, no widgets.
class CounterModel : public DialogModel {
public:
    int count = 0;
    int cancels = 0;
    void cmdAdd_Click() {
        if (++count > 2) throw OverflowError();
    }
    void cmdOK_Click() { accept(); }
    void cancelRequested() override {
        ++cancels;
        if (count > 0) reject();  // a dialog may refuse to close
    }
};

class frmCounter : public ModelDialogOf<CounterModel> {
public:
    frmCounter() : ModelDialogOf(u"frmCounter"_s, u"数える"_s, nullptr) {
        lblCount = new QLabel(this);
        lblCount->setObjectName(u"lblCount"_s);
        cmdAdd = new QPushButton(u"+"_s, this);
        cmdAdd->setObjectName(u"cmdAdd"_s);
        cmdOK = new QPushButton(u"OK"_s, this);
        cmdOK->setObjectName(u"cmdOK"_s);
        connect(cmdAdd, &QPushButton::clicked, this, [this] { handle([this] { model().cmdAdd_Click(); }); });
        connect(cmdOK, &QPushButton::clicked, this, [this] { handle([this] { model().cmdOK_Click(); }); });
        finishLoad();
    }
    void refreshFromModel() override { lblCount->setText(QString::number(model().count)); }
    QLabel* lblCount;
    QPushButton* cmdAdd;
    QPushButton* cmdOK;
};

TEST(ModelDialog, HandlerThenRefreshThenAcceptOrReject) {
    ScopedFakePorts ports;
    frmCounter form;
    EXPECT_EQ(form.lblCount->text(), u"0"_s);  // shown from the model at load
    EXPECT_EQ(WindowRegistry::find(u"frmCounter"_s), &form.localizable());

    form.cmdAdd->click();
    form.cmdAdd->click();
    EXPECT_EQ(form.lblCount->text(), u"2"_s);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // A failing handler is reported under the title and the form still shows what the model holds.
    form.cmdAdd->click();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].title, u"予期せぬエラー"_s);
    EXPECT_EQ(form.lblCount->text(), u"3"_s);

    // OK ends the modal display with the model's result.
    QTimer::singleShot(0, &form, [&form] { form.cmdOK->click(); });
    EXPECT_TRUE(form.showModal());
    EXPECT_TRUE(form.model().hidden);
}

TEST(ModelDialog, EscapeAsksTheModel) {
    ScopedFakePorts ports;
    frmCounter form;
    form.show();
    form.reject();  // Escape or the close box with nothing counted: the model keeps the dialog open
    EXPECT_EQ(form.model().cancels, 1);
    EXPECT_FALSE(form.model().hidden);
    EXPECT_TRUE(form.isVisible());
    form.cmdAdd->click();
    QTimer::singleShot(0, &form, [&form] { form.reject(); });
    EXPECT_FALSE(form.showModal());
    EXPECT_EQ(form.model().cancels, 2);
    EXPECT_FALSE(form.isVisible());
}

TEST(ModelDialog, TheCaptionExportLoadsARegisteredDialog) {
    ModelDialog::registerLoader<frmCounter>(u"frmCounter"_s);
    {
        auto loaded = WindowRegistry::load(u"frmCounter"_s);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->caption(), u"数える"_s);
        EXPECT_GT(loaded->controlCount(), 2);
    }
    WindowRegistry::setLoader(u"frmCounter"_s, {});
    EXPECT_EQ(WindowRegistry::find(u"frmCounter"_s), nullptr);
}

}  // namespace
