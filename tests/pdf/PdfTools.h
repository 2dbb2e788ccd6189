#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace talvo::testing {

// The real producers and checkers a sealed document is judged by: Ghostscript, qpdf and
// poppler's tools, run as programs.
struct ToolRun {
    int exitCode = -1;
    QString output; // standard output and error together
};

ToolRun runTool(const QString& program, const QStringList& arguments);

// A PDF of pages of text, made by ps2pdf from a small PostScript program; an empty path when
// Ghostscript failed.
QString ghostscriptPdf(const QString& directory, const QString& name, int pages);
// qpdf's rewrite of a document with the given options; false when qpdf failed.
bool qpdfRewrite(const QString& input, const QString& output, const QStringList& options);

// pdfsig's report: how many signatures, whether each is valid, whether the last covers the
// whole document.
struct SignatureReport {
    int signatures = 0;
    int valid = 0;
    bool lastCoversWholeDocument = false;
    QString text;
};
SignatureReport pdfsigReport(const QString& pdf);

// One page rendered by pdftoppm at the given resolution, as the reader shows it.
QImage renderedPage(const QString& pdf, int page, int dotsPerInch);
// The bounding box of the pure red pixels, in millimetres from the top-left corner.
QRectF redPixelsMm(const QImage& page, int dotsPerInch);

} // namespace talvo::testing
