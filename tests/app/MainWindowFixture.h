#pragma once

#include "app/MainDialog.h"
#include "support/ScriptedInteraction.h"

#include <QTemporaryDir>

#include <memory>

namespace talvo::testing {

// A main window opened past its login, with the scripted seam and a private directory of
// its own.
class MainWindowFixture {
public:
    MainWindowFixture();
    ~MainWindowFixture();

    MainDialog& window() { return *m_window; }
    ScriptedInteraction& script() { return m_script; }
    QString privateDirectory() const;
    void pressButton(int id);

private:
    QTemporaryDir m_runtime;
    QByteArray m_previousRuntime;
    ScriptedInteraction m_script;
    std::unique_ptr<MainDialog> m_window;
};

// Scripts the next modal dialog to be the login, answered with this text and OK.
void scriptLogin(ScriptedInteraction& script, const QString& password);

} // namespace talvo::testing
