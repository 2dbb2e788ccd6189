#pragma once

#include "device/DriverConventions.h"
#include "device/TalvoDriverApi.h"
#include "platform/widgets/TemplateDialog.h"

#include <string>

class QCalendarWidget;

namespace talvo {

// Asks for the name of a seal about to be added and for the day it expires. Never touches
// the driver: the caller passes the texts on.
class SealNameDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr std::size_t kNameBytes = kSealNameMaxBytes;

    explicit SealNameDialog(QWidget* parent = nullptr);

    // Copy the texts, zero-padded, into the caller's zero-filled buffers; the last byte stays 0.
    void GetSealName(char (&buffer)[TL_SEAL_NAME_SIZE]) const;
    void GetExpiryTime(char (&buffer)[TL_SEAL_TIME_SIZE]) const;

    const std::string& name() const { return m_name; }
    const std::string& expiry() const { return m_expiry; }

protected:
    bool onInitDialog() override;
    void onOk() override;

private:
    QCalendarWidget* m_calendar = nullptr;
    std::string m_name;
    std::string m_expiry;
};

} // namespace talvo
