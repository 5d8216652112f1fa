#include "editors/ui/frmMode2.h"

#include "core/Settings.h"
#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tova {
namespace {

Qt::CheckState checkStateOf(int v) { return v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked; }

void setTextQuietly(QLineEdit* e, const QString& text) {
    if (e->text() == text) return;
    const QSignalBlocker block(e);
    e->setText(text);
}

void setSliderQuietly(QSlider* s, const PitchControl::Slider& model) {
    const QSignalBlocker block(s);
    s->setRange(model.min, model.max);
    s->setValue(model.value);
}

}  // namespace

frmMode2::frmMode2(Settings& settings, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmMode2"), QStringLiteral("ピッチコントロール(Mode2)"), owner, settings) {
    setFixedSize(Twips::size(6600, 5400));
    const auto label = [this](const char* name, const QString& caption, int x, int y, int w = 495) {
        return placed<QLabel>(this, name, Twips::rect(x, y, w, 255), caption);
    };
    const auto edit = [this](const char* name, int x, int y) {
        auto* e = placed<QLineEdit>(this, name, Twips::rect(x, y, 615, 300));
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    const auto slider = [this](const char* name, int x, int y) {
        auto* s = placed<QSlider>(this, name, Twips::rect(x, y, 3000, 360), Qt::Horizontal);
        s->setTickPosition(QSlider::NoTicks);
        return s;
    };
    const auto button = [this](const char* name, const QString& caption, QRect r) {
        auto* b = placed<QPushButton>(this, name, r, caption);
        b->setAutoDefault(false);
        return b;
    };

    // ---- portamento ----
    chkPortamento = placed<QCheckBox>(this, "chkPortamento", Twips::rect(120, 120, 1800, 300), QStringLiteral("ポルタメント"));
    chkPortamento->setTristate(true);
    optPorPreset = placed<QRadioButton>(this, "optPorPreset", Twips::rect(360, 480, 1200, 300), QStringLiteral("プリセット"));
    cboPPreset = placed<QComboBox>(this, "cboPPreset", Twips::rect(1680, 450, 2000, 330));
    cboPPreset->addItems(PitchControl::PresetCaptions);
    optPorCustom = placed<QRadioButton>(this, "optPorCustom", Twips::rect(360, 900, 1200, 300), QStringLiteral("カスタム"));
    auto* label17 = label("Label17", QStringLiteral("開始"), 1680, 930);
    txtPorStart = edit("txtPorStart", 2220, 900);
    auto* label18 = label("Label18", QStringLiteral("ms"), 2880, 930, 300);
    sldPorStart = slider("sldPorStart", 3240, 870);
    auto* label19 = label("Label19", QStringLiteral("長さ"), 1680, 1320);
    txtPorWidth = edit("txtPorWidth", 2220, 1290);
    auto* label20 = label("Label20", QStringLiteral("ms"), 2880, 1320, 300);
    sldPorWidth = slider("sldPorWidth", 3240, 1260);
    optPointAdd = placed<QRadioButton>(this, "optPointAdd", Twips::rect(360, 1710, 1500, 300), QStringLiteral("点を増やす"));
    Label8 = label("Label8", QStringLiteral("数"), 1920, 1740, 255);
    cboPPoints = placed<QComboBox>(this, "cboPPoints", Twips::rect(2220, 1680, 735, 330));
    cboPPoints->setEditable(true);
    cboPPoints->addItems({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")});
    chkKinto = placed<QCheckBox>(this, "chkKinto", Twips::rect(3120, 1710, 1800, 300), QStringLiteral("配置を均等化"));
    cmdSetPortamentoDefault = button("cmdSetPortamentoDefault", QStringLiteral("規定値にする"), Twips::rect(4980, 1680, 1320, 345));
    portamentoGroup_ = {optPorPreset, optPorCustom, optPointAdd, cboPPreset, cboPPoints, txtPorStart, sldPorStart,
                        txtPorWidth, sldPorWidth, Label8, label17, label18, label19, label20};

    // ---- vibrato ----
    chkVibrato = placed<QCheckBox>(this, "chkVibrato", Twips::rect(120, 2220, 1500, 300), QStringLiteral("ビブラート"));
    chkVibrato->setTristate(true);
    cboVPreset = placed<QComboBox>(this, "cboVPreset", Twips::rect(1680, 2190, 2000, 330));
    cboVPreset->addItems(PitchControl::VibratoPresets);
    cboExcludeTarget = placed<QComboBox>(this, "cboExcludeTarget", Twips::rect(3840, 2190, 1800, 330));
    cboExcludeTarget->addItems(PitchControl::ExcludeCaptions);
    static const char* const boxNames[] = {"txtVLength", "txtVCycle", "txtVDepth", "txtVStart",
                                           "txtVEnd",    "txtVHeight", "txtVPhase", "txtVIntensity"};
    static const char* const sliderNames[] = {"sldVLength", "sldVCycle", "sldVDepth"};
    const struct {
        const char* caption;
        const char* unit;
    } sliderRows[] = {{"長さ", "%"}, {"周期", "ms"}, {"深さ", "cent"}};
    vibratoGroup_ = {cboVPreset, cboExcludeTarget};
    int labelNumber = 21;
    const auto vlabel = [&](const QString& caption, int x, int y, int w) {
        const QByteArray name = "Label" + QByteArray::number(labelNumber++);
        vibratoGroup_.append(label(name.constData(), caption, x, y, w));
    };
    for (int row = 0; row < 3; ++row) {
        const int y = 2640 + row * 390;
        vlabel(QString::fromUtf8(sliderRows[row].caption), 360, y + 30, 615);
        txtV[size_t(row)] = edit(boxNames[row], 1080, y);
        vlabel(QString::fromUtf8(sliderRows[row].unit), 1740, y + 30, 495);
        sldV[size_t(row)] = slider(sliderNames[row], 2280, y - 30);
        vibratoGroup_.append({txtV[size_t(row)], sldV[size_t(row)]});
    }
    const struct {
        const char* caption;
        const char* unit;
    } freeRows[] = {{"入", "%"}, {"出", "%"}, {"位相", "%"}, {"高さ", "%"}, {"強弱", ""}};
    for (int k = 0; k < 5; ++k) {
        const int x = 360 + k * 1260;
        vlabel(QString::fromUtf8(freeRows[k].caption), x, 3870, 435);
        txtV[size_t(3 + k)] = edit(boxNames[3 + k], x + 420, 3840);
        txtV[size_t(3 + k)]->resize(Twips::size(495, 300));
        if (*freeRows[k].unit) vlabel(QString::fromUtf8(freeRows[k].unit), x + 960, 3870, 255);
        vibratoGroup_.append(txtV[size_t(3 + k)]);
    }
    cmdUpdateDefault = button("cmdUpdateDefault", QStringLiteral("規定値にする"), Twips::rect(4980, 4260, 1320, 345));
    OKButton = button("OKButton", QStringLiteral("OK"), Twips::rect(3720, 4860, 1215, 375));
    OKButton->setDefault(true);
    CancelButton = button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), Twips::rect(5040, 4860, 1215, 375));

    // ---- wiring ----
    connect(txtPorStart, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtPorStart_Change(t); }); });
    connect(txtPorWidth, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtPorWidth_Change(t); }); });
    connect(sldPorStart, &QSlider::valueChanged, this, [this](int v) { handle([&] { model().sldPorStart_Change(v); }); });
    connect(sldPorWidth, &QSlider::valueChanged, this, [this](int v) { handle([&] { model().sldPorWidth_Change(v); }); });
    for (int box = 0; box < 8; ++box) {
        connect(txtV[size_t(box)], &QLineEdit::textEdited, this,
                [this, box](const QString& t) { handle([&] { model().txtV_Change(box, t); }); });
        txtV[size_t(box)]->installEventFilter(this);
    }
    for (int box = 0; box < 3; ++box)
        connect(sldV[size_t(box)], &QSlider::valueChanged, this, [this, box](int v) { handle([&] { model().sldV_Change(box, v); }); });
    connect(cboPPoints, &QComboBox::editTextChanged, this, [this](const QString& t) { handle([&] { model().cboPPoints_Change(t); }); });
    connect(cboPPreset, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboPPreset_Click(i); }); });
    connect(cboVPreset, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboVPreset_Click(i); }); });
    connect(cboExcludeTarget, &QComboBox::currentIndexChanged, this, [this](int i) { handle([&] { model().cboExcludeTarget = i; }); });
    connect(optPorPreset, &QRadioButton::clicked, this, [this] { handle([&] { model().optPortamento_Click(PitchControl::Preset); }); });
    connect(optPorCustom, &QRadioButton::clicked, this, [this] { handle([&] { model().optPortamento_Click(PitchControl::Custom); }); });
    connect(optPointAdd, &QRadioButton::clicked, this, [this] { handle([&] { model().optPortamento_Click(PitchControl::PointAdd); }); });
    connect(chkKinto, &QCheckBox::toggled, this, [this](bool on) { handle([&] { model().chkKinto = on ? 1 : 0; }); });
    chkPortamento->installEventFilter(this);
    chkVibrato->installEventFilter(this);
    connect(chkPortamento, &QCheckBox::clicked, this, [this] { handle([&] { model().chkPortamento_Click(); }); });
    connect(chkVibrato, &QCheckBox::clicked, this, [this] { handle([&] { model().chkVibrato_Click(); }); });
    connect(cmdSetPortamentoDefault, &QPushButton::clicked, this, [this] { handle([&] { model().cmdSetPortamentoDefault_Click(); }); });
    connect(cmdUpdateDefault, &QPushButton::clicked, this, [this] { handle([&] { model().cmdUpdateDefault_Click(); }); });
    connect(OKButton, &QPushButton::clicked, this, [this] { handle([&] { model().OKButton_Click(); }); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { handle([&] { model().CancelButton_Click(); }); });
    finishLoad();
}

