#pragma once

#include "SignatureReport.h"

#include <QTreeWidget>

#include <vector>

namespace talvo::stamp {

// Every signature of the open document and what its verification found.
class SignaturesPanel : public QTreeWidget {
    Q_OBJECT
public:
    explicit SignaturesPanel(QWidget* parent = nullptr);

    void showSignatures(const std::vector<SignatureReport>& reports);
    void clearSignatures();
};

} // namespace talvo::stamp
