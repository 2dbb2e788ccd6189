#pragma once

#include <QString>
#include <QStringList>

namespace talvo::testing {

struct TalvoKeyRun {
    int exitCode = -1;
    QString out;
    QString err;
    // Whether the program loaded libTalvoDriver.so at all, as the dynamic loader reported.
    bool driverLoaded = false;
};

enum class StandardOutput { Captured, Full, Closed };

// Runs the built talvo-key against the simulated key that TALVO_SIM_DIR names, in a session
// of its own (so no terminal answers for it) and in the C locale (messages as UTF-8), with the
// arguments' bytes as decodeNativePath gives them.
TalvoKeyRun runTalvoKey(const QStringList& arguments, StandardOutput output = StandardOutput::Captured);

// Runs it on a pseudo-terminal of its own: each answer is typed, with its line end, once the
// text before it has appeared. The run's output is everything the terminal showed.
TalvoKeyRun runTalvoKeyOnTerminal(const QStringList& arguments,
                                  const QList<QPair<QString, QString>>& answers);

// The same for any program (a shell), each answer typed exactly as given.
TalvoKeyRun runOnTerminal(const QString& program, const QStringList& arguments,
                          const QList<QPair<QString, QString>>& answers);

} // namespace talvo::testing
