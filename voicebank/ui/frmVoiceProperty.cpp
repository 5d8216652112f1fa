#include "voicebank/ui/frmVoiceProperty.h"

#include "core/ui/Twips.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace tova {
namespace {

// Client width of the dialog and the height its title bar and borders take, in twips.
constexpr int kClientWidth = 5040;
constexpr int kFrameHeight = 390;

}  // namespace

frmVoiceProperty::frmVoiceProperty(QWidget* owner)
    : ModelDialogOf<VoiceProfile>(QStringLiteral("frmVoiceProperty"), QStringLiteral("原音のプロフィール"), owner) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(Twips::rect(120, 120, 1440, 1440));
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setText(QStringLiteral("♪"));
    Picture1->setStyleSheet(QStringLiteral("QLabel#Picture1 { background: #dde4f0; color: #7080a0; font-size: 40px; }"));

    Label2 = new QLabel(QStringLiteral("Sample"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Twips::rect(120, 1620, 1440, 285));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setStyleSheet(QStringLiteral("color: #0000ff; text-decoration: underline;"));
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(Twips::rect(1680, 120, 3240, 330));
    txtName->setReadOnly(true);

    txtStatics = new QPlainTextEdit(this);
    txtStatics->setObjectName(QStringLiteral("txtStatics"));
    txtStatics->setGeometry(Twips::rect(1680, 540, 3240, 1365));
    txtStatics->setReadOnly(true);

    Label1 = new QLabel(QStringLiteral("readme.txt"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(120, 2010, 2400, 255));

    txtReadme = new QPlainTextEdit(this);
    txtReadme->setObjectName(QStringLiteral("txtReadme"));
    txtReadme->setGeometry(Twips::rect(120, 2280, 4800, 1740));
    txtReadme->setReadOnly(true);

    cmdOK = new QPushButton(QStringLiteral("登録する"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::rect(2100, 4140, 1335, 315));
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(Twips::rect(3540, 4140, 1335, 315));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);

    connect(cmdOK, &QPushButton::clicked, this, [this] { handle([this] { model().cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { handle([this] { model().cmdCancel_Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    model().processEvents = [] { QCoreApplication::processEvents(); };
    finishLoad();
}

void frmVoiceProperty::restoreCursor() {
    if (!waitCursor_) return;
    waitCursor_ = false;
    QApplication::restoreOverrideCursor();
}

void frmVoiceProperty::Load(const QString& folder, const QString& name, bool registerFlag) {
    model().Begin(folder, name, registerFlag);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    QCoreApplication::processEvents();
    if (handle([this] { model().Form_Load(); }))
        Timer1->start(100);
    else
        restoreCursor();
}

void frmVoiceProperty::Timer1_Timer() {
    Timer1->stop();
    restoreCursor();
    handle([this] { model().Timer1_Timer(); });
}

void frmVoiceProperty::RunStatistics() {
    if (Timer1->isActive()) Timer1_Timer();
}

void frmVoiceProperty::refreshFromModel() {
    const VoiceProfile& m = model();
    setFixedSize(Twips::size(kClientWidth, m.windowHeightTwips - kFrameHeight));
    txtName->setText(m.txtName);
    if (!m.picturePath.isEmpty()) {
        const QPixmap picture(m.picturePath);
        if (!picture.isNull())
            Picture1->setPixmap(picture.scaled(Picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    txtStatics->setPlainText(m.txtStatics);
    txtReadme->setPlainText(m.txtReadme);
}

bool frmVoiceProperty::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        handle([this] { model().Label2_Click(); });
        return true;
    }
    return ModelDialogOf<VoiceProfile>::eventFilter(watched, event);
}

bool frmVoiceProperty::ShowProfile(const QString& folder, const QString& name, bool registerFlag, QWidget* owner) {
    frmVoiceProperty dialog(owner);
    dialog.Load(folder, name, registerFlag);
    dialog.showModal();
    dialog.model().closing = true;
    dialog.Timer1->stop();
    dialog.restoreCursor();
    VoiceProfile::MarkReadmeRead(dialog.model().folder);
    return dialog.model().registered;
}

}  // namespace tova
