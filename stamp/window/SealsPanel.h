#pragma once

#include "KeySeal.h"

#include <QWidget>

#include <vector>

class QLabel;

namespace talvo::stamp {

class SealList;

// The key's seals with their pictures, names and expiry; a seal out of force is greyed with
// its reason and can be neither chosen nor dragged.
class SealsPanel : public QWidget {
    Q_OBJECT
public:
    explicit SealsPanel(QWidget* parent = nullptr);

    void showKey(bool present, const std::vector<KeySeal>& seals, const QString& problem);
    bool keyPresent() const { return m_present; }
    // The seal of a number as last read, or null.
    const KeySeal* seal(int number) const;
    // The chosen seal, always one in force, or null.
    const KeySeal* chosenSeal() const;
    SealList& list() { return *m_list; }

Q_SIGNALS:
    // Enter or a double click on a seal in force.
    void sealActivated(int number);

private:
    QLabel* m_state = nullptr;
    SealList* m_list = nullptr;
    std::vector<KeySeal> m_seals;
    bool m_present = false;
};

} // namespace talvo::stamp
