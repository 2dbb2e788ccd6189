#include "SealNameDialog.h"

#include "key/OperatorTexts.h"
#include "key/SealTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/TextLimit.h"
#include "resources/DialogTemplates.h"

#include <QCalendarWidget>
#include <QLineEdit>

namespace talvo {

namespace N = ids::sealName;

SealNameDialog::SealNameDialog(QWidget* parent)
    : TemplateDialog(dialogTemplate(IDD_SEAL_NAME), parent),
      m_calendar(controlAs<QCalendarWidget>(N::Calendar))
{
}

bool SealNameDialog::onInitDialog()
{
    auto* edit = controlAs<QLineEdit>(N::NameEdit);
    setTextLimitBytes(edit, kNameBytes);
    if (edit)
        edit->setFocus(Qt::OtherFocusReason);
    return false;
}

void SealNameDialog::onOk()
{
    m_name = trimSealName(toCp936(itemText(N::NameEdit)));
    if (m_name.empty()) {
        windowMessageBox(this, kSealNameMissingText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    m_expiry = m_calendar ? midnightText(m_calendar->selectedDate()) : std::string();
    endDialog(IDOK);
}

void SealNameDialog::GetSealName(char (&buffer)[TL_SEAL_NAME_SIZE]) const
{
    copyToField(m_name, buffer);
}

void SealNameDialog::GetExpiryTime(char (&buffer)[TL_SEAL_TIME_SIZE]) const
{
    copyToField(m_expiry, buffer);
}

} // namespace talvo
