#include "platform/ui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tova {

QString QtClipboard::text() const { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }

void QtClipboard::setText(const QString& text) { QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard); }

}  // namespace tova
