#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <cstdio>

namespace talvo {

QtTranslation::QtTranslation(const QString& directory)
{
    if (m_translator.load(QString::fromLatin1(kFileName), directory)) {
        m_installed = QCoreApplication::installTranslator(&m_translator);
        return;
    }
    std::fprintf(
        stderr,
        "%s: %s.qm is not in %s (Debian package qt6-translations-l10n); Qt's own texts will be English.\n",
        qPrintable(QCoreApplication::applicationName()), kFileName, qPrintable(directory));
}

QtTranslation::~QtTranslation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

QString QtTranslation::defaultDirectory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

} // namespace talvo
