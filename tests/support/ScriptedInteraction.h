#pragma once

#include "platform/widgets/Interaction.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace talvo {

// The seam for tests: records every box, file dialog, modal dialog and shell action, and
// answers each from a queue. It is strict, as a test must be about every modal thing it
// meets: a box, file dialog or modal dialog met with nothing queued for it, a box answered
// with a button it does not offer, and answers still queued when the seam ends each fail the
// running test, saying what was met or left. (The unscripted box still takes its default
// button, and the unscripted dialog is still cancelled, so the test runs on to its end.)
// Installs itself for its lifetime.
class ScriptedInteraction : public Interaction {
public:
    ScriptedInteraction();
    ~ScriptedInteraction() override;
    ScriptedInteraction(const ScriptedInteraction&) = delete;
    ScriptedInteraction& operator=(const ScriptedInteraction&) = delete;

    BoxResult messageBox(const MessageBoxRequest& request) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    int runModal(QDialog& dialog) override;
    bool shellOpen(const QString& path) override;

    void answerBox(BoxResult answer) { m_boxAnswers.push_back(answer); }
    void answerFileDialog(std::optional<QString> path) { m_fileAnswers.push_back(std::move(path)); }
    // The script drives the real dialog after it has been shown and initialised: it may
    // type, click and end it. A dialog the script leaves open is cancelled.
    void scriptModal(std::function<void(QDialog&)> script) { m_modalScripts.push_back(std::move(script)); }
    // Called as each box is shown, before it is answered (to look at state at that moment).
    void onBox(std::function<void(const MessageBoxRequest&)> hook) { m_boxHook = std::move(hook); }
    void setShellOpenResult(bool result) { m_shellResult = result; }

    const std::vector<MessageBoxRequest>& boxes() const { return m_boxes; }
    QStringList boxTexts() const;
    const std::vector<FileDialogRequest>& fileDialogs() const { return m_fileDialogs; }
    // Class names of the dialogs run modally, in order.
    const QStringList& modalDialogs() const { return m_modalDialogs; }
    const QStringList& shellOpened() const { return m_shellOpened; }
    bool allScriptsUsed() const
    {
        return m_boxAnswers.empty() && m_fileAnswers.empty() && m_modalScripts.empty();
    }
    void clearRecords();

private:
    QStringList unusedScripts() const;

    Interaction* m_previous = nullptr;
    std::deque<BoxResult> m_boxAnswers;
    std::deque<std::optional<QString>> m_fileAnswers;
    std::deque<std::function<void(QDialog&)>> m_modalScripts;
    std::function<void(const MessageBoxRequest&)> m_boxHook;
    std::vector<MessageBoxRequest> m_boxes;
    std::vector<FileDialogRequest> m_fileDialogs;
    QStringList m_modalDialogs;
    QStringList m_shellOpened;
    bool m_shellResult = true;
};

} // namespace talvo
