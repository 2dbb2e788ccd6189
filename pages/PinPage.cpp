#include "PinPage.h"

#include "resources/DialogTemplates.h"

namespace talvo {

PinPage::PinPage() : BindingPage(IDD_PIN) {}

} // namespace talvo
