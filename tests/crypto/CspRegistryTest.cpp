// Finding a provider by its name in the registry and loading its library.

#include "TestContainers.h"

#include "platform/core/DebugTrace.h"
#include "platform/cryptoapi/CryptoApi.h"
#include "platform/cryptoapi/CspRegistry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::testing {
namespace {

constexpr const char* kProvider = "MERO Cryptographic Service Provider v1.0.0";

std::filesystem::path builtRegistry()
{
    return TALVO_BUILT_CSP_REGISTRY;
}

bool traced(const TraceCapture& traces, const std::string& part)
{
    return traces.lines().join(QLatin1Char('\n')).contains(QString::fromStdString(part));
}

class CspRegistryTest : public ::testing::Test {
protected:
    std::filesystem::path registry() const { return std::filesystem::path(m_dir.path().toStdString()); }
    void writeEntry(const char* fileName, const std::string& text) const
    {
        writeEntryIn(registry(), fileName, text);
    }
    static void writeEntryIn(const std::filesystem::path& dir, const char* fileName, const std::string& text)
    {
        std::filesystem::create_directories(dir);
        std::ofstream(dir / fileName) << text;
    }
    DWORD acquireError(const char* provider, DWORD type = PROV_RSA_FULL) const
    {
        const ScopedEnvironment environment("TALVO_CSP_REGISTRY",
                                            QByteArray::fromStdString(registry().string()));
        HCRYPTPROV context = 0;
        if (CryptAcquireContextA(&context, nullptr, provider, type, 0)) {
            CryptReleaseContext(context, 0);
            return ERROR_SUCCESS;
        }
        return GetLastError();
    }

