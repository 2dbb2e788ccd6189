#pragma once

#include "TempDirectory.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace talvo::testing {

// A SoftHSM2 token of its own for one test: a fresh SOFTHSM2_CONF and token directory that
// the object creates and removes, and a private PIN file. The token is initialised with
// softhsm2-util; one that holds a Talvo key is provisioned once for the build tree and copied,
// so that the RSA key generation does not run for every test.
class SoftHsmToken {
public:
    enum class Holds { Nothing, TalvoKey };

    explicit SoftHsmToken(Holds holds);
    ~SoftHsmToken();
    SoftHsmToken(const SoftHsmToken&) = delete;
    SoftHsmToken& operator=(const SoftHsmToken&) = delete;

    static QString label();
    QString uri() const;
    QString pinFile() const;
    // Takes the token away as if it were pulled out, and brings it back.
    void remove();
    void putBack();

private:
    QTemporaryDir m_directory;
    std::unique_ptr<ScopedEnvironment> m_configuration;
};

} // namespace talvo::testing
