#include "TestContainers.h"

#include "simulator/common/ContainerKeys.h"
#include "simulator/common/SimDirectory.h"

#include <QTemporaryDir>

#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace talvo::testing {

namespace {

QTemporaryDir& containerStore()
{
    static QTemporaryDir store;
    return store;
}

void writeNewPair(const std::filesystem::path& file, int bits)
{
    sim::EvpPkeyPtr key(EVP_RSA_gen(static_cast<unsigned>(bits)));
    ASSERT_TRUE(key);
    std::unique_ptr<FILE, decltype(&std::fclose)> out(std::fopen(file.c_str(), "wb"), &std::fclose);
    ASSERT_TRUE(out);
    ASSERT_EQ(PEM_write_PrivateKey(out.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr), 1);
}

} // namespace

const std::filesystem::path& generatedContainer()
{
    static const std::filesystem::path dir = [] {
        const std::filesystem::path made = containerStore().filePath("generated").toStdString();
        std::filesystem::create_directories(made);
        std::string error;
        EXPECT_TRUE(sim::createContainer(made, "TalvoTestContainer", &error)) << error;
        return made;
    }();
    return dir;
}

const std::filesystem::path& containerWithKeySizes(int signatureBits, int exchangeBits)
{
    static std::map<std::pair<int, int>, std::filesystem::path> made;
    const auto key = std::make_pair(signatureBits, exchangeBits);
    if (const auto found = made.find(key); found != made.end())
        return found->second;
    const std::filesystem::path dir =
        containerStore()
            .filePath(QStringLiteral("sizes-%1-%2").arg(signatureBits).arg(exchangeBits))
            .toStdString();
    std::filesystem::create_directories(dir);
    const sim::ContainerFiles files = sim::containerFiles(dir);
    writeNewPair(files.signatureKey, signatureBits);
    writeNewPair(files.exchangeKey, exchangeBits);
    std::ofstream(files.name) << "TalvoSizedContainer";
    return made.emplace(key, dir).first->second;
}

std::filesystem::path fuzzContainer()
{
    return std::filesystem::path(TALVO_SOURCE_DIR) / "fuzz" / "secure-message" / "container";
}

SimulatedKeyDirectory::SimulatedKeyDirectory(const std::filesystem::path& container)
{
    const std::filesystem::path key = path();
    std::filesystem::create_directories(key);
    std::filesystem::copy(container, key, std::filesystem::copy_options::recursive);
    m_environment =
        std::make_unique<ScopedEnvironment>("TALVO_SIM_DIR", QByteArray::fromStdString(key.string()));
}

std::filesystem::path SimulatedKeyDirectory::path() const
{
    return std::filesystem::path(m_dir.path().toStdString()) / "key";
}

void SimulatedKeyDirectory::unplug() const
{
    std::ofstream(sim::unpluggedMarker(path())) << "";
}

void SimulatedKeyDirectory::removeFile(const char* name) const
{
    std::filesystem::remove(path() / name);
}

} // namespace talvo::testing
