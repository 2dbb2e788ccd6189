#pragma once

#include "device/TalvoDriverApi.h"
#include "platform/widgets/TemplateDialog.h"

#include <string>

class QCalendarWidget;

namespace talvo {

// Asks for the day that "写签章时间" writes for the selected seal. Any day is accepted.
class SealTimeDialog : public TemplateDialog {
    Q_OBJECT
public:
    explicit SealTimeDialog(QWidget* parent = nullptr);

    // Copies the time text, zero-padded, into the caller's zero-filled buffer.
    void GetSealTime(char (&buffer)[TL_SEAL_TIME_SIZE]) const;

    const std::string& time() const { return m_time; }

protected:
    void onOk() override;

private:
    QCalendarWidget* m_calendar = nullptr;
    std::string m_time;
};

} // namespace talvo
