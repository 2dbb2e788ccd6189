#include "DriverTestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace talvo::testing {
namespace {

QString runOrFail(const SimulatedKey& key, const QStringList& arguments)
{
    QString output;
    EXPECT_TRUE(key.run(arguments, &output))
        << arguments.join(' ').toStdString() << ": " << output.toStdString();
    return output;
}

TEST(TalvoSimTest, ShowDumpsTheKeyReadably)
{
    SimulatedKey key(SimulatedKey::Content::Demo);
    key.fail("TLKeyReadCert", 5);
    const QString shown = runOrFail(key, {"show"});
    EXPECT_TRUE(shown.contains("Plugged:         yes")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\"TLV-2026-00017\""));
    EXPECT_TRUE(shown.contains("1 (COMMON)"));
    EXPECT_TRUE(shown.contains(QString::fromUtf8("\"辽宁示范单位\"")));
    EXPECT_TRUE(shown.contains(QString::fromUtf8("103  \"公章\"")));
    EXPECT_TRUE(shown.contains("picture 4378 bytes"));
    EXPECT_TRUE(shown.contains("TLKeyReadCert answers 5"));
    EXPECT_EQ(runOrFail(key, {"dir"}).trimmed(), key.directory());
}

TEST(TalvoSimTest, PlugFailAndSetReachTheDriver)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    runOrFail(key, {"unplug"});
    EXPECT_FALSE(driver().TLKeyIsExist(4));
    runOrFail(key, {"plug"});
    EXPECT_TRUE(driver().TLKeyIsExist(4));

    runOrFail(key, {"fail", "TLKeyReadSealNum", "-3"});
    runOrFail(key, {"fail", "TLKeyGetStatus", "8"});
    int32_t count = 0;
    EXPECT_EQ(driver().TLKeyReadSealNum(&count), -3);
    runOrFail(key, {"clear", "TLKeyReadSealNum"});
    EXPECT_EQ(driver().TLKeyReadSealNum(&count), TL_OK);
    uint32_t status = 0;
    EXPECT_EQ(driver().TLKeyGetStatus(&status), TL_ERR_NO_ADMIN_DEVICE);
    runOrFail(key, {"clear"});
    EXPECT_EQ(driver().TLKeyGetStatus(&status), TL_OK);

    runOrFail(key, {"set", "keyRole", "102"});
    runOrFail(key, {"set", "timeControlFlag", "1"});
    runOrFail(key, {"set", "userId", QString::fromUtf8("操作员")});
    const KeyInfo info = readKeyInfo();
    EXPECT_EQ(info.base.keyRole, 102);
    EXPECT_EQ(info.base.timeControlFlag, 1);
    EXPECT_EQ(fieldText(info.base.userId), cp936("操作员"));
}

TEST(TalvoSimTest, RefusesWhatItCannotDo)
{
    const SimulatedKey key;
    const QByteArray state = keyFile(key, "key.state");
    const QList<QStringList> refused = {
        {},
        {"frobnicate"},
        {"fail", "TLNoSuchFunction", "3"},
        {"fail", "TLKeyReadBioFlag", "3"}, // bound, but never called by the tool
        {"fail", "TLKeyReadCert"},
        {"fail", "TLKeyReadCert", "three"},
        {"fail", "TLKeyReadCert", "99999999999"},
        {"clear", "TLNoSuchFunction"},
        {"set", "sealNum", "4"},
        {"set", "flagless", "1"},
        {"set", "lockFlag", "256"},
        {"set", "unitId", QString(41, 'u')},
        {"show", "extra"},
        {"create", "--sideways"},
    };
    for (const QStringList& arguments : refused) {
        QString output;
        EXPECT_FALSE(key.run(arguments, &output)) << arguments.join(' ').toStdString();
        EXPECT_TRUE(output.startsWith("talvo-sim: ")) << output.toStdString();
    }
    EXPECT_EQ(keyFile(key, "key.state"), state);

    QString help;
    EXPECT_TRUE(key.run({"--help"}, &help));
    for (const char* command : {"create", "show", "plug", "unplug", "fail", "clear", "reset", "dir"})
        EXPECT_TRUE(help.contains(QLatin1String(command))) << command;
}

TEST(TalvoSimTest, WithoutAKeyCommandsSaySo)
{
    const SimulatedKey key;
    const ScopedEnvironment nowhere("TALVO_SIM_DIR", (key.directory() + "/none").toLocal8Bit());
    for (const QStringList& arguments :
         QList<QStringList>{{"show"}, {"unplug"}, {"fail", "TLShowDlg", "1"}}) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(TALVO_SIM_EXECUTABLE), arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(process.readAll().contains("no simulated key in"));
    }
}

