#include "StampPdfs.h"

#include "support/TempDirectory.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace talvo::testing {

bool runProgram(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString makePdf(const QString& directory, const QString& name, int pages)
{
    QByteArray postscript = "%!PS\n/Helvetica findfont 36 scalefont setfont\n";
    for (int page = 1; page <= pages; ++page)
        postscript += "72 700 moveto (Page " + QByteArray::number(page) + ") show showpage\n";
    const QString source = QDir(directory).filePath(name + QStringLiteral(".ps"));
    const QString pdf = QDir(directory).filePath(name + QStringLiteral(".pdf"));
    TempDirectory::writeFile(source, postscript);
    QString output;
    EXPECT_TRUE(
        runProgram(QStringLiteral("ps2pdf"), {QStringLiteral("-sPAPERSIZE=a4"), source, pdf}, &output))
        << output.toStdString();
    return pdf;
}

QString makeTurnedPdf(const QString& directory, const QString& name)
{
    const QString upright = makePdf(directory, name + QStringLiteral("-upright"), 1);
    const QString turned = QDir(directory).filePath(name + QStringLiteral(".pdf"));
    QString output;
    EXPECT_TRUE(
        runProgram(QStringLiteral("qpdf"), {QStringLiteral("--rotate=+90:1"), upright, turned}, &output))
        << output.toStdString();
    return turned;
}

QString makeEncryptedPdf(const QString& directory, const QString& name)
{
    const QString plain = makePdf(directory, name + QStringLiteral("-plain"), 1);
    const QString encrypted = QDir(directory).filePath(name + QStringLiteral(".pdf"));
    QString output;
    EXPECT_TRUE(runProgram(QStringLiteral("qpdf"),
                           {QStringLiteral("--encrypt"), QStringLiteral("user-secret"),
                            QStringLiteral("owner-secret"), QStringLiteral("256"), QStringLiteral("--"),
                            plain, encrypted},
                           &output))
        << output.toStdString();
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
