#include "FakeStampKey.h"

#include <QBuffer>
#include <QImage>

namespace talvo::testing {

QString FakeStampKey::readSeals(std::vector<stamp::KeySeal>& seals)
{
    std::lock_guard lock(m_mutex);
    seals = m_seals;
    return {};
}

QString FakeStampKey::verifyPin(const QString& pin)
{
    if (!m_present)
        return QStringLiteral("未检测到 USB Key");
    return pin == QStringLiteral("123456") ? QString() : QStringLiteral("PIN码错误，未盖章");
}

pdf::SealingResult FakeStampKey::seal(const QString&, const QString&, const std::vector<pdf::SealStamp>&)
{
    ++m_sealCalls;
    return {false, "the fake key signs nothing"};
}

void FakeStampKey::setSeals(std::vector<stamp::KeySeal> seals)
{
    std::lock_guard lock(m_mutex);
    m_seals = std::move(seals);
}

stamp::KeySeal makeSeal(int32_t number, const QString& name, bool inForce)
{
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    stamp::KeySeal seal;
    seal.number = number;
    seal.name = name;
    seal.expiry = inForce ? QStringLiteral("2099-12-31 00:00:00") : QStringLiteral("2020-01-01 00:00:00");
    seal.inForce = inForce;
    seal.reason = inForce ? QString() : QStringLiteral("已于 2020-01-01 00:00:00 过期");
    seal.picture = bytes;
    return seal;
}

} // namespace talvo::testing
