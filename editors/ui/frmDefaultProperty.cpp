#include "editors/ui/frmDefaultProperty.h"

#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tova {
namespace {

void showSlider(QSlider* s, const DefaultPropertyDialog::Slider& m) {
    const QSignalBlocker block(s);
    s->setValue(m.Value);
    s->setEnabled(m.Enabled);
}

void showText(QLineEdit* e, const QString& text) {
    if (e->text() == text) return;
    const QSignalBlocker block(e);
    e->setText(text);
}

void showCheck(QCheckBox* c, bool checked, const QString& caption = QString()) {
    const QSignalBlocker block(c);
    c->setChecked(checked);
    if (!caption.isEmpty()) c->setText(caption);
}

}  // namespace

frmDefaultProperty::frmDefaultProperty(tova::Settings& settings, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmDefaultProperty"), QStringLiteral("音符のデフォルト設定"), owner, settings) {
    setFixedSize(Twips::size(5400, 4440));
    auto label = [this](const char* name, const QString& caption, QRect r) { return placed<QLabel>(this, name, r, caption); };
    auto edit = [this](const char* name, QRect r) { return placed<QLineEdit>(this, name, r); };
    auto slider = [this](const char* name, const DefaultPropertyDialog::Slider& m, int large, QRect r) {
        auto* s = placed<QSlider>(this, name, r, Qt::Horizontal);
        s->setRange(m.Min, m.Max);
        s->setPageStep(large);
        s->setSingleStep(1);
        return s;
    };
    auto check = [this](const char* name, const QString& caption, QRect r) { return placed<QCheckBox>(this, name, r, caption); };
    auto button = [this](const char* name, const QString& caption, QRect r) {
        auto* b = placed<QPushButton>(this, name, r, caption);
        b->setAutoDefault(false);
        return b;
    };
    const DefaultPropertyDialog& m = model();
    Label1 = label("Label1", QStringLiteral("音量"), Twips::rect(120, 180, 1455, 255));
    txtVolume = edit("txtVolume", Twips::rect(1620, 120, 735, 330));
    sldVolume = slider("sldVolume", m.sldVolume, 10, Twips::rect(2400, 120, 2880, 375));
    Label2 = label("Label2", QStringLiteral("モジュレーション"), Twips::rect(120, 660, 1455, 255));
    txtModulation = edit("txtModulation", Twips::rect(1620, 600, 735, 330));
    sldModulation = slider("sldModulation", m.sldModulation, 5, Twips::rect(2400, 600, 2880, 375));
    Label3 = label("Label3", QStringLiteral("(BRE)"), Twips::rect(120, 1140, 1455, 255));
    chkBre = check("chkBre", QStringLiteral("B"), Twips::rect(1620, 1080, 735, 330));
    sldBre = slider("sldBre", m.sldBre, 5, Twips::rect(2400, 1080, 2880, 375));
    chkNoFilter = check("chkNoFilter", QStringLiteral("No Formant Filter"), Twips::rect(1620, 1560, 3660, 330));
    chkGFactor = check("chkGFactor", QStringLiteral("g0"), Twips::rect(1620, 2040, 735, 330));
    sldGFactor = slider("sldGFactor", m.sldGFactor, 5, Twips::rect(2400, 2040, 2880, 375));
    chkYFlag = check("chkYFlag", QStringLiteral("Y100"), Twips::rect(1620, 2520, 735, 330));
    sldYFlag = slider("sldYFlag", m.sldYFlag, 5, Twips::rect(2400, 2520, 2880, 375));
    Label4 = label("Label4", QStringLiteral("その他"), Twips::rect(120, 3060, 1455, 255));
    txtOtherFlags = edit("txtOtherFlags", Twips::rect(1620, 3000, 3660, 330));
    Label5 = label("Label5", QStringLiteral("Flags"), Twips::rect(120, 3480, 1455, 255));
    lblFlagResult = label("lblFlagResult", QString(), Twips::rect(1620, 3480, 3660, 255));
    cmdClear = button("cmdClear", QStringLiteral("クリア"), Twips::rect(120, 3900, 1215, 375));
    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(2760, 3900, 1215, 375));
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("ｷｬﾝｾﾙ"), Twips::rect(4065, 3900, 1215, 375));

    using D = DefaultPropertyDialog;
    const std::pair<QCheckBox*, void (D::*)(bool)> checks[] = {{chkBre, &D::chkBre_Click},
                                                               {chkNoFilter, &D::chkNoFilter_Click},
                                                               {chkGFactor, &D::chkGFactor_Click},
                                                               {chkYFlag, &D::chkYFlag_Click}};
    for (const auto& [c, h] : checks)
        connect(c, &QCheckBox::clicked, this, [this, h = h](bool on) { handle([&] { (model().*h)(on); }); });
    const std::pair<QSlider*, void (D::*)(int)> sliders[] = {{sldVolume, &D::sldVolume_Change},
                                                             {sldModulation, &D::sldModulation_Change},
                                                             {sldBre, &D::sldBre_Change},
                                                             {sldGFactor, &D::sldGFactor_Change},
                                                             {sldYFlag, &D::sldYFlag_Change}};
    for (const auto& [s, h] : sliders)
        connect(s, &QSlider::valueChanged, this, [this, h = h](int v) { handle([&] { (model().*h)(v); }); });
    connect(txtVolume, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtVolume_Change(t); }); });
    connect(txtModulation, &QLineEdit::textEdited, this,
            [this](const QString& t) { handle([&] { model().txtModulation_Change(t); }); });
    connect(txtOtherFlags, &QLineEdit::textEdited, this,
            [this](const QString& t) { handle([&] { model().txtOtherFlags_Change(t); }); });
    txtVolume->installEventFilter(this);
    txtModulation->installEventFilter(this);
    connect(cmdClear, &QPushButton::clicked, this, [this] { handle([&] { model().cmdClear_Click(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { handle([&] { model().cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdCancel_Click(); }); });

    handle([&] { model().Form_Load(); });
    finishLoad();
}

bool frmDefaultProperty::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == txtVolume) handle([&] { model().txtVolume_LostFocus(); });
        if (watched == txtModulation) handle([&] { model().txtModulation_LostFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

void frmDefaultProperty::refreshFromModel() {
    const DefaultPropertyDialog& m = model();
    showText(txtVolume, m.txtVolume);
    showText(txtModulation, m.txtModulation);
    showText(txtOtherFlags, m.txtOtherFlags);
    showSlider(sldVolume, m.sldVolume);
    showSlider(sldModulation, m.sldModulation);
    showSlider(sldBre, m.sldBre);
    showSlider(sldGFactor, m.sldGFactor);
    showSlider(sldYFlag, m.sldYFlag);
    showCheck(chkBre, m.chkBre, m.chkBreCaption());
    showCheck(chkNoFilter, m.chkNoFilter);
    showCheck(chkGFactor, m.chkGFactor, m.chkGFactorCaption());
    showCheck(chkYFlag, m.chkYFlag, m.chkYFlagCaption());
    lblFlagResult->setText(m.lblFlagResult);
}

bool frmDefaultProperty::ShowDialog(tova::Settings& settings, QWidget* owner) {
    frmDefaultProperty form(settings, owner);
    return form.showModal();
}

}  // namespace tova
