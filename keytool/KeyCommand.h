#pragma once

namespace talvo {
class KeyDriverBinding;
}

namespace talvo::keytool {

class Console;
class TerminalPrompt;

// One command of talvo-key in its three steps. Only run reaches the key: everything that can
// be refused is refused in check or ask, before the driver is even loaded.
class KeyCommand {
public:
    virtual ~KeyCommand() = default;

    // The arguments and the files they name, before the password is asked. 0 to go on, else
    // the exit status.
    virtual int check(Console& console) = 0;
    // What the operator is asked once the password is right: PINs, a confirmation.
    virtual int ask(TerminalPrompt& /*terminal*/, Console& /*console*/) { return 0; }
    // What is read once the password is right and the answers are in: a seal picture, which
    // may be large. 0 to go on, else the exit status.
    virtual int prepare(Console& /*console*/) { return 0; }
    // The button's driver calls, in its order. The exit status.
    virtual int run(KeyDriverBinding& binding, Console& console) = 0;
};

} // namespace talvo::keytool
