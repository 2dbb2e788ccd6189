#pragma once

#include <QString>
#include <QTranslator>

namespace talvo {

// Qt's own texts (standard buttons, file dialogs, edit menus) in Simplified Chinese, whatever
// the desktop's locale: the tool's texts are Chinese everywhere, and Qt's must match them.
// Installed for the object's lifetime; where the translation is missing, Qt's texts stay
// English and standard error says so once.
class QtTranslation {
public:
    static constexpr const char* kFileName = "qtbase_zh_CN";

    // Qt's translations directory unless told another.
    explicit QtTranslation(const QString& directory = defaultDirectory());
    ~QtTranslation();
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    bool isInstalled() const { return m_installed; }
    static QString defaultDirectory();

private:
    QTranslator m_translator;
    bool m_installed = false;
};

} // namespace talvo
