#pragma once

#include "BindingPage.h"

namespace talvo {

// The second tab: the key's certificate and signature functions and the secure message files.
class CspPage : public BindingPage {
    Q_OBJECT
public:
    CspPage();
};

} // namespace talvo
