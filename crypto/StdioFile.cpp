#include "StdioFile.h"

#include <QFile>

namespace talvo {

StdioFile openStdioFile(const QString& path, const char* mode)
{
    return StdioFile(std::fopen(QFile::encodeName(path).constData(), mode));
}

bool closeStdioFile(StdioFile& file)
{
    return !file || std::fclose(file.release()) == 0;
}

} // namespace talvo
