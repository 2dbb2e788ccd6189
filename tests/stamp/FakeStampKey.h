#pragma once

#include "stamp/window/StampKey.h"

#include <atomic>
#include <mutex>

namespace talvo::testing {

// A key whose answers the test sets (its PIN is 123456); safe to change while the window's threads ask it.
class FakeStampKey : public stamp::StampKey {
public:
    bool isPresent() override { return m_present; }
    QString readSeals(std::vector<stamp::KeySeal>& seals) override;
    QString verifyPin(const QString& pin) override;
    pdf::SealingResult seal(const QString& inputPath, const QString& outputPath,
                            const std::vector<pdf::SealStamp>& stamps) override;

    void setPresent(bool present) { m_present = present; }
    void setSeals(std::vector<stamp::KeySeal> seals);
    int sealCalls() const { return m_sealCalls; }

private:
    std::atomic<bool> m_present{true};
    std::atomic<int> m_sealCalls{0};
    std::mutex m_mutex;
    std::vector<stamp::KeySeal> m_seals;
};

// A seal as the tests need one: a red 120 × 80 picture, in force or expired.
stamp::KeySeal makeSeal(int32_t number, const QString& name, bool inForce);

} // namespace talvo::testing
