#pragma once

#include "SoftHsmToken.h"
#include "TempDirectory.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace talvo::testing {

// A simulated key of its own for one test: a fresh state directory that TALVO_SIM_DIR names
// while the object lives, so that the driver library and talvo-sim serve this key. The key
// pairs and certificate are made once per test program and copied, which keeps creation fast.
// Inspect the key through the driver itself (KeyDriverBinding). A key on a token lives on a
// SoftHSM2 token of its own, which the state directory names. HOME is a fresh directory too,
// so that what the driver registers with the desktop never reaches the user's own.
class SimulatedKey {
public:
    enum class Content { Demo, Empty }; // Demo: the three demo seals; Empty: no seals
    enum class Backing { Files, Token };

    explicit SimulatedKey(Content content = Content::Empty, Backing backing = Backing::Files);
    ~SimulatedKey();
    SimulatedKey(const SimulatedKey&) = delete;
    SimulatedKey& operator=(const SimulatedKey&) = delete;

    QString directory() const;
    QString home() const { return m_home.path(); }
    // Null for a key of files.
    SoftHsmToken* token() const { return m_token.get(); }
    // Runs talvo-sim with the arguments against this key; true when it exits with 0. The
    // output, when asked for, holds standard output and standard error together.
    bool run(const QStringList& arguments, QString* output = nullptr) const;
    // The driver function answers the status (doing nothing) until the failures are cleared.
    void fail(const QString& function, int status);
    void clearFailures();
    void unplug();
    void plug();

private:
    QTemporaryDir m_directory;
    ScopedEnvironment m_environment;
    QTemporaryDir m_home;
    ScopedEnvironment m_homeEnvironment;
    std::unique_ptr<SoftHsmToken> m_token;
};

} // namespace talvo::testing
