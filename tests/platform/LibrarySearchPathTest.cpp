// The dynamic loader's search, walked by the program itself: its order and its answer.

#include "platform/LibrarySearchPath.h"

#include "support/TempDirectory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <filesystem>
#include <fstream>

namespace {

using talvo::LibrarySearchPath;

constexpr const char* kName = "libTalvoPlanted.so";

class LibrarySearchPathTest : public ::testing::Test {
protected:
    // A directory of the temporary one, holding a copy of the planted library.
    std::string withLibrary(const QString& folder) const
    {
        const QDir dir(m_dir.path());
        EXPECT_TRUE(dir.mkpath(folder));
        EXPECT_TRUE(QFile::copy(QStringLiteral(TALVO_PLANTED_LIBRARY), dir.filePath(folder + "/" + kName)));
        return dir.filePath(folder).toStdString();
    }
    // A loader cache that the real ldconfig writes for the directory.
    std::filesystem::path cacheFor(const std::string& directory) const
    {
        const std::filesystem::path conf = m_dir.path().toStdString() + "/ld.so.conf";
        const std::filesystem::path cache = m_dir.path().toStdString() + "/ld.so.cache";
        std::ofstream(conf) << directory << "\n";
        const QString ldconfig = QStandardPaths::findExecutable(
            QStringLiteral("ldconfig"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        EXPECT_FALSE(ldconfig.isEmpty());
        QProcess process;
        process.start(ldconfig,
                      {QStringLiteral("-X"), QStringLiteral("-C"), QString::fromStdString(cache.string()),
                       QStringLiteral("-f"), QString::fromStdString(conf.string())});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return cache;
    }

    talvo::testing::TempDirectory m_dir;
};

TEST_F(LibrarySearchPathTest, SearchesTheLeadingDirectoriesThenTheLoaderCacheThenTheSystemOnes)
{
    const std::string cached = withLibrary(QStringLiteral("cached"));
    const std::filesystem::path cache = cacheFor(cached);
    const std::string leading = withLibrary(QStringLiteral("leading"));
    const std::string system = withLibrary(QStringLiteral("system"));
    const std::string none = m_dir.path().toStdString() + "/none";
    const struct {
        const char* what;
        LibrarySearchPath path;
        std::optional<std::string> found;
    } cases[] = {
        {"only the cache knows it", {{}, cache, {}}, cached + "/" + kName},
        {"the leading directories before the cache",
         {{none, leading}, cache, {system}},
         leading + "/" + kName},
        {"the cache before the system directories", {{none}, cache, {system}}, cached + "/" + kName},
        {"the system directories last",
         {{none}, "/nonexistent/ld.so.cache", {none, system}},
         system + "/" + kName},
        {"nowhere", {{none}, "/nonexistent/ld.so.cache", {none}}, std::nullopt},
        {"empty and relative directories are no directories",
         {{"", ".", "leading"}, "/nonexistent", {"system"}},
         std::nullopt},
    };
    // Relative directories would be read against the working directory: make them real there.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    for (const auto& test : cases)
        EXPECT_EQ(test.path.find(kName), test.found) << test.what;
    QDir::setCurrent(previous);
}

TEST_F(LibrarySearchPathTest, PassesOverALibraryForAnotherArchitectureAsTheLoaderDoes)
{
    const std::string other = withLibrary(QStringLiteral("other-class"));
    {
        std::fstream file(other + "/" + kName, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(EI_CLASS);
        file.put(sizeof(void*) == 8 ? ELFCLASS32 : ELFCLASS64);
    }
    const std::string broken = m_dir.path().toStdString() + "/not-elf";
    std::filesystem::create_directories(broken);
    std::ofstream(broken + "/" + kName) << "not a library";
    const std::string good = withLibrary(QStringLiteral("good"));

    EXPECT_EQ(LibrarySearchPath({other, good}, "/nonexistent", {}).find(kName), good + "/" + kName);
    // A file that is no library at all stops the loader's search with its error: it is the answer.
    EXPECT_EQ(LibrarySearchPath({broken, good}, "/nonexistent", {}).find(kName), broken + "/" + kName);
}

TEST_F(LibrarySearchPathTest, AgreesWithTheLoaderOnTheLibrariesThatItLoadedForTheProgram)
{
    const LibrarySearchPath program = LibrarySearchPath::ofProgram();
    for (const char* soname : {"libc.so.6", "libm.so.6", "libstdc++.so.6", "libQt6Core.so.6"}) {
        void* handle = ::dlopen(soname, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(handle, nullptr) << soname;
        link_map* loaded = nullptr;
        ASSERT_EQ(::dlinfo(handle, RTLD_DI_LINKMAP, &loaded), 0);
        const std::optional<std::string> found = program.find(soname);
        ASSERT_TRUE(found) << soname;
        EXPECT_TRUE(std::filesystem::equivalent(*found, loaded->l_name))
            << *found << " vs " << loaded->l_name;
        ::dlclose(handle);
    }
}

} // namespace
