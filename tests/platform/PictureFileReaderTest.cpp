// A picture file read once its size is known: what changes meanwhile is not read as the picture.

#include "platform/core/PictureFileReader.h"
#include "support/TempDirectory.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace talvo::testing {
namespace {

TEST(PictureFileReaderTest, AFileThatChangesAfterItsSizeWasTakenIsRefused)
{
    const TempDirectory directory;
    const QString path = directory.file(QStringLiteral("seal.gif"));
    const QByteArray picture("GIF89a the picture");
    const struct {
        const char* what;
        std::function<void()> change;
        int expected;
    } cases[] = {
        {"left alone", [] {}, 0},
        {"grown", [&] { TempDirectory::writeFile(path, picture + "and more"); }, PictureFileReader::kChanged},
        {"cut", [&] { TempDirectory::writeFile(path, picture.left(5)); }, PictureFileReader::kChanged},
        {"rewritten at the same size",
         [&] {
             TempDirectory::writeFile(path, QByteArray(picture.size(), 'x'));
             // A later time than the open's, even where the clock is coarse.
             const struct timespec later[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
             ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), later, 0);
         },
         PictureFileReader::kChanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDirectory::writeFile(path, picture);
        PictureFileReader reader(path);
        ASSERT_TRUE(reader.isOpen());
        ASSERT_EQ(reader.size(), picture.size());
        c.change();
        std::vector<uint8_t> bytes(static_cast<std::size_t>(picture.size()));
        EXPECT_EQ(reader.readExactly(bytes.data(), bytes.size()), c.expected);
        if (c.expected == 0) {
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes.data()), picture.size()), picture);
        }
    }
}

} // namespace
} // namespace talvo::testing
