#pragma once

#include <QIcon>
#include <QString>

namespace tova {

// The pictures of the tool-row buttons, drawn at run time: one small glyph per control name.
class ToolIcons {
public:
    static QIcon icon(const QString& controlName);
    // The background picture of the tool band (20 x 40 pixels, stretched by the window).
    static QPixmap bandPicture();
};

}  // namespace tova
