#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace talvo {

// The key's certificate as DER, whether the key hands it out as PEM text or as DER; nothing
// for bytes that hold no certificate.
std::optional<std::vector<uint8_t>> certificateDer(const QByteArray& keyBytes);

} // namespace talvo
