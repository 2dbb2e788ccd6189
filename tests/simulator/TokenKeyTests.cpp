// A simulated key on a SoftHSM2 token: what talvo-sim puts there, and what the driver answers
// when the token goes away or refuses its PIN.
#include "DriverTestSupport.h"

#include "simulator/key/DemoKey.h"
#include "simulator/key/StateCodec.h"
#include "simulator/key/TokenKeyStore.h"
#include "simulator/token/TokenObjects.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace talvo::testing {
namespace {

std::unique_ptr<sim::TokenSession> openToken(const SoftHsmToken& token, const QString& pinFile)
{
    std::unique_ptr<sim::TokenSession> session;
    std::string error;
    EXPECT_EQ(sim::TokenSession::open({token.uri().toStdString(), pinFile.toStdString()}, session, &error),
              sim::TokenSession::Result::Opened)
        << error;
    return session;
}

std::vector<sim::TokenObject> objectsOn(const SoftHsmToken& token)
{
    const std::unique_ptr<sim::TokenSession> session = openToken(token, token.pinFile());
    sim::TokenObjects objects(*session);
    EXPECT_TRUE(objects.list());
    return objects.all();
}

bool runSim(const QStringList& arguments, QString& output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(TALVO_SIM_EXECUTABLE), arguments);
    const bool finished = process.waitForFinished(60000);
    output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

TEST(TalvoSimTest, CreateOnATokenLeavesOnlyItsNameInTheDirectory)
{
    const SoftHsmToken token(SoftHsmToken::Holds::Nothing);
    const TempDirectory state;
    const ScopedEnvironment directory("TALVO_SIM_DIR", state.path().toLocal8Bit());
    QString output;
    ASSERT_TRUE(runSim({"create", "--token", token.uri(), "--pin-file", token.pinFile()}, output))
        << output.toStdString();

    EXPECT_EQ(QDir(state.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{".lock", "token"}));
    const QByteArray reference = TempDirectory::readFile(state.file("token"));
    EXPECT_TRUE(reference.contains(token.pinFile().toUtf8()));
    EXPECT_FALSE(reference.contains(TempDirectory::readFile(token.pinFile()).trimmed())) << "no PIN";

    std::map<CK_OBJECT_CLASS, int> classes;
    for (const sim::TokenObject& object : objectsOn(token))
        ++classes[object.objectClass];
    EXPECT_EQ(classes, (std::map<CK_OBJECT_CLASS, int>{
                           {CKO_DATA, 4}, {CKO_CERTIFICATE, 1}, {CKO_PUBLIC_KEY, 2}, {CKO_PRIVATE_KEY, 2}}))
        << "two pairs, the certificate, the record and three pictures";

    char serial[TL_SERIAL_BUFFER_SIZE] = {};
    ASSERT_EQ(driver().TLKeyReadSerial(serial, 4), TL_OK);
    EXPECT_EQ(serial, openToken(token, token.pinFile())->serial());
    EXPECT_EQ(readKeyInfo().base.sealNum, 3);
    ASSERT_TRUE(runSim({"show"}, output));
    EXPECT_TRUE(output.contains("Token:           " + token.uri())) << output.toStdString();
}

// What talvo-sim refuses before it writes anything, on the token or in the directory.
struct BadTokenInput {
    const char* what;
    std::function<QStringList(const SoftHsmToken&, const TempDirectory&)> arguments;
    const char* reason;
};

TEST(TalvoSimTest, BadTokenInputIsRefusedWithNothingWritten)
{
    const SoftHsmToken token(SoftHsmToken::Holds::Nothing);
    const TempDirectory files;
    TempDirectory::writeFile(files.file("loose"), TempDirectory::readFile(token.pinFile()));
    TempDirectory::writeFile(files.file("wrong"), "99999999\n");
    TempDirectory::writeFile(files.file("group"), TempDirectory::readFile(token.pinFile()));
    QFile::setPermissions(files.file("group"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QFile::setPermissions(files.file("wrong"), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::link(token.pinFile(), files.file("link")));
    const auto on = [](const QString& uri, const QString& pinFile) {
        return QStringList{"create", "--token", uri, "--pin-file", pinFile};
    };
    const std::vector<BadTokenInput> inputs = {
        {"a URI that names no token",
         [&](const SoftHsmToken&, const TempDirectory&) {
             return on("pkcs11:token=elsewhere", token.pinFile());
         },
         "no token matches pkcs11:token=elsewhere"},
        {"no URI at all",
         [&](const SoftHsmToken&, const TempDirectory&) { return on("talvo", token.pinFile()); },
         "is no PKCS#11 URI"},
        {"a loose PIN file",
         [&](const SoftHsmToken& t, const TempDirectory& f) { return on(t.uri(), f.file("loose")); },
         "may be read or changed by other users"},
        {"a PIN file its group may read",
         [&](const SoftHsmToken& t, const TempDirectory& f) { return on(t.uri(), f.file("group")); },
         "may be read or changed by other users (mode 0640)"},
        {"an attribute that PKCS#11 URIs do not know",
         [&](const SoftHsmToken& t, const TempDirectory&) {
             return on(t.uri() + ";tokn=elsewhere", t.pinFile());
         },
         "has an attribute that PKCS#11 URIs do not know (\"tokn\")"},
        {"a PIN file that is a link",
         [&](const SoftHsmToken& t, const TempDirectory& f) { return on(t.uri(), f.file("link")); },
         "is a symbolic link"},
        {"a missing PIN file",
         [&](const SoftHsmToken& t, const TempDirectory& f) { return on(t.uri(), f.file("none")); },
         "cannot be opened"},
        {"a wrong PIN",
         [&](const SoftHsmToken& t, const TempDirectory& f) { return on(t.uri(), f.file("wrong")); },
         "refused the PIN"},
        {"a PIN in the URI",
         [&](const SoftHsmToken& t, const TempDirectory&) {
             return QStringList{"create", "--token", t.uri() + ";pin-value=11223344"};
         },
         "holds a PIN"},
    };
    const TempDirectory state;
    const ScopedEnvironment directory("TALVO_SIM_DIR", state.file("key").toLocal8Bit());
    const auto refused = [&](const QStringList& arguments, const char* reason) {
        QString output;
        EXPECT_FALSE(runSim(arguments, output));
        EXPECT_TRUE(output.startsWith("talvo-sim: ")) << output.toStdString();
        EXPECT_TRUE(output.contains(QLatin1String(reason))) << output.toStdString();
        EXPECT_TRUE(output.contains("nothing was written")) << output.toStdString();
        EXPECT_FALSE(QFile::exists(state.file("key"))) << "no state directory";
    };
    for (const BadTokenInput& input : inputs) {
        SCOPED_TRACE(input.what);
        refused(input.arguments(token, files), input.reason);
        EXPECT_TRUE(objectsOn(token).empty());
    }
    QFile::setPermissions(files.file("loose"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    // A token that generates RSA pairs but neither signs nor decrypts with them.
    const QString configuration = QString::fromLocal8Bit(qgetenv("SOFTHSM2_CONF"));
    const QByteArray offersAll = TempDirectory::readFile(configuration);
    TempDirectory::writeFile(configuration, offersAll + "slots.mechanisms = CKM_RSA_PKCS_KEY_PAIR_GEN\n");
    refused(on(token.uri(), token.pinFile()), "the token lacks CKM_RSA_PKCS");
    TempDirectory::writeFile(configuration, offersAll);
    EXPECT_TRUE(objectsOn(token).empty());

    // Another application's object: the token is not the Talvo key's alone.
    const std::unique_ptr<sim::TokenSession> session = openToken(token, token.pinFile());
    sim::TokenObjects objects(*session);
    ASSERT_TRUE(objects.list());
    CK_OBJECT_CLASS data = CKO_DATA;
    CK_BBOOL yes = CK_TRUE;
    std::string label = "their data";
    std::string application = "other";
    ASSERT_TRUE(objects.create({{CKA_CLASS, &data, sizeof data},
                                {CKA_TOKEN, &yes, sizeof yes},
                                {CKA_LABEL, label.data(), label.size()},
                                {CKA_APPLICATION, application.data(), application.size()},
                                {CKA_VALUE, label.data(), label.size()}},
                               {}));
    refused(on(token.uri(), token.pinFile()), "object(s) of another application");
    EXPECT_EQ(objectsOn(token).size(), 1u);
}

KeyInfo keyInfo()
{
    KeyInfo info;
    std::memset(&info, 0, sizeof info);
    EXPECT_EQ(driver().TLKeyReadKeyInfo(&info), TL_OK);
    return info;
}

TEST(TokenKeyStoreTest, PrivateKeysAreSensitiveAndNeverLeaveTheToken)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, SimulatedKey::Backing::Token);
    const std::unique_ptr<sim::TokenSession> session = openToken(*key.token(), key.token()->pinFile());
    sim::TokenObjects objects(*session);
    ASSERT_TRUE(objects.list());
    int privateKeys = 0;
    for (const sim::TokenObject& object : objects.all()) {
        if (object.objectClass != CKO_PRIVATE_KEY)
            continue;
        SCOPED_TRACE(object.label);
        ++privateKeys;
        CK_BBOOL sensitive = CK_FALSE;
        CK_BBOOL extractable = CK_TRUE;
        CK_ATTRIBUTE flags[] = {{CKA_SENSITIVE, &sensitive, sizeof sensitive},
                                {CKA_EXTRACTABLE, &extractable, sizeof extractable}};
        ASSERT_EQ(session->functions().C_GetAttributeValue(session->handle(), object.handle, flags, 2),
                  CKR_OK);
        EXPECT_EQ(sensitive, CK_TRUE);
        EXPECT_EQ(extractable, CK_FALSE);
        unsigned char exponent[512];
        CK_ATTRIBUTE secret = {CKA_PRIVATE_EXPONENT, exponent, sizeof exponent};
        EXPECT_EQ(session->functions().C_GetAttributeValue(session->handle(), object.handle, &secret, 1),
                  CKR_ATTRIBUTE_SENSITIVE);
    }
    EXPECT_EQ(privateKeys, 2);
}

TEST(TokenKeyStoreTest, TokenThatHasGoneAnswersOneAndKeepsTheKey)
{
    SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    const KeyInfo before = keyInfo();
    key.token()->remove();
    ::testing::internal::CaptureStderr();
    for (const auto& [function, status] : callEveryFunction())
        EXPECT_EQ(status, function == "TLGetCertsNumFromIE" ? 0 : TL_ERR_NO_DEVICE) << function;
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("no token matches"), std::string::npos);

    key.token()->putBack();
    const KeyInfo after = keyInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_TRUE(holdsPicture(key, 102));
}

TEST(TokenKeyStoreTest, PinTheTokenRefusesAnswersAnErrorAndKeepsTheKey)
{
    SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    const KeyInfo before = keyInfo();
    const QByteArray pin = TempDirectory::readFile(key.token()->pinFile());
    TempDirectory::writeFile(key.token()->pinFile(), "00000000\n");
    ::testing::internal::CaptureStderr();
    KeyInfo info{};
    uint32_t length = 0;
    const uint8_t picture[] = {1, 2, 3};
    EXPECT_EQ(driver().TLKeyReadKeyInfo(&info), TL_ERR_ACCESS);
    EXPECT_EQ(driver().TLKeyWriteSealData("n", "e", picture, 3), TL_ERR_ACCESS);
    EXPECT_EQ(driver().TLKeyDelSealData(101), TL_ERR_ACCESS);
    EXPECT_EQ(driver().TLKeyLowFormat(), TL_ERR_ACCESS);
    EXPECT_EQ(driver().TLKeyGetSignature("730264", 6, nullptr, &length), TL_ERR_ACCESS);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("refused the PIN"), std::string::npos);

    TempDirectory::writeFile(key.token()->pinFile(), pin);
    const KeyInfo after = keyInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

// The record's content, as the key holds it now.
sim::KeyState recordedState(sim::TokenObjects& objects)
{
    sim::KeyState state;
    std::string value;
    std::string text;
    const std::vector<sim::TokenObject> records = objects.named(CKO_DATA, sim::kRecordName);
    EXPECT_TRUE(!records.empty() &&
                objects.readAttribute(records.front().handle, CKA_VALUE, 1 << 20, value) &&
                sim::unwrapPayload(value, text) && sim::decodeState(text, state, nullptr));
    return state;
}

// Changes the token's objects as another program, or an earlier run, would.
void changeObjects(const SoftHsmToken& token, const std::function<void(sim::TokenObjects&)>& change)
{
    const std::unique_ptr<sim::TokenSession> session = openToken(token, token.pinFile());
    sim::TokenObjects objects(*session);
    ASSERT_TRUE(objects.list());
    change(objects);
}

std::vector<sim::TokenObject> objectsNamed(const SoftHsmToken& token, std::string_view name)
{
    std::vector<sim::TokenObject> named;
    for (const sim::TokenObject& object : objectsOn(token)) {
        if (object.name == name)
            named.push_back(object);
    }
    return named;
}

TEST(TokenKeyStoreTest, TheNewestWholeRecordIsReadAndTheChangeClearsTheRest)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    // An older whole record, a newer whole one, and what a writer that died while creating a
    // newer one still may leave.
    changeObjects(*key.token(), [](sim::TokenObjects& objects) {
        sim::KeyState state = recordedState(objects);
        state.userId = "newest whole";
        ASSERT_TRUE(objects.createData(sim::kRecordName, 999, sim::wrapPayload(sim::encodeState(state))));
        state.userId = "older";
        ASSERT_TRUE(objects.createData(sim::kRecordName, 998, sim::wrapPayload(sim::encodeState(state))));
        ASSERT_TRUE(objects.createData(sim::kRecordName, 1000,
                                       sim::wrapPayload("talvo-sim-state 1\n").substr(0, 30)));
    });
    EXPECT_EQ(std::string(keyInfo().base.userId), "newest whole");
    EXPECT_EQ(keyInfo().base.sealNum, 3);
    ASSERT_EQ(driver().TLKeyDelSealData(103), TL_OK);
    EXPECT_EQ(keyInfo().base.sealNum, 2);
    EXPECT_EQ(std::string(keyInfo().base.userId), "newest whole");
    EXPECT_EQ(objectsNamed(*key.token(), sim::kRecordName).size(), 1u)
        << "the change clears what it replaces";
    EXPECT_FALSE(holdsPicture(key, 103));
}

// Another program's object at the last generation: a change is refused and destroys nothing.
TEST(TokenKeyStoreTest, AGenerationThatCannotBeAdvancedIsRefused)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    const KeyInfo before = keyInfo();
    changeObjects(*key.token(), [](sim::TokenObjects& objects) {
        ASSERT_TRUE(objects.createData(sim::kRecordName, std::numeric_limits<std::uint64_t>::max(),
                                       sim::wrapPayload(sim::encodeState(recordedState(objects)))));
    });
    const std::size_t records = objectsNamed(*key.token(), sim::kRecordName).size();
    KeyBaseInfo changed = before.base;
    std::strcpy(changed.userId, "changed");
    ::testing::internal::CaptureStderr();
    EXPECT_NE(driver().TLKeyWriteKeyBaseInfo(changed), TL_OK);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("has the last generation a number can hold"),
              std::string::npos);
    EXPECT_EQ(objectsNamed(*key.token(), sim::kRecordName).size(), records);
    const KeyInfo after = keyInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

