#include "SealTimeDialog.h"

#include "key/SealTexts.h"
#include "platform/core/Cp936Codec.h"
#include "resources/DialogTemplates.h"

#include <QCalendarWidget>

namespace talvo {

namespace T = ids::sealTime;

SealTimeDialog::SealTimeDialog(QWidget* parent)
    : TemplateDialog(dialogTemplate(IDD_SEAL_TIME), parent),
      m_calendar(controlAs<QCalendarWidget>(T::Calendar))
{
}

void SealTimeDialog::onOk()
{
    m_time = m_calendar ? midnightText(m_calendar->selectedDate()) : std::string();
    endDialog(IDOK);
}

void SealTimeDialog::GetSealTime(char (&buffer)[TL_SEAL_TIME_SIZE]) const
{
    copyToField(m_time, buffer);
}

} // namespace talvo
