#include "voicebank/ui/frmVoiceProperty.h"

#include "core/Settings.h"
#include "core/ui/Twips.h"
#include "platform/Errors.h"
#include "platform/Ports.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace tova {
namespace {

// Client width of the dialog and the height its title bar and borders take, in twips.
constexpr int kClientWidth = 5040;
constexpr int kFrameHeight = 390;

}  // namespace

frmVoiceProperty::frmVoiceProperty(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmVoiceProperty"));
    setWindowTitle(QStringLiteral("原音のプロフィール"));
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

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        model_.cmdOK_Click();
        hide();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        hide();
    });
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1_Timer(); }); });

    model_.processEvents = [] { QCoreApplication::processEvents(); };
    setFixedSize(Twips::size(kClientWidth, 4470 - kFrameHeight));
}

void frmVoiceProperty::guarded(const std::function<void()>& handler) {
    if (settings().DebugMode) {
        handler();
        return;
    }
    QString description;
    try {
        handler();
        return;
    } catch (const TovaError& e) {
        description = e.description();
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    QApplication::restoreOverrideCursor();
    Ports::msgBox(description, MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("エラー"));
}

void frmVoiceProperty::Load(const QString& folder, const QString& name, bool registerFlag) {
    model_.Begin(folder, name, registerFlag);
    guarded([this] { Form_Load(); });
}

void frmVoiceProperty::Form_Load() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    model_.Form_Load();
    showModel();
    Timer1->start(100);
}

void frmVoiceProperty::Timer1_Timer() {
    Timer1->stop();
    QApplication::restoreOverrideCursor();
    model_.Timer1_Timer();
    showModel();
}

void frmVoiceProperty::RunStatistics() {
    if (Timer1->isActive()) guarded([this] { Timer1_Timer(); });
}

void frmVoiceProperty::showModel() {
    setFixedSize(Twips::size(kClientWidth, model_.windowHeightTwips - kFrameHeight));
    txtName->setText(model_.txtName);
    if (!model_.picturePath.isEmpty()) {
        const QPixmap picture(model_.picturePath);
        if (!picture.isNull()) Picture1->setPixmap(picture.scaled(Picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    txtStatics->setPlainText(model_.txtStatics);
    txtReadme->setPlainText(model_.txtReadme);
}

bool frmVoiceProperty::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        guarded([this] { model_.Label2_Click(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmVoiceProperty::closeEvent(QCloseEvent* event) {
    model_.Form_QueryUnload();
    if (Timer1->isActive()) {
        Timer1->stop();
        QApplication::restoreOverrideCursor();
    }
    QDialog::closeEvent(event);
}

bool frmVoiceProperty::ShowProfile(const QString& folder, const QString& name, bool registerFlag, QWidget* owner) {
    frmVoiceProperty dialog(owner);
    dialog.Load(folder, name, registerFlag);
    dialog.exec();
    dialog.model().closing = true;
    if (dialog.Timer1->isActive()) QApplication::restoreOverrideCursor();
    VoiceProfile::MarkReadmeRead(dialog.model().folder);
    return dialog.model().registered;
}

}  // namespace tova
