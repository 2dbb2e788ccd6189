#include "DeviceInfoPage.h"

#include "resources/DialogTemplates.h"

namespace talvo {

DeviceInfoPage::DeviceInfoPage() : BindingPage(IDD_DEVICE_INFO) {}

} // namespace talvo
