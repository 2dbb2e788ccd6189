#include "TalvoKeyRunner.h"
#include "platform/core/NativePath.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace talvo::testing {

namespace {

const QString kProgram = QStringLiteral(TALVO_BINARY_DIR "/bin/talvo-key");

// The loader's own account of what it loaded, written into the directory, one file a process.
void traceLoads(QProcessEnvironment& environment, const QTemporaryDir& traces)
{
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
    environment.insert(QStringLiteral("LD_DEBUG_OUTPUT"), traces.filePath(QStringLiteral("ld")));
}

// Any mention counts: even a search for the driver is a step towards the key.
bool loadedDriver(const QTemporaryDir& traces)
{
    const QDir directory(traces.path());
    const QStringList files = directory.entryList(QDir::Files);
    EXPECT_FALSE(files.isEmpty()) << "the dynamic loader wrote no trace";
    for (const QString& name : files) {
        QFile file(directory.filePath(name));
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains("libTalvoDriver.so"))
            return true;
    }
    return false;
}

// QProcess hands arguments over as UTF-8: through bash, each byte quoted, they arrive as given.
QString quotedBytes(const QString& argument)
{
    QString quoted = QStringLiteral("$'");
    for (const char byte : encodeNativePath(argument))
        quoted += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
    return quoted + QLatin1Char('\'');
}

} // namespace

TalvoKeyRun runTalvoKey(const QStringList& arguments, StandardOutput output)
{
    QTemporaryDir traces;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    traceLoads(environment, traces);
    // The loader's trace file would take the number of a closed standard output.
    if (output == StandardOutput::Closed)
        environment.remove(QStringLiteral("LD_DEBUG"));
    QProcess process;
    process.setProcessEnvironment(environment);
    if (output == StandardOutput::Full)
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.setChildProcessModifier([] { ::setsid(); });
    QString command = QStringLiteral("exec ") + quotedBytes(kProgram);
    for (const QString& argument : arguments)
        command += QLatin1Char(' ') + quotedBytes(argument);
    if (output == StandardOutput::Closed)
        command += QStringLiteral(" >&-");
    process.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), command});
    EXPECT_TRUE(process.waitForFinished(60000)) << "talvo-key did not end";
    TalvoKeyRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.driverLoaded = output != StandardOutput::Closed && loadedDriver(traces);
    return run;
}

TalvoKeyRun runTalvoKeyOnTerminal(const QStringList& arguments, const QList<QPair<QString, QString>>& answers)
{
    QList<QPair<QString, QString>> lines;
    for (const auto& [cue, answer] : answers)
        lines.append({cue, answer + QLatin1Char('\n')});
    return runOnTerminal(kProgram, arguments, lines);
}

TalvoKeyRun runOnTerminal(const QString& program, const QStringList& arguments,
                          const QList<QPair<QString, QString>>& answers)
{
    QTemporaryDir traces;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    traceLoads(environment, traces);
    // Everything the child needs is made before the fork.
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    const std::size_t argumentCount = storage.size();
    for (const QString& entry : environment.toStringList())
        storage.push_back(entry.toLocal8Bit());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (std::size_t i = 0; i < storage.size(); ++i)
        (i < argumentCount ? argv : envp).push_back(storage[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    TalvoKeyRun run;
    if (child < 0) {
        ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
        return run;
    }
    QByteArray shown;
    qsizetype answered = 0;
    qsizetype searchFrom = 0;
    for (;;) {
        if (answered < answers.size()) {
            const QByteArray cue = answers[answered].first.toUtf8();
            const qsizetype at = shown.indexOf(cue, searchFrom);
            if (at >= 0) {
                const QByteArray line = answers[answered].second.toUtf8();
                if (::write(terminal, line.constData(), static_cast<std::size_t>(line.size())) != line.size())
                    ADD_FAILURE() << "could not type on the terminal";
                searchFrom = at + cue.size();
                ++answered;
                continue;
            }
        }
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 60000) <= 0) {
            ADD_FAILURE() << "talvo-key went quiet: " << shown.toStdString();
            ::kill(child, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0)
            break; // the child closed the terminal (EIO)
        shown.append(buffer, got);
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = QString::fromUtf8(shown);
    run.driverLoaded = loadedDriver(traces);
    return run;
}

} // namespace talvo::testing