// A newer picture that is cut or changed does not hide the older whole one, and the next change
// keeps that one.
TEST(TokenKeyStoreTest, TheNewestWholePictureCounts)
{
    const struct {
        const char* what;
        std::function<std::string(const std::string&)> damage;
    } damages[] = {
        {"of the wrong size", [](const std::string& value) { return value.substr(0, value.size() - 1); }},
        {"with the wrong hash",
         [](const std::string& value) {
             std::string changed = value;
             changed.back() ^= 1;
             return changed;
         }},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        const SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
        const std::string picture(sim::demoPicture(102));
        changeObjects(*key.token(), [&](sim::TokenObjects& objects) {
            ASSERT_TRUE(objects.createData(sim::pictureObjectName(102), 5000,
                                           damage.damage(sim::wrapPayload(picture))));
        });
        const auto readPicture = [] {
            uint32_t length = 0;
            EXPECT_EQ(driver().TLKeyReadSealData(102, nullptr, &length), TL_OK);
            std::string bytes(length, '\0');
            EXPECT_EQ(driver().TLKeyReadSealData(102, reinterpret_cast<uint8_t*>(bytes.data()), &length),
                      TL_OK);
            return bytes;
        };
        EXPECT_EQ(keyInfo().base.sealNum, 3);
        EXPECT_EQ(readPicture(), picture);
        EXPECT_EQ(driver().TLKeyDelSealData(103), TL_OK);
        EXPECT_EQ(readPicture(), picture);
        EXPECT_EQ(objectsNamed(*key.token(), sim::pictureObjectName(102)).size(), 1u);
    }
}

