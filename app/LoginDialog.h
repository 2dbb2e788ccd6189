#pragma once

#include "key/ToolPassword.h"
#include "platform/widgets/TemplateDialog.h"

namespace talvo {

// Stands between start-up and everything else: only the tool's password opens the main window.
class LoginDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* kPassword = kToolPassword.data();

    explicit LoginDialog(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;
    void onOk() override;
};

} // namespace talvo
