#include "TerminalPrompt.h"

#include "platform/LocaleText.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace talvo::keytool {

namespace {

// An answer longer than this is not a PIN or a password; the rest of the line is dropped.
constexpr std::size_t kMaxAnswerBytes = 1024;

// What a signal handler needs to give the terminal its echo back.
volatile sig_atomic_t g_echoOffDescriptor = -1;
termios g_savedTerminal{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreEchoAndEnd(int signalNumber)
{
    if (g_echoOffDescriptor >= 0)
        tcsetattr(g_echoOffDescriptor, TCSAFLUSH, &g_savedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

class EchoOff {
public:
    explicit EchoOff(int descriptor)
    {
        if (tcgetattr(descriptor, &g_savedTerminal) != 0)
            return;
        for (int signalNumber : kEndingSignals) {
            struct sigaction action {};
            action.sa_handler = restoreEchoAndEnd;
            sigemptyset(&action.sa_mask);
            sigaction(signalNumber, &action, &m_previous[index(signalNumber)]);
        }
        termios quiet = g_savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        g_echoOffDescriptor = descriptor;
        m_active = tcsetattr(descriptor, TCSAFLUSH, &quiet) == 0;
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
    static std::size_t index(int signalNumber)
    {
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (kEndingSignals[i] == signalNumber)
                return i;
        }
        return 0;
    }
    void restore()
    {
        const int descriptor = g_echoOffDescriptor;
        if (descriptor >= 0)
            tcsetattr(descriptor, TCSAFLUSH, &g_savedTerminal);
        g_echoOffDescriptor = -1;
        for (int signalNumber : kEndingSignals)
            sigaction(signalNumber, &m_previous[index(signalNumber)], nullptr);
    }

    struct sigaction m_previous[std::size(kEndingSignals)]{};
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
    const EchoOff echoOff(m_descriptor);
    write(inLocaleEncoding(prompt));
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
