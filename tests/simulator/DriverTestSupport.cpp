#include "DriverTestSupport.h"

#include "simulator/key/KeyBackend.h"
#include "simulator/key/TokenKeyStore.h"
#include "simulator/token/TokenObjects.h"

#include <QFile>

#include <cstring>

namespace talvo::testing {

namespace {

std::unique_ptr<sim::TokenSession> sessionOf(const SimulatedKey& key)
{
    sim::TokenReference reference;
    std::string error;
    std::unique_ptr<sim::TokenSession> session;
    if (sim::readTokenReference(key.directory().toStdString(), reference, &error) !=
            sim::ReferenceRead::Read ||
        sim::TokenSession::open(reference, session, &error) != sim::TokenSession::Result::Opened)
        ADD_FAILURE() << "cannot open the key's token: " << error;
    return session;
}

} // namespace

std::string backingName(const ::testing::TestParamInfo<SimulatedKey::Backing>& info)
{
    return info.param == SimulatedKey::Backing::Token ? "Token" : "Files";
}

std::string keySerial(const SimulatedKey& key)
{
    if (!key.token())
        return "TLV-2026-00017";
    const std::unique_ptr<sim::TokenSession> session = sessionOf(key);
    return session ? session->serial() : std::string();
}

bool holdsPicture(const SimulatedKey& key, int32_t sealNumber)
{
    if (!key.token())
        return QFile::exists(key.directory() + "/seal-" + QString::number(sealNumber) + ".picture");
    const std::unique_ptr<sim::TokenSession> session = sessionOf(key);
    sim::TokenObjects objects(*session);
    EXPECT_TRUE(objects.list());
    return !objects.named(CKO_DATA, sim::pictureObjectName(sealNumber)).empty();
}

QByteArray storedCertificate(const SimulatedKey& key)
{
    std::string der;
    std::string error;
    EXPECT_TRUE(sim::openKeyBackend(key.directory().toStdString())->readCertificate(der, &error)) << error;
    return QByteArray::fromStdString(der);
}

sim::EvpPkeyPtr signaturePublicKey(const SimulatedKey& key)
{
    std::string error;
    const std::unique_ptr<sim::ContainerKey> pair =
        sim::openKeyBackend(key.directory().toStdString())->containerKey(sim::KeyPair::Signature, &error);
    EXPECT_TRUE(pair) << error;
    return sim::EvpPkeyPtr(pair ? EVP_PKEY_dup(pair->publicKey()) : nullptr);
}

KeyDriverBinding& driver()
{
    static KeyDriverBinding binding;
    return binding;
}

KeyInfo readKeyInfo()
{
    KeyInfo info{};
    EXPECT_EQ(driver().TLKeyReadKeyInfo(&info), TL_OK);
    return info;
}

QByteArray keyFile(const SimulatedKey& key, const QString& name)
{
    QFile file(key.directory() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeKeyFile(const SimulatedKey& key, const QString& name, const QByteArray& bytes)
{
    QFile file(key.directory() + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::map<std::string, int32_t> callEveryFunction()
{
    KeyDriverBinding& d = driver();
    char text[TL_SERIAL_BUFFER_SIZE] = {};
    char hash[TL_HASH_BUFFER_SIZE] = {};
    std::strcpy(hash, kFactoryPinHash);
    uint8_t flag = 0;
    uint32_t value = 0;
    int32_t count = 0;
    KeyInfo info{};
    const uint8_t notAKey[8] = {};
    uint32_t length = 0;
    const uint8_t picture[] = {1, 2};
    std::map<std::string, int32_t> answers;
    answers["TLShowDlg"] = d.TLShowDlg();
    answers["TLKeyIsExist"] = d.TLKeyIsExist(4) ? 0 : 1;
    answers["TLKeyInit"] = d.TLKeyInit(3, "a", "b");
    answers["TLKeyVerifyUserPin"] = d.TLKeyVerifyUserPin("730264");
    answers["TLKeyReadSerial"] = d.TLKeyReadSerial(text, 4);
    answers["TLKeyCalcHash"] = d.TLKeyCalcHash("730264", 6, text);
    answers["TLKeyReadHash"] = d.TLKeyReadHash(text, 2);
    answers["TLKeyWriteHash"] = d.TLKeyWriteHash(hash, 4);
    answers["TLKeyCheckHash"] = d.TLKeyCheckHash("730264", 6, &flag);
    answers["TLKeyGetStatus"] = d.TLKeyGetStatus(&value);
    answers["TLKeyReadKeyInfo"] = d.TLKeyReadKeyInfo(&info);
    answers["TLKeyWriteKeyBaseInfo"] = d.TLKeyWriteKeyBaseInfo(info.base);
    answers["TLKeyWriteSealTime"] = d.TLKeyWriteSealTime(101, "2030-01-01 00:00:00");
    answers["TLKeyReadSealNum"] = d.TLKeyReadSealNum(&count);
    answers["TLKeyReadSealData"] = d.TLKeyReadSealData(101, nullptr, &length);
    answers["TLKeyWriteSealData"] = d.TLKeyWriteSealData("n", "e", picture, 2);
    answers["TLKeyDelSealData"] = d.TLKeyDelSealData(102);
    answers["TLKeyReadCert"] = d.TLKeyReadCert(nullptr, &length);
    answers["TLKeyGetSignature"] = d.TLKeyGetSignature("730264", 6, nullptr, &length);
    answers["TLKeyGetPublicKey"] = d.TLKeyGetPublicKey(nullptr, &length);
    // A working key refuses eight zero bytes as a public key.
    const int32_t verified = d.TLVerifySign("730264", 6, notAKey, 8, notAKey, 8, &flag);
    answers["TLVerifySign"] = verified == TL_ERR_PARAMETER ? TL_OK : verified;
    answers["TLRegCerts"] = d.TLRegCerts() ? 0 : 1;
    answers["TLGetCertsNumFromIE"] = d.TLGetCertsNumFromIE();
    answers["TLRemoveAllCertsFromIE"] = d.TLRemoveAllCertsFromIE() ? 0 : 1;
    const char* cspName = d.TLKeyReadCspName();
    answers["TLKeyReadCspName"] = cspName && *cspName ? 0 : 1;
    answers["TLKeyLowFormat"] = d.TLKeyLowFormat();
    return answers;
}

} // namespace talvo::testing