TEST(TalvoSimTest, CreateResetAndDamage)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    const QByteArray certificate = keyFile(key, "certificate.der");

    runOrFail(key, {"create", "--if-missing"});
    EXPECT_EQ(keyFile(key, "certificate.der"), certificate) << "an existing key is kept";

    ASSERT_EQ(driver().TLKeyLowFormat(), TL_OK);
    runOrFail(key, {"fail", "TLKeyReadKeyInfo", "2"});
    runOrFail(key, {"unplug"});
    runOrFail(key, {"reset"});
    EXPECT_EQ(readKeyInfo().base.sealNum, 3) << "reset plugs in, clears failures, brings the seals back";
    EXPECT_EQ(keyFile(key, "certificate.der"), certificate);

    writeKeyFile(key, "key.state", "talvo-sim-state 1\nserial=\n");
    QString output;
    EXPECT_FALSE(key.run({"show"}, &output));
    EXPECT_TRUE(output.contains("damaged state")) << output.toStdString();
    EXPECT_FALSE(key.run({"fail", "TLShowDlg", "1"}));
    runOrFail(key, {"reset"});
    EXPECT_EQ(readKeyInfo().base.sealNum, 3);

    runOrFail(key, {"create", "--empty"});
    EXPECT_EQ(readKeyInfo().base.sealNum, 0);
    EXPECT_NE(keyFile(key, "certificate.der"), certificate) << "create makes a new key pair and certificate";
    EXPECT_FALSE(QFile::exists(key.directory() + "/seal-101.picture"));
}

// What --if-missing finds instead of a whole key; none of it is a reason to replace the key
// pairs, which secure message files made before depend on.
struct Finding {
    const char* what;
    std::function<void(const SimulatedKey&)> make;
    const char* reason;
};

TEST(TalvoSimTest, CreateIfMissingKeepsTheKeyPairsByteForByte)
{
    const auto replaceState = [](const SimulatedKey& k, const std::function<int(const char*)>& plant) {
        const QByteArray state = QFile::encodeName(k.directory() + "/key.state");
        ASSERT_EQ(::unlink(state.constData()), 0);
        ASSERT_EQ(plant(state.constData()), 0);
    };
    const std::vector<Finding> findings = {
        {"state is a directory",
         [&](const SimulatedKey& k) { replaceState(k, [](const char* p) { return ::mkdir(p, 0700); }); },
         "not a regular file"},
        {"state is a dangling link",
         [&](const SimulatedKey& k) {
             replaceState(k, [](const char* p) { return ::symlink("/nonexistent/key.state", p); });
         },
         "symbolic link"},
        {"state is a pipe",
         [&](const SimulatedKey& k) { replaceState(k, [](const char* p) { return ::mkfifo(p, 0600); }); },
         "not a regular file"},
        {"state is garbage", [](const SimulatedKey& k) { writeKeyFile(k, "key.state", "garbage\n"); },
         "damaged"},
        {"no state and half a container",
         [](const SimulatedKey& k) {
             QFile::remove(k.directory() + "/key.state");
             QFile::remove(k.directory() + "/exchange.pem");
         },
         "exchange.pem"},
    };
    const QStringList kept = {"signature.pem", "exchange.pem", "container.name", "certificate.der"};
    for (const Finding& finding : findings) {
        SCOPED_TRACE(finding.what);
        const SimulatedKey key(SimulatedKey::Content::Demo);
        finding.make(key);
        QList<QByteArray> before;
        for (const QString& name : kept)
            before.append(keyFile(key, name));
        QString output;
        EXPECT_FALSE(key.run({"create", "--if-missing"}, &output));
        EXPECT_TRUE(output.contains(QLatin1String(finding.reason))) << output.toStdString();
        EXPECT_TRUE(output.contains("nothing was changed")) << output.toStdString();
        for (qsizetype i = 0; i < kept.size(); ++i)
            EXPECT_EQ(keyFile(key, kept[i]), before[i]) << kept[i].toStdString();
    }

    // A whole container without a state is a key whose record is lost: the pairs stay.
    const SimulatedKey key(SimulatedKey::Content::Empty);
    const QByteArray signature = keyFile(key, "signature.pem");
    const QByteArray certificate = keyFile(key, "certificate.der");
    ASSERT_TRUE(QFile::remove(key.directory() + "/key.state"));
    runOrFail(key, {"create", "--if-missing"});
    EXPECT_EQ(keyFile(key, "signature.pem"), signature);
    EXPECT_EQ(keyFile(key, "certificate.der"), certificate);
    EXPECT_EQ(readKeyInfo().base.sealNum, 3);
}

} // namespace
} // namespace talvo::testing
