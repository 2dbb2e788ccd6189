#pragma once

#include "platform/DialogTemplate.h"

namespace talvo {

enum DialogTemplateId {
    IDD_MAIN = 102,
    IDD_SEAL_LIST = 129,
    IDD_SEAL_NAME = 130,
    IDD_SEAL_TIME = 132,
    IDD_DEVICE_INFO = 133,
    IDD_CSP = 134,
    IDD_PIN = 135,
    IDD_CERT_EXPORT = 136,
    IDD_LOGIN = 137,
};

// The template with that id; an unknown id is a programming error and aborts.
const DialogTemplate& dialogTemplate(int id);

} // namespace talvo
