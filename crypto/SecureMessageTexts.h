#pragma once

#include <QString>

namespace talvo::secure_message {

inline QString sameFileText()
{
    return QStringLiteral("输入文件和输出文件不能是同一个文件");
}

} // namespace talvo::secure_message
