#include "platform/core/PrivateDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class PrivateDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        m_previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_base.path()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", m_previous); }
    mode_t modeOf(const QString& path)
    {
        struct stat info {};
        lstat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 0777;
    }
    QTemporaryDir m_base;
    QByteArray m_previous;
};

TEST_F(PrivateDirectory, IsMadeForTheUserAlone)
{
    const QString directory = talvo::privateDirectory();
    EXPECT_EQ(directory, m_base.path() + QStringLiteral("/talvo-tool"));
    EXPECT_EQ(modeOf(directory), 0700u);
    EXPECT_EQ(talvo::privateFilePath(QStringLiteral("__tmpCertFile.cer")),
              directory + QStringLiteral("/__tmpCertFile.cer"));
}

TEST_F(PrivateDirectory, LooseModesAreTightened)
{
    const QString directory = m_base.path() + QStringLiteral("/talvo-tool");
    ASSERT_EQ(mkdir(QFile::encodeName(directory).constData(), 0777), 0);
    chmod(QFile::encodeName(directory).constData(), 0777);
    EXPECT_EQ(talvo::privateDirectory(), directory);
    EXPECT_EQ(modeOf(directory), 0700u);
}

TEST_F(PrivateDirectory, TighteningRemovesWhatOtherUsersLeft)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of another user need root to make";
    const QString directory = m_base.path() + QStringLiteral("/talvo-tool");
    ASSERT_EQ(mkdir(QFile::encodeName(directory).constData(), 0700), 0);
    chmod(QFile::encodeName(directory).constData(), 0777);
    const QString theirs = directory + QStringLiteral("/__tmpSealPicFile.dat");
    const QString theirLink = directory + QStringLiteral("/__tmpCertFile.cer");
    const QString ours = directory + QStringLiteral("/ours");
    for (const QString& file : {theirs, ours})
        QFile(file).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(ours, theirLink));
    ASSERT_EQ(chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
    ASSERT_EQ(lchown(QFile::encodeName(theirLink).constData(), 65534, 65534), 0);

    EXPECT_EQ(talvo::privateDirectory(), directory);
    EXPECT_EQ(modeOf(directory), 0700u);
    EXPECT_FALSE(QFileInfo::exists(theirs));
    EXPECT_FALSE(QFileInfo(theirLink).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(ours));
}

TEST_F(PrivateDirectory, APlantedLinkIsRefused)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), m_base.path() + QStringLiteral("/talvo-tool")));
    EXPECT_EQ(talvo::privateDirectory(), QString());
    EXPECT_EQ(talvo::privateFilePath(QStringLiteral("x")), QString());
}

} // namespace
