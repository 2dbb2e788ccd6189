#include "MainWindowFixture.h"

#include "app/LoginDialog.h"
#include "platform/core/PrivateDirectory.h"
#include "platform/widgets/Interaction.h"
#include "resources/ControlIds.h"
#include "support/Typing.h"

#include <QFile>
#include <QLineEdit>

namespace talvo::testing {

void scriptLogin(ScriptedInteraction& script, const QString& password)
{
    script.scriptModal([password](QDialog& dialog) {
        auto* login = qobject_cast<LoginDialog*>(&dialog);
        if (!login)
            return;
        login->controlAs<QLineEdit>(ids::login::PasswordEdit)->setText(password);
        clickButton(*login, TemplateDialog::IDOK);
    });
}

MainWindowFixture::MainWindowFixture() : m_previousRuntime(qgetenv("XDG_RUNTIME_DIR"))
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    scriptLogin(m_script, QString::fromLatin1(LoginDialog::kPassword));
    m_window = std::make_unique<MainDialog>();
    setMainWindow(m_window.get());
    m_window->show();
}

MainWindowFixture::~MainWindowFixture()
{
    m_window.reset();
    setMainWindow(nullptr);
    qputenv("XDG_RUNTIME_DIR", m_previousRuntime);
}

QString MainWindowFixture::privateDirectory() const
{
    return talvo::privateDirectory();
}

void MainWindowFixture::pressButton(int id)
{
    clickButton(*m_window, id);
}

} // namespace talvo::testing
