#include "platform/core/DynamicLibrary.h"

#include "support/TempDirectory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

using talvo::DynamicLibrary;

struct ProbeRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// A probe loads the library in a process of its own, so that the loader starts with the
// LD_LIBRARY_PATH given (none when null).
ProbeRun probe(const char* program, const QString& library, const QString& workingDirectory,
               const QByteArray& libraryPath)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
    if (!libraryPath.isNull())
        environment.insert(QStringLiteral("LD_LIBRARY_PATH"), QString::fromLocal8Bit(libraryPath));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(QString::fromUtf8(program), {library});
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(DynamicLibrary, FindsALibraryByPlainNameAndItsSymbols)
{
    DynamicLibrary library("libm.so.6");
    ASSERT_TRUE(library.isLoaded()) << library.errorText();
    auto* cosine = reinterpret_cast<double (*)(double)>(library.symbol("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(library.symbol("no_such_symbol_here"), nullptr);
}

TEST(DynamicLibrary, AMissingLibrarySaysWhy)
{
    DynamicLibrary library("libNoSuchLibrary.so");
    EXPECT_FALSE(library.isLoaded());
    EXPECT_NE(library.errorText().find("libNoSuchLibrary.so"), std::string::npos);
    EXPECT_EQ(library.symbol("anything"), nullptr);
}

TEST(DynamicLibrary, OwnershipMovesAndUnloads)
{
    DynamicLibrary first("libm.so.6");
    DynamicLibrary second(std::move(first));
    EXPECT_FALSE(first.isLoaded());
    EXPECT_TRUE(second.isLoaded());
    second.unload();
    EXPECT_FALSE(second.isLoaded());
}

TEST(DynamicLibrary, APlantedLibraryInTheWorkingDirectoryIsNotLoaded)
{
    const talvo::testing::TempDirectory workingDirectory;
    const QDir dir(workingDirectory.path());
    for (const QString& folder :
         {QStringLiteral("."), QStringLiteral("planted-relative"), QStringLiteral("rel")}) {
        ASSERT_TRUE(dir.mkpath(folder));
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TALVO_PLANTED_LIBRARY), dir.filePath(folder + "/libTalvoPlanted.so")));
    }
    // An empty or relative element of LD_LIBRARY_PATH, which the loader would read as the
    // working directory or a folder in it, keeps the loader from being asked at all.
    const struct {
        QByteArray libraryPath;
        QString named;
    } cases[] = {{QByteArray(), QString()},
                 {QByteArray(":"), QStringLiteral("the directory \".\" of the loader's search path")},
                 {QByteArray("rel"), QStringLiteral("the directory \"rel\" of the loader's search path")},
                 {QByteArray("$ORIGIN/..:rel;:./rel:"),
                  QStringLiteral("the directory \"rel\" of the loader's search path")}};
    for (const auto& test : cases) {
        const ProbeRun run =
            probe(TALVO_LOAD_PROBE, QStringLiteral("libTalvoPlanted.so"), dir.path(), test.libraryPath);
        EXPECT_EQ(run.exitCode, 1) << "LD_LIBRARY_PATH=" << test.libraryPath.toStdString() << " loaded "
                                   << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("libTalvoPlanted.so: cannot open shared object file")))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(test.named)) << run.err.toStdString();
    }
    // So does one of the program's RUNPATH, even for a library that its absolute element holds.
    const ProbeRun loose =
        probe(TALVO_LOOSE_LOAD_PROBE, QStringLiteral("libTalvoRunpath.so"), dir.path(), QByteArray());
    EXPECT_EQ(loose.exitCode, 1) << loose.out.toStdString();
    EXPECT_TRUE(loose.err.contains(QStringLiteral("the directory \".\" of the loader's search path")))
        << loose.err.toStdString();

    // Absolute elements still serve, from the environment and from the RUNPATH.
    const ProbeRun fromEnvironment = probe(TALVO_LOAD_PROBE, QStringLiteral("libTalvoPlanted.so"), dir.path(),
                                           QFile::encodeName(dir.filePath("rel")));
    EXPECT_EQ(fromEnvironment.exitCode, 0) << fromEnvironment.err.toStdString();
    EXPECT_EQ(fromEnvironment.out, dir.filePath(QStringLiteral("rel/libTalvoPlanted.so")));
    const ProbeRun fromRunpath =
        probe(TALVO_LOAD_PROBE, QStringLiteral("libTalvoRunpath.so"), dir.path(), QByteArray());
    EXPECT_EQ(fromRunpath.exitCode, 0) << fromRunpath.err.toStdString();
    EXPECT_EQ(fromRunpath.out, QStringLiteral(TALVO_RUNPATH_LIBRARY));
}

} // namespace
