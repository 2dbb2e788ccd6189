#pragma once

#include "BindingPage.h"

namespace talvo {

// The third tab: PIN change and check, the stored hash and the certificate-store functions.
class PinPage : public BindingPage {
    Q_OBJECT
public:
    PinPage();
};

} // namespace talvo
