#pragma once

#include "BindingPage.h"

#include <cstdint>
#include <optional>

namespace talvo {

// The first tab: the key's base information, low format and the seal list.
class DeviceInfoPage : public BindingPage {
    Q_OBJECT
public:
    enum Control {
        ModeEdit = 1012,
        PinHashEdit = 1070,
        UnitIdEdit = 1009,
        UserIdEdit = 1010,
        ErrorTimesEdit = 1016,
        SealCountEdit = 1015,
        ClearButton = 1027,
        InitialiseButton = 1059,
        SetButton = 1024,
        ViewButton = 1023,
        SealManagementButton = 1062,
        FactoryCheck = 1064,
        FormatCheck = 1019,
        InitCheck = 1020,
        LockCheck = 1021,
        TimeControlCheck = 1095,
        KeyRoleCheck = 1096,
    };

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

    int m_factory = 0;
    int m_format = 0;
    int m_init = 0;
    int m_lock = 0;
    int m_timeControl = 0;
    int m_keyRole = 0;
};

} // namespace talvo
