#include "PageTestSupport.h"

#include "platform/Cp936Codec.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace talvo::testing {

void typeInto(QLineEdit* edit, const QString& text)
{
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(edit, &release);
    }
}

std::vector<std::string> callNames()
{
    std::vector<std::string> names;
    for (const DriverCall& call : recordingDriver().calls)
        names.push_back(call.name);
    return names;
}

std::string cp936(const QString& text)
{
    return toCp936(text);
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
