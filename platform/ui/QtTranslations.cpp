#include "platform/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace tova {

bool installQtTranslations() {
    static bool installed = false;
    if (installed) return true;
    // Every Japanese catalogue of Qt's own texts that is installed (the file dialog, for one, takes its
    // words from more than the base catalogue), not only "qtbase_ja".
    const QDir folder(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    for (const QString& file : folder.entryList({QStringLiteral("*_ja.qm")}, QDir::Files, QDir::Name)) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(file, folder.path())) {
            delete translator;
            continue;
        }
        QCoreApplication::installTranslator(translator);
        installed = true;
    }
    return installed;
}

}  // namespace tova
