#pragma once

#include "KeySeal.h"
#include "pdf/DocumentSealing.h"

#include <QString>

#include <vector>

namespace talvo::stamp {

// What the window asks of the key. Called from several threads: an implementation serialises
// its calls to the driver.
class StampKey {
public:
    virtual ~StampKey() = default;
    virtual bool isPresent() = 0;
    // Each answers what went wrong for the key holder, or nothing.
    virtual QString readSeals(std::vector<KeySeal>& seals) = 0;
    virtual QString verifyPin(const QString& pin) = 0;
    // Signs the stamps into outputPath with the key's signature key, holding the key for the
    // whole act.
    virtual pdf::SealingResult seal(const QString& inputPath, const QString& outputPath,
                                    const std::vector<pdf::SealStamp>& stamps) = 0;
};

} // namespace talvo::stamp
