#include "BindingPage.h"

#include "resources/DialogTemplates.h"

namespace talvo {

BindingPage::BindingPage(int templateId) : TemplateDialog(dialogTemplate(templateId)) {}

} // namespace talvo
