#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/VoiceProfile.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tova {

// The voice-bank profile dialog "原音のプロフィール": name, picture, statistics, readme and a "Sample"
// label that plays a sample; with the register flag the buttons "登録する" and "キャンセル". Bound to
// VoiceProfile, which holds every value and rule.
class frmVoiceProperty : public ModelDialogOf<VoiceProfile> {
    Q_OBJECT
public:
    // Shows the dialog modally over the owner; true when "登録する" was pressed. Afterwards the bank's
    // readme is marked as read on this machine.
    static bool ShowProfile(const QString& folder, const QString& name, bool registerFlag, QWidget* owner);

    explicit frmVoiceProperty(QWidget* owner = nullptr);
    // Stores the arguments and loads the profile (the form's load); the statistics follow 100 ms later.
    void Load(const QString& folder, const QString& name, bool registerFlag);
    // Runs the pending statistics at once (tests; the timer does it 100 ms after loading).
    void RunStatistics();

    QLineEdit* txtName;
    QLabel* Picture1;
    QPlainTextEdit* txtStatics;
    QLabel* Label1;
    QPlainTextEdit* txtReadme;
    QLabel* Label2;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QTimer* Timer1;

protected:
    void refreshFromModel() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Timer1_Timer();
    void restoreCursor();
    bool waitCursor_ = false;
};

}  // namespace tova
