#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <stdexcept>

namespace tova::test {

QString outputFolder() {
    QString f = qEnvironmentVariable("TOVA_TEST_OUTPUT");
#ifdef TOVA_TEST_OUTPUT_DIR
    if (f.isEmpty()) f = QStringLiteral(TOVA_TEST_OUTPUT_DIR);
#endif
    if (f.isEmpty()) f = QDir::tempPath() + QStringLiteral("/tova-test-output");
    QDir().mkpath(f);
    return f;
}

QString savePng(QWidget* widget, const QString& name) {
    QString path = outputFolder() + u'/' + name + QStringLiteral(".png");
    if (!widget->grab().save(path)) throw std::runtime_error("cannot save picture");
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write fixture");
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QString programFolder() {
#ifdef TOVA_PROGRAM_DIR
    return QStringLiteral(TOVA_PROGRAM_DIR);
#else
    return QString();
#endif
}

QString sourceFolder() {
#ifdef TOVA_SOURCE_DIR
    return QStringLiteral(TOVA_SOURCE_DIR);
#else
    return QString();
#endif
}

}  // namespace tova::test
