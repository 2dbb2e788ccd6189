#pragma once

#include "pages/CspPage.h"
#include "pages/DeviceInfoPage.h"
#include "pages/PinPage.h"
#include "platform/widgets/TemplateDialog.h"

#include <QIcon>

#include <memory>

namespace talvo {

class KeyDriverBinding;
class TabControl;

// The tool's only top-level window: runs the login, holds the three pages in its tab control,
// owns the one key driver binding and shows the key's serial number.
class MainDialog : public TemplateDialog {
    Q_OBJECT
public:
    MainDialog();
    ~MainDialog() override;

    KeyDriverBinding* binding() const { return m_binding.get(); }
    DeviceInfoPage& deviceInfoPage() { return m_deviceInfoPage; }
    CspPage& cspPage() { return m_cspPage; }
    PinPage& pinPage() { return m_pinPage; }
    TabControl* tabControl() const { return m_tabControl; }
    // The rectangle, in tab control coordinates, that every page occupies.
    QRect pageRectangle() const;

    void done(int result) override;

protected:
    bool onInitDialog() override;

private:
    void addPageKeys();
    void runLogin();
    void createPages();
    void onTabSelectionChanged();
    void onRefreshSerial();
    void cleanUp();

    std::unique_ptr<KeyDriverBinding> m_binding;
    DeviceInfoPage m_deviceInfoPage;
    CspPage m_cspPage;
    PinPage m_pinPage;
    TabControl* m_tabControl = nullptr;
    QIcon m_icon;
    bool m_cleanedUp = false;
};

} // namespace talvo