bool frmMode2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == chkPortamento) handle([&] { model().chkPortamento_MouseDown(); });
        if (watched == chkVibrato) handle([&] { model().chkVibrato_MouseDown(); });
    } else if (event->type() == QEvent::FocusOut) {
        for (int box = 0; box < 3; ++box)
            if (watched == txtV[size_t(box)]) handle([&] { model().txtV_LostFocus(box); });
    }
    return ModelDialog::eventFilter(watched, event);
}

void frmMode2::refreshFromModel() {
    const PitchControl& m = model();
    setWindowTitle(m.Caption);
    {
        const QSignalBlocker b1(chkPortamento), b2(chkVibrato), b3(chkKinto);
        chkPortamento->setCheckState(checkStateOf(m.chkPortamento));
        chkVibrato->setCheckState(checkStateOf(m.chkVibrato));
        chkKinto->setChecked(m.chkKinto == 1);
    }
    {
        const QSignalBlocker b1(optPorPreset), b2(optPorCustom), b3(optPointAdd);
        optPorPreset->setAutoExclusive(false);
        optPorCustom->setAutoExclusive(false);
        optPointAdd->setAutoExclusive(false);
        optPorPreset->setChecked(m.portamentoMode == PitchControl::Preset);
        optPorCustom->setChecked(m.portamentoMode == PitchControl::Custom);
        optPointAdd->setChecked(m.portamentoMode == PitchControl::PointAdd);
        optPorPreset->setAutoExclusive(true);
        optPorCustom->setAutoExclusive(true);
        optPointAdd->setAutoExclusive(true);
    }
    {
        const QSignalBlocker b1(cboPPreset), b2(cboPPoints), b3(cboExcludeTarget);
        cboPPreset->setCurrentIndex(m.cboPPreset);
        if (cboPPoints->currentText() != m.cboPPoints) cboPPoints->setEditText(m.cboPPoints);
        cboExcludeTarget->setCurrentIndex(m.cboExcludeTarget);
    }
    setTextQuietly(txtPorStart, m.txtPorStart);
    setTextQuietly(txtPorWidth, m.txtPorWidth);
    setSliderQuietly(sldPorStart, m.sldPorStart);
    setSliderQuietly(sldPorWidth, m.sldPorWidth);
    for (size_t i = 0; i < 8; ++i) setTextQuietly(txtV[i], m.txtV[i]);
    for (size_t i = 0; i < 3; ++i) setSliderQuietly(sldV[i], m.sldV[i]);
    cboExcludeTarget->setVisible(m.excludeVisible);
    for (QWidget* w : {static_cast<QWidget*>(optPointAdd), static_cast<QWidget*>(cboPPoints), static_cast<QWidget*>(chkKinto),
                       static_cast<QWidget*>(Label8)})
        w->setVisible(m.pointAddVisible);
    cmdSetPortamentoDefault->setVisible(m.defaultButtonsVisible);
    cmdUpdateDefault->setVisible(m.defaultButtonsVisible);
    for (QWidget* w : portamentoGroup_) w->setEnabled(m.portamentoEnabled);
    for (QWidget* w : vibratoGroup_) w->setEnabled(m.vibratoEnabled);
}

bool frmMode2::ShowPitchControl(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo, Settings& settings,
                                QWidget* owner) {
    frmMode2 form(settings, owner);
    form.model().fill(selStart, selEnd, notes);
    form.refreshFromModel();
    if (!form.showModal()) return false;
    form.model().apply(selStart, selEnd, notes, projectTempo);
    return true;
}

}  // namespace tova
