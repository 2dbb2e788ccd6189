#pragma once

#include <QByteArray>
#include <QString>

namespace talvo::stamp {

// A document's bytes as the file system holds them, or why they could not be read.
struct DocumentFile {
    QByteArray bytes;
    QString error; // empty when read

    static DocumentFile read(const QString& path);
    // Whether the bytes begin as a PDF does (readers allow some bytes before the header).
    bool looksLikePdf() const;
};

} // namespace talvo::stamp
