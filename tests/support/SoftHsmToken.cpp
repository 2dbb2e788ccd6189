#include "SoftHsmToken.h"

#include "simulator/key/FileLock.h"
#include "simulator/key/TokenProvisioning.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>

namespace talvo::testing {

namespace {

constexpr const char* kPin = "11223344";

void writeConfiguration(const QString& directory)
{
    QDir().mkpath(directory + "/tokens");
    TempDirectory::writeFile(directory + "/softhsm2.conf", ("directories.tokendir = " + directory +
                                                            "/tokens\nobjectstore.backend = file\n"
                                                            "log.level = ERROR\n")
                                                               .toUtf8());
    TempDirectory::writeFile(directory + "/pin", kPin);
    QFile::setPermissions(directory + "/pin", QFile::ReadOwner | QFile::WriteOwner);
}

bool initialiseToken(const QString& directory)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SOFTHSM2_CONF", directory + "/softhsm2.conf");
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("softhsm2-util", {"--init-token", "--free", "--label", SoftHsmToken::label(), "--so-pin",
                                    "87654321", "--pin", kPin});
    const bool done = process.waitForFinished(60000) && process.exitCode() == 0;
    if (!done)
        ADD_FAILURE() << "softhsm2-util: " << process.readAll().toStdString();
    return done;
}

// A token that holds a Talvo key with no seals, made once for the build tree under a lock
// that concurrent test programs share.
const QString& provisionedTemplate()
{
    static const QString directory = []() -> QString {
        // Named by what a provisioned token holds, so that a build tree's older template is not taken.
        const QString made = QStringLiteral(TALVO_BINARY_DIR "/softhsm-token-template-2");
        std::string error;
        sim::FileLock lock;
        if (lock.acquire((made + ".lock").toStdString(), sim::FileLock::Mode::Exclusive, &error) !=
            sim::FileLock::Result::Locked) {
            ADD_FAILURE() << "cannot lock the token template: " << error;
            return {};
        }
        if (QFile::exists(made + "/done"))
            return made;
        QDir(made).removeRecursively();
        writeConfiguration(made);
        const ScopedEnvironment configuration("SOFTHSM2_CONF", (made + "/softhsm2.conf").toLocal8Bit());
        const sim::TokenReference reference{"pkcs11:token=" + SoftHsmToken::label().toStdString(),
                                            (made + "/pin").toStdString()};
        if (!initialiseToken(made) ||
            !sim::provisionTokenKey((made + "/state").toStdString(), reference, sim::KeyContent::Empty,
                                    sim::TokenPairs::New, &error)) {
            ADD_FAILURE() << "cannot provision the token template: " << error;
            return {};
        }
        TempDirectory::writeFile(made + "/done", {});
        return made;
    }();
    return directory;
}

} // namespace

SoftHsmToken::SoftHsmToken(Holds holds)
{
    const QString directory = m_directory.path();
    writeConfiguration(directory);
    m_configuration =
        std::make_unique<ScopedEnvironment>("SOFTHSM2_CONF", (directory + "/softhsm2.conf").toLocal8Bit());
    if (holds == Holds::Nothing) {
        initialiseToken(directory);
        return;
    }
    const QString& made = provisionedTemplate();
    std::error_code ec;
    std::filesystem::copy(
        (made + "/tokens").toStdString(), (directory + "/tokens").toStdString(),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, ec);
    if (made.isEmpty() || ec)
        ADD_FAILURE() << "cannot copy the token template: " << ec.message();
}

SoftHsmToken::~SoftHsmToken() = default;

QString SoftHsmToken::label()
{
    return QStringLiteral("talvo-test");
}

QString SoftHsmToken::uri() const
{
    return "pkcs11:token=" + label();
}

QString SoftHsmToken::pinFile() const
{
    return m_directory.filePath("pin");
}

void SoftHsmToken::remove()
{
    ASSERT_TRUE(QDir().rename(m_directory.filePath("tokens"), m_directory.filePath("away")));
    ASSERT_TRUE(QDir().mkdir(m_directory.filePath("tokens")));
}

void SoftHsmToken::putBack()
{
    ASSERT_TRUE(QDir(m_directory.filePath("tokens")).removeRecursively());
    ASSERT_TRUE(QDir().rename(m_directory.filePath("away"), m_directory.filePath("tokens")));
}

} // namespace talvo::testing
