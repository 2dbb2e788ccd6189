#include "PageTestSupport.h"

namespace talvo {

void PrintTo(const MessageBoxRequest& box, std::ostream* out)
{
    *out << "box{" << box.text.toStdString() << " | " << box.caption.toStdString() << " | icon "
         << static_cast<int>(box.icon) << "}";
}

} // namespace talvo
