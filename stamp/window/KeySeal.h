#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace talvo::stamp {

// A seal on the key as the key holder sees it.
struct KeySeal {
    int32_t number = 0;
    QString name;
    QString expiry; // the key's time text
    bool inForce = false;
    QString reason; // why not in force; empty when it is
    QByteArray picture;
};

} // namespace talvo::stamp
