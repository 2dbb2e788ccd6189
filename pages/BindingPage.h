#pragma once

#include "platform/widgets/TemplateDialog.h"

namespace talvo {

class KeyDriverBinding;

// A tab page of the main window: a child dialog that the main window hands the key driver
// binding to once, after the page's window exists. The page never owns the binding.
class BindingPage : public TemplateDialog {
    Q_OBJECT
public:
    explicit BindingPage(int templateId);

    void setBinding(KeyDriverBinding* binding) { m_binding = binding; }
    KeyDriverBinding* binding() const { return m_binding; }

protected:
    KeyDriverBinding* m_binding = nullptr;
};

} // namespace talvo
