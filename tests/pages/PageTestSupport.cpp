#include "PageTestSupport.h"

namespace talvo::testing {

std::vector<std::string> callNames()
{
    std::vector<std::string> names;
    for (const DriverCall& call : recordingDriver().calls)
        names.push_back(call.name);
    return names;
}

void PrintTo(const DriverCall& call, std::ostream* out)
{
    *out << call.name << "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i)
        *out << (i ? ", " : "") << '"' << call.arguments[i] << '"';
    *out << ")";
}

} // namespace talvo::testing

namespace talvo {

void PrintTo(const MessageBoxRequest& box, std::ostream* out)
{
    *out << "box{" << box.text.toStdString() << " | " << box.caption.toStdString() << " | icon "
         << static_cast<int>(box.icon) << "}";
}

} // namespace talvo
