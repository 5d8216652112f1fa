#include "editors/ui/frmVolumeFunctionizer.h"

#include "core/ui/Twips.h"
#include "platform/EventGuard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tova {

frmVolumeFunctionizer::frmVolumeFunctionizer(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmVolumeFunctionizer"), QStringLiteral("VolumeFunctionizer"), owner) {
    setFixedSize(Twips::size(4230, 1680));
    txtMul = new QLineEdit(this);
    txtMul->setObjectName(QStringLiteral("txtMul"));
    txtMul->setGeometry(Twips::rect(120, 120, 1215, 330));
    txtMul->setAlignment(Qt::AlignRight);
    Label1 = new QLabel(QStringLiteral("dB"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(1395, 165, 495, 255));
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setGeometry(Twips::rect(120, 600, 3975, 420));
    Slider1->setRange(VolumeFunctionizer::SliderMin, VolumeFunctionizer::SliderMax);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(6);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::rect(1560, 1140, 1215, 375));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(Twips::rect(2880, 1140, 1215, 375));
    cmdCancel->setAutoDefault(false);

    connect(txtMul, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtMul_Change(t); }); });
    connect(Slider1, &QSlider::sliderMoved, this, [this](int v) { handle([&] { model().Slider1_Scroll(v); }); });
    connect(Slider1, &QSlider::valueChanged, this, [this](int v) { handle([&] { model().Slider1_Change(v); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { handle([&] { model().cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdCancel_Click(); }); });

    handle([&] { model().Form_Load(); });
    finishLoad();
}

frmVolumeFunctionizer::~frmVolumeFunctionizer() {
    EventGuard::runHandler([this] {
        if (!model().Form_Unload())
            throw FileError(QStringLiteral("volumefunc.ini を保存できません。") + u'\n' + model().Settings.lastError());
    });
}

void frmVolumeFunctionizer::refreshFromModel() {
    if (txtMul->text() != model().txtMul) {
        const QSignalBlocker block(txtMul);
        txtMul->setText(model().txtMul);
    }
    const QSignalBlocker block(Slider1);
    Slider1->setValue(model().Slider1);
}

bool frmVolumeFunctionizer::ShowDialog(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt,
                                       QWidget* owner) {
    frmVolumeFunctionizer form(owner);
    if (!form.showModal()) return false;
    MultiplyVolume(first, last, lyrics, noteExt, form.model().gain());
    return true;
}

}  // namespace tova