    SimulatedKeyDirectory m_key;
    TempDirectory m_dir;
};

TEST_F(CspRegistryTest, ParsesEntriesAndRefusesIncompleteOnes)
{
    const auto entry =
        parseCspRegistryEntry("# a provider\nname=Some Provider\r\ntype=1\nlibrary=sub/libSome.so\n", "/reg");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Some Provider");
    EXPECT_EQ(entry->type, 1u);
    EXPECT_EQ(entry->library, std::filesystem::path("/reg/sub/libSome.so"));
    EXPECT_EQ(parseCspRegistryEntry("name=A\ntype=1\nlibrary=/opt/lib/libA.so\n", "/reg")->library,
              std::filesystem::path("/opt/lib/libA.so"));
    EXPECT_FALSE(parseCspRegistryEntry("name=A\nlibrary=libA.so\n", "/reg")) << "no type";
    EXPECT_FALSE(parseCspRegistryEntry("name=A\ntype=x1\nlibrary=libA.so\n", "/reg")) << "bad type";
    EXPECT_FALSE(parseCspRegistryEntry("type=1\nlibrary=libA.so\n", "/reg")) << "no name";
    EXPECT_FALSE(parseCspRegistryEntry("name=A\ntype=1\n", "/reg")) << "no library";
    EXPECT_FALSE(parseCspRegistryEntry("name=A\ntype=1\nlibrary=libA.so\ngarbage\n", "/reg"));
}

TEST_F(CspRegistryTest, ALibraryIsAbsoluteOrBelowTheRegistryDirectory)
{
    for (const char* outside : {"../libA.so", "sub/../../libA.so", "sub/../libA.so", ".."}) {
        std::string error;
        EXPECT_FALSE(
            parseCspRegistryEntry(std::string("name=A\ntype=1\nlibrary=") + outside + "\n", "/reg", &error))
            << outside;
        EXPECT_NE(error.find("below the registry directory"), std::string::npos) << error;
    }
    for (const char* placed : {"libA.so", "./sub/libA.so", "/opt/a/../libA.so"}) {
        EXPECT_TRUE(parseCspRegistryEntry(std::string("name=A\ntype=1\nlibrary=") + placed + "\n", "/reg"))
            << placed;
    }
}

TEST_F(CspRegistryTest, FindsByExactNameOrElseTheFirstOfTheType)
{
    writeEntry("b.csp", "name=Second\ntype=1\nlibrary=b.so\n");
    writeEntry("a.csp", "name=First\ntype=1\nlibrary=a.so\n");
    writeEntry("c.csp", "name=Other Type\ntype=24\nlibrary=c.so\n");
    writeEntry("ignored.txt", "name=Ignored\ntype=1\nlibrary=x.so\n");
    EXPECT_EQ(findCspRegistryEntry(registry(), "Second", 0)->library, registry() / "b.so");
    EXPECT_EQ(findCspRegistryEntry(registry(), nullptr, PROV_RSA_FULL)->name, "First");
    EXPECT_EQ(findCspRegistryEntry(registry(), nullptr, 24)->name, "Other Type");
    EXPECT_FALSE(findCspRegistryEntry(registry(), "Ignored", 0));
    EXPECT_FALSE(findCspRegistryEntry(registry(), "second", 0)) << "names compare exactly";
    EXPECT_FALSE(findCspRegistryEntry(registry() / "missing", "First", 0));
}

TEST_F(CspRegistryTest, SearchesTheEnvironmentThenTheAdministratorsThenThePackagedDirectory)
{
    const CspRegistryLocations system = CspRegistryLocations::system();
    EXPECT_EQ(system.administrator, std::filesystem::path(TALVO_ADMIN_CSP_DIR));
    EXPECT_EQ(std::filesystem::weakly_canonical(system.packaged),
              std::filesystem::weakly_canonical(builtRegistry()))
        << "found relative to the program, in the build tree as installed";
    EXPECT_EQ(cspRegistryDirectories(),
              (std::vector<std::filesystem::path>{system.administrator, system.packaged}));

    const ScopedEnvironment environment("TALVO_CSP_REGISTRY", "/somewhere/else");
    EXPECT_EQ(cspRegistryDirectories(),
              (std::vector<std::filesystem::path>{"/somewhere/else", system.administrator, system.packaged}));
}

TEST_F(CspRegistryTest, ARelativeRegistryDirectoryIsRefused)
{
    // Never the working directory, however the variable is spelt.
    for (const char* relative : {"csp", "./csp", "."}) {
        const ScopedEnvironment environment("TALVO_CSP_REGISTRY", relative);
        TraceCapture traces;
        const std::vector<std::filesystem::path> directories = cspRegistryDirectories({"/etc/x", "/usr/x"});
        EXPECT_EQ(directories, (std::vector<std::filesystem::path>{"/etc/x", "/usr/x"})) << relative;
        EXPECT_TRUE(traced(traces, std::string("TALVO_CSP_REGISTRY refused: \"") + relative +
                                       "\" is not an absolute directory"));
    }
}

TEST_F(CspRegistryTest, TheAdministratorsEntryWinsOverThePackagedOneOfTheSameName)
{
    const CspRegistryLocations locations{registry() / "etc", registry() / "packaged"};
    writeEntryIn(locations.packaged, "a.csp", "name=Shared\ntype=1\nlibrary=/packaged/libShared.so\n");
    writeEntryIn(locations.packaged, "b.csp", "name=Packaged Only\ntype=1\nlibrary=/packaged/libOnly.so\n");
    writeEntryIn(locations.administrator, "z.csp", "name=Shared\ntype=1\nlibrary=/etc/libShared.so\n");

    const std::vector<CspRegistryEntry> shared =
        findCspRegistryEntries(cspRegistryDirectories(locations), "Shared", 0);
    ASSERT_EQ(shared.size(), 2u) << "the packaged entry stays as a fallback";
    EXPECT_EQ(shared[0].library, std::filesystem::path("/etc/libShared.so"));
    EXPECT_EQ(shared[1].library, std::filesystem::path("/packaged/libShared.so"));
    EXPECT_EQ(
        findCspRegistryEntries(cspRegistryDirectories(locations), nullptr, PROV_RSA_FULL).front().library,
        std::filesystem::path("/etc/libShared.so"))
        << "the first of the type, too, is the administrator's";
    EXPECT_EQ(findCspRegistryEntries(cspRegistryDirectories(locations), "Packaged Only", 0).size(), 1u);
}

// How an entry file or its directory is made loose, and whether the entry must then be refused.
struct LooseCase {
    const char* what;
    mode_t entryMode;
    mode_t directoryMode;
    bool foreignOwner;
    bool refused;
};

TEST_F(CspRegistryTest, EntriesThatOtherUsersMayChangeAreRefused)
{
    const LooseCase cases[] = {
        {"a private entry", 0644, 0755, false, false},
        {"a group-writable entry", 0664, 0755, false, true},
        {"a world-writable entry", 0646, 0755, false, true},
        {"a directory that everyone may write", 0644, 0777, false, true},
        {"a directory that everyone may write, with the sticky bit", 0644, 01777, false, false},
        {"an entry of another user", 0644, 0755, true, true},
    };
    for (const LooseCase& loose : cases) {
        if (loose.foreignOwner && ::geteuid() != 0)
            continue; // only root can give a file away
        SCOPED_TRACE(loose.what);
        const std::filesystem::path dir = registry() / "loose";
        std::filesystem::remove_all(dir);
        writeEntryIn(dir, "p.csp", "name=Loose\ntype=1\nlibrary=/opt/libLoose.so\n");
        const std::filesystem::path file = dir / "p.csp";
        ASSERT_EQ(::chmod(file.c_str(), loose.entryMode), 0);
        ASSERT_EQ(::chmod(dir.c_str(), loose.directoryMode), 0);
        if (loose.foreignOwner) {
            ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        }
        TraceCapture traces;
        EXPECT_EQ(findCspRegistryEntries({dir}, "Loose", 0).empty(), loose.refused);
        EXPECT_EQ(traced(traces, "Provider registry entry " + file.string() + " refused: "), loose.refused)
            << traces.lines().join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(CspRegistryTest, AModuleThatOtherUsersMayChangeIsRefused)
{
    const std::filesystem::path module = registry() / "libLooseCsp.so";
    std::filesystem::copy_file(TALVO_MERO_CSP, module);
    writeEntry("loose.csp", "name=Loose Module\ntype=1\nlibrary=libLooseCsp.so\n");
    ASSERT_EQ(::chmod(module.c_str(), 0666), 0);
    TraceCapture traces;
    EXPECT_EQ(acquireError("Loose Module"), NTE_PROVIDER_DLL_FAIL);
    EXPECT_TRUE(
        traced(traces, "Provider module " + module.string() + " refused: it is writable by other users"));
    ASSERT_EQ(::chmod(module.c_str(), 0644), 0);
    EXPECT_EQ(acquireError("Loose Module"), ERROR_SUCCESS) << "the same module, kept private";
}

TEST_F(CspRegistryTest, AnEntryWhoseModuleFailsGivesWayToTheNextOfThatName)
{
    // The registry of the environment comes first; the build's own entry for the provider
    // follows it and serves.
    const struct {
        const char* library;
        std::string trace;
    } failing[] = {
        {"libDoesNotExist.so",
         "Provider module " + (registry() / "libDoesNotExist.so").string() + " refused: "},
        {TALVO_LIBCRYPTO, "lacks the entry point CPAcquireContext"},
    };
    for (const auto& module : failing) {
        SCOPED_TRACE(module.library);
        writeEntry("mero.csp",
                   std::string("name=") + kProvider + "\ntype=1\nlibrary=" + module.library + "\n");
        TraceCapture traces;
        EXPECT_EQ(acquireError(kProvider), ERROR_SUCCESS);
        EXPECT_TRUE(traced(traces, module.trace)) << traces.lines().join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(CspRegistryTest, AcquireReportsWhyAProviderCannotBeReached)
{
    const std::filesystem::path provider = TALVO_MERO_CSP;
    writeEntry("mero.csp",
               std::string("name=") + kProvider + "\ntype=1\nlibrary=" + provider.string() + "\n");
    EXPECT_EQ(acquireError(kProvider), ERROR_SUCCESS) << "an absolute library path";
    EXPECT_EQ(acquireError(nullptr), ERROR_SUCCESS) << "the first provider of the type";
    EXPECT_EQ(acquireError("Unknown Provider"), NTE_KEYSET_NOT_DEF);
    EXPECT_EQ(acquireError(nullptr, 24), NTE_PROV_TYPE_NOT_DEF);
    EXPECT_EQ(acquireError(kProvider, 24), NTE_PROV_TYPE_NO_MATCH);

    writeEntry("missing.csp", "name=Missing Library\ntype=1\nlibrary=libDoesNotExist.so\n");
    EXPECT_EQ(acquireError("Missing Library"), NTE_PROVIDER_DLL_FAIL);
    // A real library that is no provider: it lacks the entry points.
    writeEntry("notcsp.csp", "name=Not A Provider\ntype=1\nlibrary=" + std::string(TALVO_LIBCRYPTO) + "\n");
    EXPECT_EQ(acquireError("Not A Provider"), NTE_PROVIDER_DLL_FAIL);
}

} // namespace
} // namespace talvo::testing
