#include "DesktopApplication.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace talvo {

namespace {

// The query only reads the desktop's configuration; a stuck one must not hold the page.
constexpr int kQueryTimeoutMs = 3000;

} // namespace

QString desktopApplicationFor(const QString& mimeType)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (program.isEmpty() || mimeType.isEmpty())
        return {};
    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(program, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished(kQueryTimeoutMs);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    const QString entry =
        QString::fromLocal8Bit(query.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    return entry.endsWith(QStringLiteral(".desktop")) ? entry : QString();
}

QStringList certificateMimeTypes(const QString& path)
{
    QStringList types{QMimeDatabase().mimeTypeForFile(path).name(), QStringLiteral("application/pkix-cert"),
                      QStringLiteral("application/x-x509-ca-cert")};
    types.removeDuplicates();
    types.removeAll(QStringLiteral("application/octet-stream"));
    types.removeAll(QString());
    return types;
}

} // namespace talvo
