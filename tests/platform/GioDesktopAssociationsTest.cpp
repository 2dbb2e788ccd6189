#include "platform/GioDesktopAssociations.h"
#include "support/TempDirectory.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace talvo {
namespace {

using testing::ScopedEnvironment;
using testing::TempDirectory;

// A desktop of the test's own: one viewer for certificates, named the default, that writes
// the file it was given beside itself. GIO reads these directories once a process, so this
// is the one test of its program that asks GIO.
TEST(GioDesktopAssociationsTest, NamesTheDesktopsViewerAndStartsItOnTheFile)
{
    TempDirectory desktop;
    const QString viewer = desktop.file(QStringLiteral("viewer.sh"));
    TempDirectory::writeFile(viewer,
                             "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.opened\"\n");
    QFile::setPermissions(viewer, QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(QDir().mkpath(desktop.file(QStringLiteral("data/applications"))));
    ASSERT_TRUE(QDir().mkpath(desktop.file(QStringLiteral("config"))));
    TempDirectory::writeFile(
        desktop.file(QStringLiteral("data/applications/talvo-test-viewer.desktop")),
        "[Desktop Entry]\nType=Application\nName=Viewer\nMimeType=application/pkix-cert;\nExec=" +
            QFile::encodeName(viewer) + " %f\n");
    TempDirectory::writeFile(desktop.file(QStringLiteral("config/mimeapps.list")),
                             "[Default Applications]\napplication/pkix-cert=talvo-test-viewer.desktop\n");
    const QByteArray nowhere = QFile::encodeName(desktop.file(QStringLiteral("nowhere")));
    const ScopedEnvironment data("XDG_DATA_HOME", QFile::encodeName(desktop.file(QStringLiteral("data"))));
    const ScopedEnvironment dataDirs("XDG_DATA_DIRS", nowhere);
    const ScopedEnvironment config("XDG_CONFIG_HOME",
                                   QFile::encodeName(desktop.file(QStringLiteral("config"))));
    const ScopedEnvironment configDirs("XDG_CONFIG_DIRS", nowhere);

    GioDesktopAssociations associations;
    EXPECT_EQ(associations.defaultApplication({QStringLiteral("text/plain")}), QString());
    const QString entry = associations.defaultApplication(
        {QStringLiteral("text/plain"), QStringLiteral("application/pkix-cert")});
    ASSERT_EQ(entry, QStringLiteral("talvo-test-viewer.desktop"));

    const QString certificate = desktop.file(QStringLiteral("证书 1.cer"));
    TempDirectory::writeFile(certificate, "certificate");
    ASSERT_TRUE(associations.launch(entry, certificate));
    const QString opened = viewer + QStringLiteral(".opened");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(opened); }, 10000));
    EXPECT_EQ(TempDirectory::readFile(opened), QFile::encodeName(certificate));

    EXPECT_FALSE(associations.launch(QStringLiteral("no-such-viewer.desktop"), certificate));
}

} // namespace
} // namespace talvo
