#include "TempDirectory.h"

#include <QFile>

namespace talvo::testing {

TempDirectory::TempDirectory() = default;

void TempDirectory::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray TempDirectory::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ScopedEnvironment::ScopedEnvironment(const char* name, const QByteArray& value)
    : m_name(name), m_previous(qgetenv(name)), m_hadValue(qEnvironmentVariableIsSet(name))
{
    qputenv(name, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_hadValue)
        qputenv(m_name.constData(), m_previous);
    else
        qunsetenv(m_name.constData());
}

} // namespace talvo::testing
