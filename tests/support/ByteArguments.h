#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace talvo::testing {

// Starts the program. QProcess hands arguments over as UTF-8; arguments that hold bytes that are
// no UTF-8 (as decodeNativePath gives them) go through bash instead, each quoted byte by byte,
// so that the program gets exactly those bytes.
void startWithByteArguments(QProcess& process, const QString& program, const QStringList& arguments);

} // namespace talvo::testing
