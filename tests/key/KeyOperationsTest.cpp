// Each key operation's driver calls and its answer to a failing one, against the recording
// driver: what the pages, the seal dialogs and talvo-key share is held here once.
#include "device/KeyDriverBinding.h"
#include "key/BaseRecord.h"
#include "key/CertificateOperations.h"
#include "key/DeviceOperations.h"
#include "key/PinOperations.h"
#include "key/SealOperations.h"
#include "key/SealSlotTable.h"
#include "recording/RecordingDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace talvo {
namespace {

using testing::callNames;
using testing::DriverCall;
using testing::recordingDriver;

// The operations in both tables below.
const auto readBase = [](KeyDriverBinding& b) {
    KeyBaseInfo base;
    return readBaseInformation(b, base);
};
const auto format = [](KeyDriverBinding& b) { return *formatKey(b); };
const auto readCertificate = [](KeyDriverBinding& b) { return TwoCallRead(certificateRead(b)).readAll(); };
const auto readPicture = [](KeyDriverBinding& b) { return sealPictureRead(b, 101).readUnlessEmpty(); };

// A key in the recording driver with one seal, 101, and a certificate, signature and key.
class KeyOperations : public ::testing::Test {
protected:
    void SetUp() override
    {
        recordingDriver().reset();
        ASSERT_TRUE(m_binding.isLibraryLoaded()) << m_binding.loadError();
        RecordingDriver& driver = recordingDriver();
        driver.keyInfo.sealTable[0].inUse = 1;
        driver.pictures[101] = "GIF89a";
        driver.certificate.bytes = "CERT";
        driver.signature.bytes = "SIG";
        driver.publicKey.bytes = "KEY";
    }

