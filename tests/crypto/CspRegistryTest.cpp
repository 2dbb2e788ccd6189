// Finding a provider by its name in the registry and loading its library.

#include "TestContainers.h"

#include "platform/CryptoApi.h"
#include "platform/CspRegistry.h"

#include <gtest/gtest.h>

#include <fstream>

namespace talvo::testing {
namespace {

constexpr const char* kProvider = "MERO Cryptographic Service Provider v1.0.0";

std::filesystem::path builtRegistry()
{
    return std::filesystem::path(TALVO_BINARY_DIR) / "lib" / "csp";
}

class CspRegistryTest : public ::testing::Test {
protected:
    std::filesystem::path registry() const { return std::filesystem::path(m_dir.path().toStdString()); }
    void writeEntry(const char* fileName, const std::string& text) const
    {
        std::ofstream(registry() / fileName) << text;
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
        parseCspRegistryEntry("# a provider\nname=Some Provider\r\ntype=1\nlibrary=../libSome.so\n", "/reg");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Some Provider");
    EXPECT_EQ(entry->type, 1u);
    EXPECT_EQ(entry->library, std::filesystem::path("/reg/../libSome.so"));
    EXPECT_EQ(parseCspRegistryEntry("name=A\ntype=1\nlibrary=/opt/lib/libA.so\n", "/reg")->library,
              std::filesystem::path("/opt/lib/libA.so"));
    EXPECT_FALSE(parseCspRegistryEntry("name=A\nlibrary=libA.so\n", "/reg")) << "no type";
    EXPECT_FALSE(parseCspRegistryEntry("name=A\ntype=x1\nlibrary=libA.so\n", "/reg")) << "bad type";
    EXPECT_FALSE(parseCspRegistryEntry("type=1\nlibrary=libA.so\n", "/reg")) << "no name";
    EXPECT_FALSE(parseCspRegistryEntry("name=A\ntype=1\n", "/reg")) << "no library";
    EXPECT_FALSE(parseCspRegistryEntry("name=A\ntype=1\nlibrary=libA.so\ngarbage\n", "/reg"));
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

TEST_F(CspRegistryTest, DefaultRegistryIsBesideTheLibrariesAndTheEnvironmentOverridesIt)
{
    EXPECT_EQ(std::filesystem::weakly_canonical(cspRegistryDirectory()),
              std::filesystem::weakly_canonical(builtRegistry()));
    const ScopedEnvironment environment("TALVO_CSP_REGISTRY", "/somewhere/else");
    EXPECT_EQ(cspRegistryDirectory(), std::filesystem::path("/somewhere/else"));
}

TEST_F(CspRegistryTest, AcquireReportsWhyAProviderCannotBeReached)
{
    const std::filesystem::path provider = std::filesystem::path(TALVO_BINARY_DIR) / "lib" / "libMeroCsp.so";
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
