#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace talvo {

// File names are bytes; Qt reads them as UTF-8 and turns every byte that is no UTF-8 into
// U+FFFD, so a name given as "\xff.gif" would open "\u{FFFD}.gif". Here such a byte becomes
// the lone surrogate U+DC00 + byte instead (as Python's "surrogateescape" does) and turns back
// into the same byte, so any name reaches the file system exactly as it was given. For names
// that are UTF-8 both are QFile::decodeName and QFile::encodeName.
QString decodeNativePath(QByteArrayView bytes);
QByteArray encodeNativePath(const QString& path);

// A path as a Qt file dialog hands it back: each name that the dialog could only show with
// U+FFFD is matched to the one entry of its directory that it stands for. Nothing when it
// stands for several; a name that matches no entry is taken as it was typed.
std::optional<QString> resolveShownPath(const QString& shown);

} // namespace talvo
