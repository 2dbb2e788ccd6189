#include "FileErrorText.h"

#include <cerrno>

namespace talvo {

QString fileErrorText(const QString& path, int errorNumber)
{
    QString text;
    switch (errorNumber) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        text = QStringLiteral("对 %1 的存取被拒绝。");
        break;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        text = QStringLiteral("%1 中包含无效的路径。");
        break;
    case ENOSPC:
    case EDQUOT:
        text = QStringLiteral("%1 所在的磁盘已满。");
        break;
    case EMFILE:
    case ENFILE:
        text = QStringLiteral("打开的文件太多，无法访问 %1。");
        break;
    default:
        text = QStringLiteral("访问 %1 时发生意外错误。");
        break;
    }
    return text.arg(path);
}

} // namespace talvo
