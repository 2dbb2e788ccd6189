#pragma once

#include "BindingPage.h"

namespace talvo {

// The first tab: the key's base information, low format and the seal list.
class DeviceInfoPage : public BindingPage {
    Q_OBJECT
public:
    DeviceInfoPage();
};

} // namespace talvo
