#pragma once

#include <QString>

namespace talvo::testing {

// Documents made at test time by real producers: Ghostscript writes them, qpdf turns and
// encrypts them. Each fails the running test when its producer fails.
QString makePdf(const QString& directory, const QString& name, int pages);
QString makeTurnedPdf(const QString& directory, const QString& name);
QString makeEncryptedPdf(const QString& directory, const QString& name);
// A PDF's header and a few objects, then the file cut off.
QString makeDamagedPdf(const QString& directory, const QString& name);

} // namespace talvo::testing
