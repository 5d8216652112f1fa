#pragma once

namespace tova {

// What the settings file needs of the main window: its placement in twips and its window state, and
// the screen's twips per pixel. LoadSettings places the window while it loads (before it is shown);
// SaveSettings reads the placement at unload. The main window implements this.
class MainWindowPlacement {
public:
    enum class State { Normal, Minimized, Maximized };

    virtual ~MainWindowPlacement() = default;
    virtual double left() const = 0;    // twips
    virtual double top() const = 0;     // twips
    virtual double width() const = 0;   // twips
    virtual double height() const = 0;  // twips
    virtual void setPlacement(double left, double top, double width, double height) = 0;  // twips
    virtual State windowState() const = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

}  // namespace tova
