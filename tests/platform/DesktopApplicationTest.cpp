#include "platform/DesktopApplication.h"
#include "support/TempDirectory.h"

#include <QFile>

#include <gtest/gtest.h>

namespace talvo {
namespace {

using testing::ScopedEnvironment;
using testing::TempDirectory;

// Puts an xdg-mime of the test's own first (and alone) on the search path.
void installXdgMime(const TempDirectory& bin, const QByteArray& script)
{
    const QString path = bin.file(QStringLiteral("xdg-mime"));
    TempDirectory::writeFile(path, "#!/bin/sh\n" + script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(DesktopApplicationTest, TheDesktopsAnswerCountsOnlyWhenItNamesADesktopEntry)
{
    struct Case {
        const char* name;
        QByteArray script;
        QString expected;
    } cases[] = {
        {"registered",
         "[ \"$1 $2 $3\" = 'query default application/pkix-cert' ] && echo org.example.CertViewer.desktop\n",
         QStringLiteral("org.example.CertViewer.desktop")},
        {"nothing registered", "exit 0\n", QString()},
        {"not a desktop entry", "echo 'no default'\n", QString()},
        {"xdg-mime failing", "echo org.example.CertViewer.desktop; exit 4\n", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDirectory bin;
        installXdgMime(bin, c.script);
        ScopedEnvironment path("PATH", QFile::encodeName(bin.path()));
        EXPECT_EQ(desktopApplicationFor(QStringLiteral("application/pkix-cert")), c.expected);
        EXPECT_EQ(desktopApplicationFor(QStringLiteral("text/plain")), QString());
    }

    TempDirectory empty;
    ScopedEnvironment path("PATH", QFile::encodeName(empty.path()));
    EXPECT_EQ(desktopApplicationFor(QStringLiteral("application/pkix-cert")), QString());
}

TEST(DesktopApplicationTest, CertificatesAreLookedUpUnderBothTheirNames)
{
    QStringList types = certificateMimeTypes(QStringLiteral("/nowhere/__tmpCertFile.cer"));
    EXPECT_TRUE(types.contains(QStringLiteral("application/pkix-cert")));
    EXPECT_TRUE(types.contains(QStringLiteral("application/x-x509-ca-cert")));
    EXPECT_EQ(types.removeDuplicates(), 0);
}

} // namespace
} // namespace talvo
