#pragma once

#include <QString>

namespace talvo::secure_message {

inline QString sameFileText()
{
    return QStringLiteral("输入文件和输出文件不能是同一个文件");
}

// The pack source and the unpack target are each read twice, so a pipe or device cannot be one.
inline QString inputNotRegularText()
{
    return QStringLiteral("输入文件必须是普通文件，不能是设备、管道或目录");
}

inline QString outputNotRegularText()
{
    return QStringLiteral("输出文件必须是普通文件，不能是设备、管道或目录");
}

} // namespace talvo::secure_message
