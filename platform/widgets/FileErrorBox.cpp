#include "FileErrorBox.h"

#include "Interaction.h"

namespace talvo {

void showFileErrorBox(const QString& path, int errorNumber)
{
    MessageBoxRequest request;
    request.owner = mainWindow();
    request.text = fileErrorText(path, errorNumber);
    request.caption = applicationName();
    request.icon = BoxIcon::Error;
    interaction().messageBox(request);
}

} // namespace talvo
