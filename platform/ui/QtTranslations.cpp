#include "platform/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace tova {

namespace {

// Texts of the file dialog that Qt's Japanese catalogues leave in English: the kind of an entry that
// is no file ("Folder" in the type column).
class MissingQtJapanese : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileIconProvider") != 0) return {};
        static const struct { const char* english; const char16_t* japanese; } texts[] = {
            {"Folder", u"フォルダ"}, {"File Folder", u"フォルダ"}, {"Drive", u"ドライブ"},
            {"Alias", u"エイリアス"}, {"Shortcut", u"ショートカット"}, {"File", u"ファイル"},
        };
        for (const auto& t : texts)
            if (qstrcmp(sourceText, t.english) == 0) return QString::fromUtf16(t.japanese);
        return {};
    }
};

}  // namespace

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
    // Installed last, asked first: it answers only for the texts the catalogues lack.
    if (installed) QCoreApplication::installTranslator(new MissingQtJapanese(QCoreApplication::instance()));
    return installed;
}

}  // namespace tova
