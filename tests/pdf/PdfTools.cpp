#include "PdfTools.h"
#include "support/TempDirectory.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace talvo::testing {

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

QString ghostscriptPdf(const QString& directory, const QString& name, int pages)
{
    QByteArray postScript = "%!PS\n/Helvetica findfont 14 scalefont setfont\n";
    for (int page = 1; page <= pages; ++page)
        postScript +=
            "72 720 moveto (Page " + QByteArray::number(page) + " of a sealing test) show showpage\n";
    const QString source = QDir(directory).filePath(name + ".ps");
    const QString pdf = QDir(directory).filePath(name + ".pdf");
    TempDirectory::writeFile(source, postScript);
    return runTool(QStringLiteral("ps2pdf"), {source, pdf}).exitCode == 0 ? pdf : QString();
}

bool qpdfRewrite(const QString& input, const QString& output, const QStringList& options)
{
    // 3: done with warnings, which qpdf gives for things it has put right.
    const int status = runTool(QStringLiteral("qpdf"), QStringList(options) << input << output).exitCode;
    return status == 0 || status == 3;
}

SignatureReport pdfsigReport(const QString& pdf)
{
    SignatureReport report;
    report.text = runTool(QStringLiteral("pdfsig"), {pdf}).output;
    const QStringList lines = report.text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("Signature #"))) {
            ++report.signatures;
            report.lastCoversWholeDocument = false;
        }
        if (line.contains(QLatin1String("Signature Validation: Signature is Valid.")))
            ++report.valid;
        if (line.contains(QLatin1String("Total document signed")) &&
            !line.contains(QLatin1String("Not total")))
            report.lastCoversWholeDocument = true;
    }
    return report;
}

QImage renderedPage(const QString& pdf, int page, int dotsPerInch)
{
    QTemporaryDir directory;
    const QString prefix = directory.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    const ToolRun run = runTool(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dotsPerInch),
                                 QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                                 QStringLiteral("-singlefile"), pdf, prefix});
    return run.exitCode == 0 ? QImage(prefix + QStringLiteral(".png")) : QImage();
}

QRectF redPixelsMm(const QImage& page, int dotsPerInch)
{
    int left = page.width();
    int top = page.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor colour = page.pixelColor(x, y);
            if (colour.red() > 200 && colour.green() < 60 && colour.blue() < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    const double mmPerPixel = 25.4 / dotsPerInch;
    return QRectF(left * mmPerPixel, top * mmPerPixel, (right + 1 - left) * mmPerPixel,
                  (bottom + 1 - top) * mmPerPixel);
}

} // namespace talvo::testing
