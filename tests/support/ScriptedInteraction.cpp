#include "ScriptedInteraction.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace talvo {

namespace {

QString answerName(BoxResult answer)
{
    switch (answer) {
    case BoxResult::Ok:
        return QStringLiteral("Ok");
    case BoxResult::Cancel:
        return QStringLiteral("Cancel");
    case BoxResult::Yes:
        return QStringLiteral("Yes");
    case BoxResult::No:
        return QStringLiteral("No");
    }
    return QStringLiteral("BoxResult(%1)").arg(static_cast<int>(answer));
}

bool offers(BoxButtons buttons, BoxResult answer)
{
    if (buttons == BoxButtons::Ok)
        return answer == BoxResult::Ok;
    return answer == BoxResult::Yes || answer == BoxResult::No;
}

std::string describe(const MessageBoxRequest& box)
{
    return QStringLiteral("%1 box \"%2\" captioned \"%3\"")
        .arg(box.buttons == BoxButtons::Ok ? QStringLiteral("Ok") : QStringLiteral("Yes/No"), box.text,
             box.caption)
        .toStdString();
}

std::string describe(const FileDialogRequest& dialog)
{
    return QStringLiteral("%1 file dialog (file name \"%2\", filter \"%3\")")
        .arg(dialog.open ? QStringLiteral("open") : QStringLiteral("save"), dialog.initialFileName,
             dialog.filter)
        .toStdString();
}

} // namespace

ScriptedInteraction::ScriptedInteraction() : m_previous(installedInteraction())
{
    setInteraction(this);
}

ScriptedInteraction::~ScriptedInteraction()
{
    setInteraction(m_previous);
    // A test stopped by a fatal failure has not reached the boxes its answers were for.
    if (!allScriptsUsed() && !::testing::Test::HasFatalFailure())
        ADD_FAILURE() << "scripted answers left unused: "
                      << unusedScripts().join(QStringLiteral(", ")).toStdString();
}

BoxResult ScriptedInteraction::messageBox(const MessageBoxRequest& request)
{
    m_boxes.push_back(request);
    if (m_boxHook)
        m_boxHook(request);
    if (m_boxAnswers.empty()) {
        const BoxResult fallback = request.buttons == BoxButtons::Ok ? BoxResult::Ok : request.defaultButton;
        ADD_FAILURE() << "met unscripted: " << describe(request) << "; it took its default button "
                      << answerName(fallback).toStdString();
        return fallback;
    }
    const BoxResult answer = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    if (!offers(request.buttons, answer))
        ADD_FAILURE() << "scripted answer " << answerName(answer).toStdString() << " for "
                      << describe(request) << ", which has no such button";
    return answer;
}

std::optional<QString> ScriptedInteraction::fileDialog(const FileDialogRequest& request)
{
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty()) {
        ADD_FAILURE() << "met unscripted: " << describe(request) << "; it was cancelled";
        return std::nullopt;
    }
    std::optional<QString> answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

int ScriptedInteraction::runModal(QDialog& dialog)
{
    const QString className = QString::fromLatin1(dialog.metaObject()->className());
    m_modalDialogs.append(className);
    dialog.setResult(0);
    dialog.show();
    if (m_modalScripts.empty()) {
        ADD_FAILURE() << "met unscripted: modal dialog " << className.toStdString() << "; it was cancelled";
    } else {
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

QStringList ScriptedInteraction::unusedScripts() const
{
    QStringList unused;
    for (const BoxResult answer : m_boxAnswers)
        unused.append(QStringLiteral("box answer %1").arg(answerName(answer)));
    for (const std::optional<QString>& path : m_fileAnswers)
        unused.append(path ? QStringLiteral("file dialog answer \"%1\"").arg(*path)
                           : QStringLiteral("file dialog answer cancel"));
    if (!m_modalScripts.empty())
        unused.append(QStringLiteral("%1 modal dialog script(s)").arg(m_modalScripts.size()));
    return unused;
}

} // namespace talvo
