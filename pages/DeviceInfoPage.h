#pragma once

#include "BindingPage.h"
#include "key/DeviceInfoFields.h"

#include <cstdint>
#include <optional>

namespace talvo {

// The first tab: the key's base information, low format and the seal list.
class DeviceInfoPage : public BindingPage {
    Q_OBJECT
public:
    DeviceInfoPage();

protected:
    bool onInitDialog() override;

private:
    // Moves the six check-box members to their boxes, or back when fromForm is true.
    void exchangeChecks(bool fromForm);
    void showCheck(int id, int value);

    void onView();
    void onSet();
    void onInitialise();
    void onClear();
    void onSealManagement();

    bool keyPresent() const;
    void showStatusError(int32_t status);
    std::optional<int32_t> modeFromForm() const;

    DeviceFlags m_flags;
};

} // namespace talvo
