#pragma once

#include "TempDirectory.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace talvo::testing {

// A simulated key of its own for one test: a fresh state directory that TALVO_SIM_DIR names
// while the object lives, so that the driver library and talvo-sim serve this key. The key
// pairs and certificate are made once per test program and copied, which keeps creation fast.
// Inspect the key through the driver itself (KeyDriverBinding).
class SimulatedKey {
public:
    enum class Content { Demo, Empty }; // Demo: the three demo seals; Empty: no seals

    explicit SimulatedKey(Content content = Content::Empty);
    ~SimulatedKey();
    SimulatedKey(const SimulatedKey&) = delete;
    SimulatedKey& operator=(const SimulatedKey&) = delete;

    QString directory() const;
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
};

} // namespace talvo::testing
