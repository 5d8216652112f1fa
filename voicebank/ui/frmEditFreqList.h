#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/FreqTableEditor.h"

#include <QImage>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace tova {

// The frequency-table editor window: binds its controls to FreqTableEditor and draws the graph of the
// frames on a semitone grid into a kept picture of the window's surface.
class frmEditFreqList : public ModelDialogOf<FreqTableEditor> {
    Q_OBJECT
public:
    explicit frmEditFreqList(QWidget* owner = nullptr);
    FreqTableEditor& logic() { return model(); }
    // LoadFreqFile: false (nothing shown) when the table cannot be read; otherwise the result flag.
    static bool LoadFreqFile(const QString& samplePath, QWidget* owner);
    void refreshFromModel() override;
    const QImage& picture() const { return picture_; }

    QListWidget* List1;
    QLineEdit* txtFrequency;
    QPushButton* cmdSetValue;
    QLineEdit* txtFreqAvg;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QScrollBar* HScroll1;
    QLabel* lbHelp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redrawGraph();
    void selectionFromView();
    QImage picture_;
    bool syncing_ = false;
};

}  // namespace tova
