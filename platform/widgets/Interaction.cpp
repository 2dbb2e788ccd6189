#include "Interaction.h"

#include "QtInteraction.h"
#include "platform/core/NativePath.h"

#include <QCoreApplication>

namespace talvo {

namespace {
Interaction* g_interaction = nullptr;
QPointer<QWidget> g_mainWindow;

QtInteraction& qtInteraction()
{
    static QtInteraction instance;
    return instance;
}
} // namespace

Interaction& interaction()
{
    return g_interaction ? *g_interaction : qtInteraction();
}

void setInteraction(Interaction* implementation)
{
    g_interaction = implementation;
}

Interaction* installedInteraction()
{
    return g_interaction;
}

void setMainWindow(QWidget* window)
{
    g_mainWindow = window;
}

QWidget* mainWindow()
{
    return g_mainWindow.data();
}

QString applicationName()
{
    return QCoreApplication::applicationName();
}

BoxResult windowMessageBox(QWidget* owner, const QString& text, const QString& caption, BoxIcon icon,
                           BoxButtons buttons, BoxResult defaultButton)
{
    MessageBoxRequest request;
    request.owner = owner;
    request.text = text;
    request.caption = caption.isEmpty() ? applicationName() : caption;
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return interaction().messageBox(request);
}

BoxResult applicationMessageBox(const QString& text, BoxButtons buttons, BoxIcon icon,
                                BoxResult defaultButton)
{
    MessageBoxRequest request;
    request.owner = mainWindow();
    request.text = text;
    request.caption = applicationName();
    request.icon = icon == BoxIcon::None ? BoxIcon::Warning : icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return interaction().messageBox(request);
}

std::optional<QString> chooseFile(const FileDialogRequest& request)
{
    const std::optional<QString> shown = interaction().fileDialog(request);
    if (!shown)
        return std::nullopt;
    if (std::optional<QString> chosen = resolveShownPath(*shown))
        return chosen;
    windowMessageBox(
        request.owner.data(),
        QStringLiteral("无法确定所选的文件：文件夹里有几个文件的名字都显示为\n%1\n请先给文件改名。")
            .arg(*shown),
        QStringLiteral("错误"), BoxIcon::Error);
    return std::nullopt;
}

QStringList nameFiltersFromWindowsFilter(const QString& filter)
{
    QString body = filter;
    while (body.endsWith(QLatin1Char('|')))
        body.chop(1);
    const QStringList parts = body.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filters.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

} // namespace talvo
