#include "SimulatedKey.h"

#include "simulator/key/FileLock.h"
#include "simulator/key/KeyProvisioning.h"
#include "simulator/key/KeyState.h"
#include "simulator/key/TokenProvisioning.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace talvo::testing {

namespace {

std::filesystem::path toPath(const QString& directory)
{
    return std::filesystem::path(directory.toStdString());
}

// RSA key generation is slow under the sanitizers, and CTest runs every test in a process of
// its own: the container is made once for the build tree, under a lock that concurrent test
// programs share, and copied into every key.
const std::filesystem::path& containerTemplate()
{
    static const std::filesystem::path path = []() -> std::filesystem::path {
        const std::filesystem::path directory =
            std::filesystem::path(TALVO_BINARY_DIR) / "simulated-key-template";
        std::string error;
        sim::FileLock lock;
        // Another test program may be making it meanwhile, which takes long under the sanitizers.
        if (lock.acquire(directory.string() + ".lock", sim::FileLock::Mode::Exclusive, &error,
                         std::chrono::minutes(5)) != sim::FileLock::Result::Locked) {
            ADD_FAILURE() << "cannot lock the simulated key's template: " << error;
            return {};
        }
        if (sim::containerIsWhole(directory))
            return directory;
        std::error_code ec;
        std::filesystem::remove_all(directory, ec);
        if (!sim::createKey(directory, sim::KeyContent::Empty, {}, &error)) {
            ADD_FAILURE() << "cannot make the simulated key's container: " << error;
            return {};
        }
        return directory;
    }();
    return path;
}

void change(const QString& directory, const sim::StateChange& change)
{
    std::string error;
    if (!sim::changeKeyState(toPath(directory), change, &error))
        ADD_FAILURE() << "cannot change the simulated key: " << error;
}

} // namespace

SimulatedKey::SimulatedKey(Content content, Backing backing)
    : m_environment("TALVO_SIM_DIR", m_directory.path().toLocal8Bit()),
      m_homeEnvironment("HOME", m_home.path().toLocal8Bit())
{
    std::string error;
    const sim::KeyContent made = content == Content::Demo ? sim::KeyContent::Demo : sim::KeyContent::Empty;
    if (backing == Backing::Token) {
        // The copied token holds whole pairs: only the content is written.
        m_token = std::make_unique<SoftHsmToken>(SoftHsmToken::Holds::TalvoKey);
        const sim::TokenReference reference{m_token->uri().toStdString(), m_token->pinFile().toStdString()};
        if (!sim::provisionTokenKey(toPath(directory()), reference, made, sim::TokenPairs::KeepWhole, &error))
            ADD_FAILURE() << "cannot put a simulated key on the token: " << error;
        return;
    }
    const std::filesystem::path& container = containerTemplate();
    if (container.empty() || !sim::createKey(toPath(directory()), made, container, &error))
        ADD_FAILURE() << "cannot make a simulated key in " << directory().toStdString() << ": " << error;
}

SimulatedKey::~SimulatedKey() = default;

QString SimulatedKey::directory() const
{
    return m_directory.path();
}

bool SimulatedKey::run(const QStringList& arguments, QString* output) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TALVO_SIM_DIR"), directory());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(TALVO_SIM_EXECUTABLE), arguments);
    const bool finished = process.waitForStarted() && process.waitForFinished(60000);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void SimulatedKey::fail(const QString& function, int status)
{
    const std::string name = function.toStdString();
    if (!sim::isCalledFunction(name)) {
        ADD_FAILURE() << "no driver function " << name << " to fail";
        return;
    }
    change(directory(), [&](sim::KeyState& state, std::string*) {
        state.failures[name] = status;
        return true;
    });
}

void SimulatedKey::clearFailures()
{
    change(directory(), [](sim::KeyState& state, std::string*) {
        state.failures.clear();
        return true;
    });
}

void SimulatedKey::unplug()
{
    std::string error;
    if (!sim::setPlugged(toPath(directory()), false, &error))
        ADD_FAILURE() << "cannot unplug the simulated key: " << error;
}

void SimulatedKey::plug()
{
    std::string error;
    if (!sim::setPlugged(toPath(directory()), true, &error))
        ADD_FAILURE() << "cannot plug the simulated key in: " << error;
}

} // namespace talvo::testing
