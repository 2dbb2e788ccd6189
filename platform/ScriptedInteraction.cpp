#include "ScriptedInteraction.h"

#include <QDialog>

namespace talvo {

ScriptedInteraction::ScriptedInteraction() : m_previous(installedInteraction())
{
    setInteraction(this);
}

ScriptedInteraction::~ScriptedInteraction()
{
    setInteraction(m_previous);
}

BoxResult ScriptedInteraction::messageBox(const MessageBoxRequest& request)
{
    m_boxes.push_back(request);
    if (m_boxHook)
        m_boxHook(request);
    if (!m_boxAnswers.empty()) {
        const BoxResult answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
        return answer;
    }
    return request.buttons == BoxButtons::Ok ? BoxResult::Ok : request.defaultButton;
}

std::optional<QString> ScriptedInteraction::fileDialog(const FileDialogRequest& request)
{
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty())
        return std::nullopt;
    std::optional<QString> answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

int ScriptedInteraction::runModal(QDialog& dialog)
{
    m_modalDialogs.append(QString::fromLatin1(dialog.metaObject()->className()));
    dialog.setResult(0);
    dialog.show();
    if (!m_modalScripts.empty()) {
        const auto script = std::move(m_modalScripts.front());
        m_modalScripts.pop_front();
        script(dialog);
    }
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

bool ScriptedInteraction::shellOpen(const QString& path)
{
    m_shellOpened.append(path);
    return m_shellResult;
}

QStringList ScriptedInteraction::boxTexts() const
{
    QStringList texts;
    for (const MessageBoxRequest& box : m_boxes)
        texts.append(box.text);
    return texts;
}

void ScriptedInteraction::clearRecords()
{
    m_boxes.clear();
    m_fileDialogs.clear();
    m_modalDialogs.clear();
    m_shellOpened.clear();
}

} // namespace talvo
