#pragma once

#include "voicebank/VoiceProfile.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tova {

// The voice-bank profile dialog "原音のプロフィール": name, picture, statistics, readme and a "Sample"
// label that plays a sample; with the register flag the buttons "登録する" and "キャンセル". Bound to
// VoiceProfile, which holds every value and rule.
class frmVoiceProperty : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modally over the owner; true when "登録する" was pressed. Afterwards the bank's
    // readme is marked as read on this machine.
    static bool ShowProfile(const QString& folder, const QString& name, bool registerFlag, QWidget* owner);

    explicit frmVoiceProperty(QWidget* owner = nullptr);
    VoiceProfile& model() { return model_; }
    // Stores the arguments and loads the profile (the form's load).
    void Load(const QString& folder, const QString& name, bool registerFlag);
    // Runs the one-shot statistics at once (tests; the timer does it 100 ms after loading).
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
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void showModel();
    // Runs a handler; a failure shows its description under the title "エラー" and the dialog stays.
    void guarded(const std::function<void()>& handler);

    VoiceProfile model_;
};

}  // namespace tova
