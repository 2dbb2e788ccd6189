#include "TerminalPrompt.h"

#include "platform/core/LocaleText.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace talvo::keytool {

namespace {

// An answer longer than this is not a PIN or a password; the rest of the line is dropped.
constexpr std::size_t kMaxAnswerBytes = 1024;

// What a signal handler needs to give the terminal its echo back, and to take it away and
// ask again once the program is continued.
volatile sig_atomic_t g_echoOffDescriptor = -1;
termios g_savedTerminal{};
termios g_quietTerminal{};
char g_prompt[256]; // on a line of its own
volatile sig_atomic_t g_promptLength = 0;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kStoppingSignals[] = {SIGTSTP, SIGTTIN, SIGTTOU};
constexpr std::size_t kHandledSignals = std::size(kEndingSignals) + std::size(kStoppingSignals) + 1;

bool inForeground(int descriptor)
{
    return ::tcgetpgrp(descriptor) == ::getpgrp();
}

extern "C" void restoreEchoAndEnd(int signalNumber)
{
    if (g_echoOffDescriptor >= 0)
        tcsetattr(g_echoOffDescriptor, TCSAFLUSH, &g_savedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// Ctrl-Z: the shell gets the terminal back as it was, echo included, and the program stops.
extern "C" void restoreEchoAndStop(int signalNumber)
{
    const int saved = errno;
    const int descriptor = g_echoOffDescriptor;
    if (descriptor >= 0 && inForeground(descriptor))
        tcsetattr(descriptor, TCSANOW, &g_savedTerminal);
    struct sigaction stop {};
    struct sigaction ours {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(signalNumber, &stop, &ours);
    sigset_t pending;
    sigemptyset(&pending);
    sigaddset(&pending, signalNumber);
    sigprocmask(SIG_UNBLOCK, &pending, nullptr);
    std::raise(signalNumber);
    // Continued ("fg"), or never stopped (the kernel drops a stop for an orphaned process
    // group): the handler comes back for the next stop, and the terminal is quiet again.
    sigaction(signalNumber, &ours, nullptr);
    if (descriptor >= 0 && inForeground(descriptor))
        tcsetattr(descriptor, TCSANOW, &g_quietTerminal);
    errno = saved;
}

// Continued in the foreground: echo off again, and the question asked again, since what it
// asked has scrolled away or the shell's lines stand after it.
extern "C" void hideAgainOnContinue(int)
{
    const int saved = errno;
    const int descriptor = g_echoOffDescriptor;
    if (descriptor >= 0 && inForeground(descriptor)) {
        tcsetattr(descriptor, TCSANOW, &g_quietTerminal);
        [[maybe_unused]] const ssize_t shown =
            ::write(descriptor, g_prompt, static_cast<std::size_t>(g_promptLength));
    }
    errno = saved;
}

struct HandledSignal {
    int number;
    void (*handler)(int);
};

class EchoOff {
public:
    EchoOff(int descriptor, const std::string& prompt)
    {
        if (tcgetattr(descriptor, &g_savedTerminal) != 0)
            return;
        g_prompt[0] = '\n';
        const std::size_t length = std::min(prompt.size(), sizeof g_prompt - 1);
        std::memcpy(g_prompt + 1, prompt.data(), length);
        g_promptLength = static_cast<sig_atomic_t>(length + 1);
        g_quietTerminal = g_savedTerminal;
        g_quietTerminal.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        g_quietTerminal.c_lflag |= ECHONL;
        std::size_t next = 0;
        for (int signalNumber : kEndingSignals)
            m_handled[next++] = {signalNumber, restoreEchoAndEnd};
        for (int signalNumber : kStoppingSignals)
            m_handled[next++] = {signalNumber, restoreEchoAndStop};
        m_handled[next] = {SIGCONT, hideAgainOnContinue};
        for (std::size_t i = 0; i < kHandledSignals; ++i) {
            struct sigaction action {};
            action.sa_handler = m_handled[i].handler;
            sigemptyset(&action.sa_mask);
            // A stop and a continue never run into each other half done.
            sigaddset(&action.sa_mask, SIGCONT);
            action.sa_flags = SA_RESTART;
            sigaction(m_handled[i].number, &action, &m_previous[i]);
        }
        g_echoOffDescriptor = descriptor;
        m_active = tcsetattr(descriptor, TCSAFLUSH, &g_quietTerminal) == 0;
        if (!m_active)
            restore();
    }
    ~EchoOff()
    {
        if (m_active)
            restore();
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    void restore()
    {
        const int descriptor = g_echoOffDescriptor;
        g_echoOffDescriptor = -1;
        if (descriptor >= 0)
            tcsetattr(descriptor, TCSAFLUSH, &g_savedTerminal);
        for (std::size_t i = 0; i < kHandledSignals; ++i)
            sigaction(m_handled[i].number, &m_previous[i], nullptr);
    }

    HandledSignal m_handled[kHandledSignals]{};
    struct sigaction m_previous[kHandledSignals] {};
    bool m_active = false;
};

} // namespace

TerminalPrompt::~TerminalPrompt()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool TerminalPrompt::open()
{
    if (m_descriptor < 0)
        m_descriptor = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    return m_descriptor >= 0;
}

void TerminalPrompt::write(const std::string& bytes) const
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        done += static_cast<std::size_t>(written);
    }
}

std::optional<std::string> TerminalPrompt::readLine()
{
    std::string line;
    for (;;) {
        char byte = 0;
        const ssize_t got = ::read(m_descriptor, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        if (byte == '\n')
            break;
        if (line.size() < kMaxAnswerBytes)
            line.push_back(byte);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::string> TerminalPrompt::askHidden(const QString& prompt)
{
    if (!open())
        return std::nullopt;
    // Echo goes off before the prompt shows, so that nothing typed after it is ever echoed.
    const std::string shown = inLocaleEncoding(prompt);
    const EchoOff echoOff(m_descriptor, shown);
    write(shown);
    return readLine();
}

std::optional<bool> TerminalPrompt::confirm(const QString& question)
{
    if (!open())
        return std::nullopt;
    write(inLocaleEncoding(question + QStringLiteral(" [y/N] ")));
    const std::optional<std::string> answer = readLine();
    if (!answer)
        return std::nullopt;
    return !answer->empty() && ((*answer)[0] == 'y' || (*answer)[0] == 'Y');
}

} // namespace talvo::keytool
