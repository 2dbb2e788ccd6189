#include "ByteArguments.h"

#include "platform/NativePath.h"

namespace talvo::testing {

namespace {

QString quotedBytes(const QString& argument)
{
    QString quoted = QStringLiteral("$'");
    for (const char byte : encodeNativePath(argument))
        quoted += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
    return quoted + QLatin1Char('\'');
}

} // namespace

void startWithByteArguments(QProcess& process, const QString& program, const QStringList& arguments)
{
    bool allUtf8 = true;
    for (const QString& argument : arguments)
        allUtf8 = allUtf8 && encodeNativePath(argument) == argument.toUtf8();
    if (allUtf8) {
        process.start(program, arguments);
        return;
    }
    QString command = QStringLiteral("exec ") + quotedBytes(program);
    for (const QString& argument : arguments)
        command += QLatin1Char(' ') + quotedBytes(argument);
    process.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), command});
}

} // namespace talvo::testing
