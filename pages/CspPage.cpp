#include "CspPage.h"

#include "resources/DialogTemplates.h"

namespace talvo {

CspPage::CspPage() : BindingPage(IDD_CSP) {}

} // namespace talvo