// What SoftHSM keeps of an object whose creation was killed: a data object with no label, no
// application and no value. It holds nothing; reset and the next change clear it.
TEST(TokenKeyStoreTest, WhatAKilledWriteLeftIsClearedByResetAndTheNextChange)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    const auto leaveBareObject = [](sim::TokenObjects& objects) {
        CK_OBJECT_CLASS data = CKO_DATA;
        CK_BBOOL yes = CK_TRUE;
        ASSERT_TRUE(objects.create({{CKA_CLASS, &data, sizeof data}, {CKA_TOKEN, &yes, sizeof yes}}, {}));
    };
    const auto bareObjects = [&] {
        std::size_t bare = 0;
        for (const sim::TokenObject& object : objectsOn(*key.token()))
            bare += object.bare ? 1 : 0;
        return bare;
    };
    changeObjects(*key.token(), leaveBareObject);
    ASSERT_EQ(bareObjects(), 1u);
    QString output;
    EXPECT_TRUE(runSim({"reset"}, output)) << output.toStdString();
    EXPECT_EQ(bareObjects(), 0u);

    changeObjects(*key.token(), leaveBareObject);
    ASSERT_EQ(driver().TLKeyDelSealData(103), TL_OK);
    EXPECT_EQ(bareObjects(), 0u);
}

} // namespace
} // namespace talvo::testing
