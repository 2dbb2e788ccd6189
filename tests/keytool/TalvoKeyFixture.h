#pragma once

#include "TalvoKeyRunner.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/Cp936Codec.h"
#include "support/SimulatedKey.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <sys/stat.h>

namespace talvo::testing {

// A demo key of its own, a password file for talvo-key, and the driver in this process to read
// back what the program did to the key. The files a test writes are private, as an operator's
// password and PIN files should be (talvo-key warns of loose ones).
class TalvoKeyFixture : public ::testing::Test {
protected:
    TalvoKeyFixture()
    {
        TempDirectory::writeFile(m_passwordFile, "plain-fox739204\n");
        EXPECT_TRUE(m_binding.isLibraryLoaded());
    }
    ~TalvoKeyFixture() override { ::umask(m_umask); }

    TalvoKeyRun key(QStringList arguments) const
    {
        arguments.prepend(m_passwordFile);
        arguments.prepend(QStringLiteral("--password-file"));
        return runTalvoKey(arguments);
    }
    QString file(const QString& name) const { return m_files.file(name); }

    KeyInfo readKey()
    {
        KeyInfo info;
        std::memset(&info, 0, sizeof info);
        EXPECT_EQ(m_binding.TLKeyReadKeyInfo(&info), 0);
        return info;
    }
    static std::string text(const char* field, std::size_t size)
    {
        return std::string(field, boundedLength(field, size));
    }

    mode_t m_umask = ::umask(077);
    SimulatedKey m_key{SimulatedKey::Content::Demo};
    TempDirectory m_files;
    QString m_passwordFile = m_files.file(QStringLiteral("password"));
    KeyDriverBinding m_binding;
};

} // namespace talvo::testing
