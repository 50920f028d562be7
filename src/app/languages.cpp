#include "languages.h"

#include "systemfilepath.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QTranslator>

Languages::Languages(QLocale::Language language, QObject* parent)
    : QObject(parent)
{
    auto* program = new QTranslator(this);
    if (program->load(path::translationFile(language)))
        QCoreApplication::installTranslator(program);
    if (language != QLocale::Chinese)
        return; // the program's other texts are English, as Qt's are without a translation
    // Qt's own, in the Chinese the program is translated into (qt6-translations-l10n).
    auto* qt = new QTranslator(this);
    m_qtTexts = qt->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_qtTexts)
        QCoreApplication::installTranslator(qt);
    else
        qDebug() << "Qt's own texts in Chinese were not found: its buttons stay in English";
}