    using RecordingDriver = testing::RecordingDriver;
    KeyDriverBinding m_binding;
};

TEST_F(KeyOperations, MakeTheirDriverCallsInOrder)
{
    const std::string pin6("12\0\0\0\0", 6);
    const struct {
        const char* name;
        std::function<void(KeyDriverBinding&)> operation;
        std::vector<DriverCall> calls;
    } cases[] = {
        {"presence", [](auto& b) { keyPresent(b); }, {{"TLKeyIsExist", {"4"}}}},
        {"用户key", [](auto& b) { userKeyPresent(b); }, {{"TLKeyIsExist", {"0"}}}},
        {"serial",
         [](auto& b) {
             char serial[kSerialBufferSize];
             readSerial(b, serial);
         },
         {{"TLKeyReadSerial", {"4"}}}},
        {"CSP name", [](auto& b) { readCspName(b); }, {{"TLKeyReadCspName", {}}}},
        {"base information", readBase, {{"TLKeyReadKeyInfo", {}}, {"TLKeyReadSealNum", {}}}},
        {"format", format, {{"TLKeyCalcHash", {"730264", "6"}}, {"TLKeyLowFormat", {}}}},
        {"format stopped between",
         [](auto& b) { formatKey(b, [] { return false; }); },
         {{"TLKeyCalcHash", {"730264", "6"}}}},
        {"PIN hash, six bytes always",
         [](auto& b) {
             char hash[kCalcHashBufferSize];
             hashPin(b, "12", hash);
         },
         {{"TLKeyCalcHash", {pin6, "6"}}}},
        {"PIN check", [](auto& b) { checkPin(b, "123456"); }, {{"TLKeyVerifyUserPin", {"123456"}}}},
        {"seal table",
         [](auto& b) {
             SealSlotTable table;
             readSealTable(b, table);
         },
         {{"TLKeyReadKeyInfo", {}}}},
        {"seal time",
         [](auto& b) { writeSealTime(b, 101, "2030-01-01 00:00:00"); },
         {{"TLKeyWriteSealTime", {"101", "2030-01-01 00:00:00"}}}},
        {"seal picture",
         readPicture,
         {{"TLKeyReadSealData", {"101", "null"}}, {"TLKeyReadSealData", {"101", "6"}}}},
        {"certificate",
         readCertificate,
         {{"TLKeyReadCert", {"null", "0"}}, {"TLKeyReadCert", {"buffer", "4"}}}},
        {"signature with the fixed PIN",
         [](auto& b) { TwoCallRead(signatureRead(b)).readAll(); },
         {{"TLKeyGetSignature", {"730264", "6", "null", "0"}},
          {"TLKeyGetSignature", {"730264", "6", "buffer", "3"}}}},
        {"public key",
         [](auto& b) { TwoCallRead(publicKeyRead(b)).readAll(); },
         {{"TLKeyGetPublicKey", {"null", "0"}}, {"TLKeyGetPublicKey", {"buffer", "3"}}}},
        {"signature check with the fixed PIN",
         [](auto& b) {
             uint8_t verified = 0;
             verifySignature(b, reinterpret_cast<const uint8_t*>("KEY"), 3,
                             reinterpret_cast<const uint8_t*>("SIG"), 3, verified);
         },
         {{"TLVerifySign", {"730264", "6", "KEY", "3", "SIG", "3", "0"}}}},
        // Last: it takes the seal away.
        {"seal delete",
         [](auto& b) { deleteSeal(b, 101); },
         {{"TLKeyGetStatus", {}}, {"TLKeyDelSealData", {"101"}}}},
    };
    for (const auto& c : cases) {
        recordingDriver().calls.clear();
        c.operation(m_binding);
        EXPECT_EQ(recordingDriver().calls, c.calls) << c.name;
    }
}

TEST_F(KeyOperations, StopAtTheFirstFailingCallAndAnswerItsStatus)
{
    using Operation = std::function<int32_t(KeyDriverBinding&)>;
    const Operation addOne = [](auto& b) {
        return addSeal(b, "n", "e", reinterpret_cast<const uint8_t*>("P"), 1);
    };
    const struct {
        const char* failing;
        Operation operation;
        std::vector<std::string> calls;
        int32_t status = 7;
    } cases[] = {
        {"TLKeyReadKeyInfo", readBase, {"TLKeyReadKeyInfo"}},
        {"TLKeyReadSealNum", readBase, {"TLKeyReadKeyInfo", "TLKeyReadSealNum"}},
        {"TLKeyGetStatus", addOne, {"TLKeyGetStatus"}},
        {"TLKeyGetStatus", [](auto& b) { return deleteSeal(b, 101); }, {"TLKeyGetStatus"}},
        {"TLKeyLowFormat", format, {"TLKeyCalcHash", "TLKeyLowFormat"}},
        // The format's hash is made and not used.
        {"TLKeyCalcHash", format, {"TLKeyCalcHash", "TLKeyLowFormat"}, 0},
        {"TLKeyReadCert", readCertificate, {"TLKeyReadCert"}},
        {"TLKeyReadCert/buffer", readCertificate, {"TLKeyReadCert", "TLKeyReadCert"}},
        {"TLKeyReadSealData", readPicture, {"TLKeyReadSealData"}},
        {"TLKeyReadSealData/buffer", readPicture, {"TLKeyReadSealData", "TLKeyReadSealData"}},
    };
    for (const auto& c : cases) {
        recordingDriver().calls.clear();
        recordingDriver().failures = {{c.failing, 7}};
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(c.operation(m_binding), c.status);
        EXPECT_EQ(callNames(), c.calls);
    }
}

TEST_F(KeyOperations, AnEmptyLengthEndsOnlyTheSealPictureRead)
{
    recordingDriver().pictures[101].clear();
    recordingDriver().certificate.bytes.clear();

    TwoCallRead picture = sealPictureRead(m_binding, 101);
    EXPECT_EQ(picture.readUnlessEmpty(), TL_OK);
    EXPECT_EQ(picture.reportedLength(), 0u);
    EXPECT_EQ(picture.bytes(), nullptr);
    // The certificate's second call gets a byte of buffer rather than a second length query.
    TwoCallRead certificate(certificateRead(m_binding));
    EXPECT_EQ(certificate.readAll(), TL_OK);
    EXPECT_EQ(certificate.toByteArray(), QByteArray());
    EXPECT_EQ(recordingDriver().calls, (std::vector<DriverCall>{{"TLKeyReadSealData", {"101", "null"}},
                                                                {"TLKeyReadCert", {"null", "0"}},
                                                                {"TLKeyReadCert", {"buffer", "1"}}}));
}

TEST_F(KeyOperations, ReadTheirValues)
{
    RecordingDriver& driver = recordingDriver();
    driver.sealCount = 3;
    driver.keyInfo.base.sealNum = 9;
    driver.keyInfo.base.mode = 2;
    driver.serial = std::string(TL_SERIAL_BUFFER_SIZE, 'S');
    driver.cspName = std::vector<char>{'M', 'E', 'R', 'O', '\0'};

    KeyBaseInfo base{};
    ASSERT_EQ(readBaseInformation(m_binding, base), TL_OK);
    EXPECT_EQ(base.sealNum, 3) << "the seal count replaces the record's own";
    EXPECT_EQ(base.mode, 2);
    char serial[kSerialBufferSize] = {};
    ASSERT_EQ(readSerial(m_binding, serial), TL_OK);
    EXPECT_EQ(std::string(serial, sizeof serial), driver.serial);
    EXPECT_EQ(readCspName(m_binding), QStringLiteral("MERO"));
    driver.cspName.reset();
    EXPECT_EQ(readCspName(m_binding), QString());

    TwoCallRead certificate(certificateRead(m_binding));
    ASSERT_EQ(certificate.readAll(), TL_OK);
    EXPECT_EQ(certificate.toByteArray(), QByteArray("CERT"));
    uint8_t verified = 0;
    EXPECT_EQ(verifySignature(m_binding, reinterpret_cast<const uint8_t*>("KEY"), 3,
                              reinterpret_cast<const uint8_t*>("SIG"), 3, verified),
              TL_OK);
    EXPECT_EQ(verified, 1);

    driver.present = false;
    EXPECT_FALSE(keyPresent(m_binding));
    EXPECT_FALSE(userKeyPresent(m_binding));
}

} // namespace
} // namespace talvo
