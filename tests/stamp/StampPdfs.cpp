#include "StampPdfs.h"

#include "support/TempDirectory.h"
#include "tests/pdf/PdfTools.h"

#include <QDir>

#include <gtest/gtest.h>

namespace talvo::testing {

QString makePdf(const QString& directory, const QString& name, int pages)
{
    const QString pdf = ghostscriptPdf(directory, name, pages);
    EXPECT_FALSE(pdf.isEmpty()) << "ps2pdf made no " << name.toStdString();
    return pdf;
}

QString makeTurnedPdf(const QString& directory, const QString& name)
{
    const QString turned = QDir(directory).filePath(name + QStringLiteral(".pdf"));
    EXPECT_TRUE(qpdfRewrite(makePdf(directory, name + QStringLiteral("-upright"), 1), turned,
                            {QStringLiteral("--rotate=+90:1")}));
    return turned;
}

QString makeEncryptedPdf(const QString& directory, const QString& name)
{
    const QString encrypted = QDir(directory).filePath(name + QStringLiteral(".pdf"));
    EXPECT_TRUE(qpdfRewrite(makePdf(directory, name + QStringLiteral("-plain"), 1), encrypted,
                            {QStringLiteral("--encrypt"), QStringLiteral("user-secret"),
                             QStringLiteral("owner-secret"), QStringLiteral("256"), QStringLiteral("--")}));
    return encrypted;
}

QString makeDamagedPdf(const QString& directory, const QString& name)
{
    const QString whole = makePdf(directory, name + QStringLiteral("-whole"), 2);
    const QString damaged = QDir(directory).filePath(name + QStringLiteral(".pdf"));
    TempDirectory::writeFile(damaged, TempDirectory::readFile(whole).left(200));
    return damaged;
}

} // namespace talvo::testing
