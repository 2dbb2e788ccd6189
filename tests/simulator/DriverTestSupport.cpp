#include "DriverTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace talvo::testing {

KeyDriverBinding& driver()
{
    static KeyDriverBinding binding;
    return binding;
}

KeyInfo readKeyInfo()
{
    KeyInfo info{};
    EXPECT_EQ(driver().TLKeyReadKeyInfo(&info), TL_OK);
    return info;
}

QByteArray keyFile(const SimulatedKey& key, const QString& name)
{
    QFile file(key.directory() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeKeyFile(const SimulatedKey& key, const QString& name, const QByteArray& bytes)
{
    QFile file(key.directory() + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace talvo::testing
