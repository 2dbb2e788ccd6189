#pragma once

#include "StampKey.h"

#include <mutex>

namespace talvo {
class KeyDriverBinding;
}

namespace talvo::stamp {

// The key through its driver. One mutex around every driver call of the program: the window's
// thread, the key watcher and the sealing all come through here.
class DriverStampKey : public StampKey {
public:
    static constexpr int32_t kSelector = 4;

    explicit DriverStampKey(KeyDriverBinding& binding);

    bool isPresent() override;
    QString readSeals(std::vector<KeySeal>& seals) override;
    QString verifyPin(const QString& pin) override;
    pdf::SealingResult seal(const QString& inputPath, const QString& outputPath,
                            const std::vector<pdf::SealStamp>& stamps) override;

private:
    KeyDriverBinding& m_binding;
    std::mutex m_driverMutex;
};

} // namespace talvo::stamp
