#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace tova::test {

// Folder where tests leave pictures and other output for people to look at (created on demand).
QString outputFolder();
// Saves a picture of a widget as <outputFolder>/<name>.png and returns the path.
QString savePng(QWidget* widget, const QString& name);
// Writes bytes to a file, making its folder.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// The program folder the build lays out (with res/, settings/, voice/, plugins/).
QString programFolder();
QString sourceFolder();

}  // namespace tova::test
