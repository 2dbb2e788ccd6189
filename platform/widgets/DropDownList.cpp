#include "DropDownList.h"

namespace talvo {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
}

} // namespace talvo
