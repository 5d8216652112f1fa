#pragma once

#include "commands/CommandRegistry.h"
#include "core/MainWindowPlacement.h"
#include "core/ui/WidgetWindow.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/ProjectFilesPort.h"
#include "render/OtoLoadHost.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;

namespace tova {

class PictureBox;
class RenderBinding;
class frmSplash;

// The main window: the tool band, the ruler, the keyboard strip and the piano roll with their scroll
// bars, the menu tree and the status bar, bound to the main window's logic (MainWindow). Controls carry
// the names the rest of the program addresses them by (objectName; an element of a control array has
// its index in the dynamic property "index"); positions follow the design in twips (15 a pixel).
class Form1 : public QMainWindow, public MainWindowView, public OtoLoadHost {
    Q_OBJECT
public:
    explicit Form1(const MainWindowPorts& ports = MainWindowPorts(), QWidget* parent = nullptr);
    ~Form1() override;

    MainWindow& logic() { return *logic_; }
    // The commands the menus and the tool band run.
    CommandRegistry& commands() { return registry_; }
    // Runs a control's command (element `index` of a control array, -1 for none) under the handler
    // guard; a control without a built command says "{1}はまだ使用できません。" naming `source`'s caption.
    void runCommand(const QString& control, int index, QObject* source);
    // Sets the enabled state of every control whose command has a predicate.
    void refreshCommandStates();
    // The names of the menu items and tool-band controls that run commands.
    QStringList commandControls() const;
    // Rendering and playback of the window (generate, play, the playback timers).
    RenderBinding& rendering() { return *render_; }
    // Runs the start-up; false when the program is to end at once (the installer's switches).
    bool start(const QString& commandLine);
    // Files dropped on the window, the roll or the keyboard strip (in the order of the drop).
    void FilesDropped(const QStringList& files);

    // The control of that name (and array index; -1 for a control that is not an array element).
    QObject* control(const QString& name, int index = -1) const;
    template <typename T>
    T* controlAs(const QString& name, int index = -1) const {
        return qobject_cast<T*>(control(name, index));
    }
    PictureBox* pictureBox(const QString& name) const;

    // ---- MainWindowView ----
    int value(const QString& name, int index = -1) const override;
    void setValue(const QString& name, int value, int index = -1) override;
    bool visible(const QString& name, int index = -1) const override;
    void setVisible(const QString& name, bool on, int index = -1) override;
    using QMainWindow::setVisible;
    bool enabled(const QString& name, int index = -1) const override;
    void setEnabled(const QString& name, bool on, int index = -1) override;
    using QMainWindow::setEnabled;
    using QMainWindow::hasFocus;
    QString text(const QString& name, int index = -1) const override;
    void setText(const QString& name, const QString& text, int index = -1) override;
    int itemData(const QString& name, int entry) const override;
    int menuArrayUpper(const QString& name) const override;
    void loadMenuElement(const QString& name, int index) override;
    void unloadMenuElement(const QString& name, int index) override;
    QString popupMenu(const QString& menu, int* chosenIndex) override;
    void runNamedCommand(const QString& name, int index = -1) override;
    RollCanvas& picture(const QString& name) override;
    void refreshPictures() override;
    void setPictureColors(const QString& name, int32_t fore, int32_t back) override;
    void setMousePointer(const QString& name, int kind) override;
    void setScrollBar(const QString& name, const ScrollBarState& state) override;
    void applyLayout(const WindowLayout& layout) override;
    void setControlRect(const QString& name, const TwipRect& rect) override;
    double clientWidth() const override;
    double clientHeight() const override;
    double statusBarHeight() const override;
    void setFocusTo(const QString& name) override;
    bool hasFocus(const QString& name) const override;
    void setCaption(const QString& text) override;
    void setStatusText(int panel, const QString& text) override;
    QString statusText(int panel) const override;
    bool shiftHeld() const override;
    bool ctrlHeld() const override;
    bool setIconFile(const QString& path) override;
    void setPictureFile(const QString& name, const QString& path) override;
    void showSplash() override;
    void closeSplash() override;
    void showAboutBox() override;
    void processEvents() override;
    LocalizableWindow& localizable() override { return window_; }
    MainWindowPlacement* placement() override;
    QObject* windowObject(const QString& name) override;

    // ---- OtoLoadHost: progress of a voice-bank load in status panel 3, and its report ----
    void SetOtoStatusText(const QString& text) override;
    void ShowOtoReport(const QString& report) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The unload: a cancelled one keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the window, the roll or the keyboard strip.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void fitToolBand();
    void buildToolBand(QWidget* band);
    void buildSongArea(QWidget* area);
    void buildMenus();
    void buildStatusBar();
    void wireHandlers();
    // Runs a handler of the logic under the event guard.
    void handle(const std::function<void()>& handler);
    // Connects a menu item to its command; a checkable item keeps its check mark for the command to set.
    void connectMenuItem(QAction* item);
    // Connects a control of the tool band: its command, then (a button) the focus to the roll.
    void connectToolBand(QAbstractButton* button);
    void onScrollBar(QScrollBar* bar, ScrollBarState MainWindow::*state, void (MainWindow::*change)());
    // The feedback controls of the roll and the ruler and the in-place text boxes.
    void buildRollControls();
    // Pointer and key events of the roll, the keyboard strip and the ruler to their handlers.
    void wireRollInput();
    // The text boxes' and labels' events (lyric box, label box, tempo box, lyric queue, tone label,
    // status panel); true when the event was handled.
    bool filterRollControls(QObject* watched, QEvent* event);
    // A double click on the lyric queue: its words edited one a line in the larger text editor.
    void Text2_DblClick();

    QWidget* central_ = nullptr;
    PictureBox* Picture2_ = nullptr;
    PictureBox* Picture3_ = nullptr;
    PictureBox* Picture4_ = nullptr;
    QScrollBar* HScroll1_ = nullptr;
    QScrollBar* VScroll1_ = nullptr;
    QWidget* Line3_ = nullptr;
    QLabel* panels_[4] = {};
    QPointer<frmSplash> splash_;
    QTimer* tmrPlaying_ = nullptr;
    QTimer* tmrMidiNote_ = nullptr;
    WidgetWindow window_;
    std::unique_ptr<MainWindowPlacement> placement_;
    CommandRegistry registry_;
    std::unique_ptr<MainWindow> logic_;
    std::unique_ptr<RenderBinding> render_;
};

}  // namespace tova
