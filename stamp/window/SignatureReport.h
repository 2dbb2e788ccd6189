#pragma once

#include <QDateTime>
#include <QString>

namespace talvo::stamp {

// One signature of a document as the PDF library verified it.
struct SignatureReport {
    enum class Verdict { Valid, Invalid, Changed, Unreadable };

    QString signer; // the certificate's subject
    QDateTime signingTime;
    int page = 0; // from 1; 0 when the signature has no widget on a page
    Verdict verdict = Verdict::Unreadable;
    // The signed bytes reach the end of the file: nothing was added after the signature.
    bool coversWholeFile = false;
    QString certificateNote; // what the library found about the certificate, for a tooltip
};

QString verdictText(SignatureReport::Verdict verdict);
QString coverageText(const SignatureReport& report);

} // namespace talvo::stamp
