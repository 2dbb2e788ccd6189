// talvo-key's commands against the simulated key: each one's effect read back from the key.

#include "TalvoKeyFixture.h"
#include "dev/gif/GifEncoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace talvo::testing {
namespace {

QJsonObject parsed(const TalvoKeyRun& run)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.object();
}

using TalvoKeyCliGateTest = TalvoKeyFixture;

TEST_F(TalvoKeyCliGateTest, AWrongPasswordExitsTwoWithoutLoadingTheDriver)
{
    for (const QByteArray& wrong :
         {QByteArray(""), QByteArray("plain-fox739204 "), QByteArray("PLAIN-FOX739204"),
          QByteArray("plain-fox73920"), QByteArray("\nplain-fox739204")}) {
        TempDirectory::writeFile(m_passwordFile, wrong);
        const TalvoKeyRun run =
            key({QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("unitId=x")});
        EXPECT_EQ(run.exitCode, 2) << wrong.toStdString();
        EXPECT_EQ(run.err, QStringLiteral("talvo-key: 提示: 密码错误，请重新输入！\n"));
        EXPECT_FALSE(run.driverLoaded);
    }
    EXPECT_EQ(text(readKey().base.unitId, TL_UNIT_ID_SIZE), toCp936(QStringLiteral("辽宁示范单位")));

    TempDirectory::writeFile(m_passwordFile, "plain-fox739204\r\n");
    const TalvoKeyRun right = key({QStringLiteral("info")});
    EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
    EXPECT_TRUE(right.driverLoaded);
}

TEST_F(TalvoKeyCliGateTest, ThePasswordIsAskedOnTheTerminalWithoutEcho)
{
    const TalvoKeyRun run = runTalvoKeyOnTerminal(
        {QStringLiteral("info")}, {{QStringLiteral("请输入密码："), QStringLiteral("plain-fox739204")}});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("serial: TLV-2026-00017")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("plain-fox")));

    // No terminal and no password file: nothing to ask on.
    const TalvoKeyRun detached = runTalvoKey({QStringLiteral("info")});
    EXPECT_EQ(detached.exitCode, 2);
    EXPECT_TRUE(detached.err.contains(QStringLiteral("--password-file")));
    EXPECT_FALSE(detached.driverLoaded);
}

using TalvoKeyCliDeviceTest = TalvoKeyFixture;

TEST_F(TalvoKeyCliDeviceTest, InfoAsJsonShowsTheKeyAsThePageDoes)
{
    const TalvoKeyRun run = key({QStringLiteral("info"), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject info = parsed(run);
    EXPECT_EQ(info.value(QStringLiteral("present")), QJsonValue(true));
    EXPECT_EQ(info.value(QStringLiteral("serial")).toString(), QStringLiteral("TLV-2026-00017"));
    EXPECT_EQ(info.value(QStringLiteral("mode")).toString(), QStringLiteral("COMMON"));
    EXPECT_EQ(info.value(QStringLiteral("unitId")).toString(), QStringLiteral("辽宁示范单位"));
    EXPECT_EQ(info.value(QStringLiteral("sealCount")).toInteger(), 3);
    EXPECT_EQ(info.value(QStringLiteral("keyRole")).toInteger(), 1);
    EXPECT_EQ(info.value(QStringLiteral("factoryFlag")).toInteger(), 1);
    EXPECT_EQ(info.value(QStringLiteral("lockFlag")).toInteger(), 0);
    EXPECT_EQ(info.value(QStringLiteral("cspName")).toString(),
              QStringLiteral("MERO Cryptographic Service Provider v1.0.0"));

    ASSERT_TRUE(m_key.run({QStringLiteral("set"), QStringLiteral("errorTimes"), QStringLiteral("-1")}));
    ASSERT_TRUE(m_key.run({QStringLiteral("set"), QStringLiteral("mode"), QStringLiteral("7")}));
    const QJsonObject odd = parsed(key({QStringLiteral("info"), QStringLiteral("--json")}));
    EXPECT_EQ(odd.value(QStringLiteral("errorTimes")).toInteger(), 4294967295);
    EXPECT_EQ(odd.value(QStringLiteral("mode")).toString(), QStringLiteral("NONE"));

    m_key.unplug();
    const TalvoKeyRun absent = key({QStringLiteral("info"), QStringLiteral("--json")});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(parsed(absent), QJsonObject({{QStringLiteral("present"), false}}));
    EXPECT_EQ(absent.err, QStringLiteral("talvo-key: 提示: 设备不存在\n"));
}

TEST_F(TalvoKeyCliDeviceTest, SetChangesTheFieldsGivenAndWritesTheRestAsShown)
{
    const TalvoKeyRun run =
        key({QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("mode=Administra"),
             QStringLiteral("unitId=沈阳分部"), QStringLiteral("errorTimes=3"), QStringLiteral("lockFlag=1"),
             QStringLiteral("factoryFlag=0")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("操作成功\n"));
    const KeyBaseInfo base = readKey().base;
    EXPECT_EQ(base.mode, 2);
    EXPECT_EQ(text(base.unitId, TL_UNIT_ID_SIZE), toCp936(QStringLiteral("沈阳分部")));
    EXPECT_EQ(base.errorTimes, 3);
    EXPECT_EQ(base.lockFlag, 1);
    EXPECT_EQ(base.factoryFlag, 0);
    // Read from the key and written back unchanged.
    EXPECT_EQ(base.formatFlag, 1);
    EXPECT_EQ(base.initFlag, 1);
    EXPECT_EQ(text(base.userId, TL_USER_ID_SIZE), toCp936(QStringLiteral("演示用户 demo-01")));
    EXPECT_EQ(text(base.pinHash, TL_PIN_HASH_SIZE), "6ACD62A9DBF1B96D8359BDD7E4439F70");
}

TEST_F(TalvoKeyCliDeviceTest, SetWritesOnlyWhatTheOperatorConfirms)
{
    const QPair<QString, QString> password{QStringLiteral("请输入密码："), QStringLiteral("plain-fox739204")};
    const QString question = QStringLiteral("确定对信息进行设置吗? [y/N]");
    const QStringList arguments = {QStringLiteral("set"), QStringLiteral("userId=batch-7")};
    const TalvoKeyRun declined =
        runTalvoKeyOnTerminal(arguments, {password, {question, QStringLiteral("n")}});
    EXPECT_EQ(declined.exitCode, 2) << declined.out.toStdString();
    EXPECT_FALSE(declined.driverLoaded);
    EXPECT_EQ(text(readKey().base.userId, TL_USER_ID_SIZE), toCp936(QStringLiteral("演示用户 demo-01")));

    const TalvoKeyRun confirmed =
        runTalvoKeyOnTerminal(arguments, {password, {question, QStringLiteral("y")}});
    EXPECT_EQ(confirmed.exitCode, 0) << confirmed.out.toStdString();
    EXPECT_EQ(text(readKey().base.userId, TL_USER_ID_SIZE), "batch-7");
}

TEST_F(TalvoKeyCliDeviceTest, FormatLowFormatsTheKey)
{
    const TalvoKeyRun run = key({QStringLiteral("format"), QStringLiteral("--yes")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const KeyInfo info = readKey();
    EXPECT_EQ(info.base.factoryFlag, 0);
    EXPECT_EQ(text(info.base.unitId, TL_UNIT_ID_SIZE), "");
    for (const SealEntry& seal : info.sealTable)
        EXPECT_EQ(seal.inUse, 0);
}

using TalvoKeyCliSealsTest = TalvoKeyFixture;

TEST_F(TalvoKeyCliSealsTest, ListAsJsonNamesTheSealsInSlotOrder)
{
    const TalvoKeyRun run = key({QStringLiteral("seals"), QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray seals = parsed(run).value(QStringLiteral("seals")).toArray();
    ASSERT_EQ(seals.size(), 3);
    EXPECT_EQ(seals[0].toObject().value(QStringLiteral("number")).toInt(), 101);
    EXPECT_EQ(seals[0].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("合同专用章"));
    EXPECT_EQ(seals[2].toObject().value(QStringLiteral("expiryTime")).toString(),
              QStringLiteral("2035-01-01 00:00:00"));
    EXPECT_EQ(seals[2].toObject().value(QStringLiteral("initTime")).toString(), QStringLiteral("2026-01-15"));
}

TEST_F(TalvoKeyCliSealsTest, AddExportTimeAndDeleteReachTheKey)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray picture = encodeGif(image);
    TempDirectory::writeFile(file(QStringLiteral("seal.gif")), picture);
    // 34 bytes with its blanks: the limit counts what is given, the key gets it trimmed.
    const QString name = QStringLiteral(" 人事专用章章章章章章章章章章章章 ");
    ASSERT_EQ(cp936Length(name), 34u);

    const TalvoKeyRun added =
        key({QStringLiteral("seals"), QStringLiteral("add"), QStringLiteral("--name"), name,
             QStringLiteral("--expiry=2031-02-03"), file(QStringLiteral("seal.gif"))});
    EXPECT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, QStringLiteral("操作成功\nnumber: 104\n"));
    const SealEntry& seal = readKey().sealTable[3];
    ASSERT_NE(seal.inUse, 0);
    EXPECT_EQ(text(seal.name, TL_SEAL_NAME_SIZE), toCp936(name.trimmed()));
    EXPECT_EQ(text(seal.expiryTime, TL_SEAL_TIME_SIZE), "2031-02-03 00:00:00");

    const TalvoKeyRun exported = key({QStringLiteral("seals"), QStringLiteral("export"),
                                      QStringLiteral("104"), file(QStringLiteral("out.gif"))});
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(TempDirectory::readFile(file(QStringLiteral("out.gif"))), picture);

    const TalvoKeyRun timed = key({QStringLiteral("seals"), QStringLiteral("time"), QStringLiteral("104"),
                                   QStringLiteral("2032-12-31")});
    EXPECT_EQ(timed.exitCode, 0) << timed.err.toStdString();
    EXPECT_EQ(text(readKey().sealTable[3].expiryTime, TL_SEAL_TIME_SIZE), "2032-12-31 00:00:00");

    const TalvoKeyRun deleted =
        key({QStringLiteral("seals"), QStringLiteral("delete"), QStringLiteral("104")});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(readKey().sealTable[3].inUse, 0);
    EXPECT_NE(readKey().sealTable[2].inUse, 0);

    // A seal the list does not hold is not acted on.
    const TalvoKeyRun again = key({QStringLiteral("seals"), QStringLiteral("delete"), QStringLiteral("104")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, QStringLiteral("talvo-key: 提示: 没有要删除的签章\n"));
}

using TalvoKeyCliPinTest = TalvoKeyFixture;

TEST_F(TalvoKeyCliPinTest, ChangeStoresTheNewPinsHashAndCheckAsksTheKey)
{
    TempDirectory::writeFile(file(QStringLiteral("pins")), "730264\n112233\n112233\n");
    const TalvoKeyRun changed = key({QStringLiteral("pin"), QStringLiteral("change"),
                                     QStringLiteral("--pin-file"), file(QStringLiteral("pins"))});
    EXPECT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    EXPECT_EQ(changed.out, QStringLiteral("修改密码成功!\n"));
    uint8_t matches = 0;
    EXPECT_EQ(m_binding.TLKeyCheckHash("112233", 6, &matches), 0);
    EXPECT_NE(matches, 0);

    const TalvoKeyRun wrongOld = key({QStringLiteral("pin"), QStringLiteral("change"),
                                      QStringLiteral("--pin-file"), file(QStringLiteral("pins"))});
    EXPECT_EQ(wrongOld.exitCode, 1);
    EXPECT_EQ(wrongOld.err, QStringLiteral("talvo-key: 警告: 密码不正确!\n"));

    const TalvoKeyRun checked =
        runTalvoKeyOnTerminal({QStringLiteral("pin"), QStringLiteral("check")},
                              {{QStringLiteral("请输入密码："), QStringLiteral("plain-fox739204")},
                               {QStringLiteral("输入PIN码："), QStringLiteral("112233")}});
    EXPECT_EQ(checked.exitCode, 0) << checked.out.toStdString();
    EXPECT_TRUE(checked.out.endsWith(QStringLiteral("ok\r\n"))) << checked.out.toStdString();
    EXPECT_FALSE(checked.out.contains(QStringLiteral("112233")));

    TempDirectory::writeFile(file(QStringLiteral("pin")), "730264\n");
    const TalvoKeyRun refused = key({QStringLiteral("pin"), QStringLiteral("check"),
                                     QStringLiteral("--pin-file"), file(QStringLiteral("pin"))});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, QStringLiteral("error\n"));
}

using TalvoKeyCliCspTest = TalvoKeyFixture;

TEST_F(TalvoKeyCliCspTest, CertificateExportShowHashAndVerify)
{
    const TalvoKeyRun exported =
        key({QStringLiteral("cert"), QStringLiteral("export"), file(QStringLiteral("key.cer"))});
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("导出证书成功\n"));
    uint32_t length = 0;
    ASSERT_EQ(m_binding.TLKeyReadCert(nullptr, &length), 0);
    QByteArray certificate(static_cast<qsizetype>(length), '\0');
    ASSERT_EQ(m_binding.TLKeyReadCert(reinterpret_cast<uint8_t*>(certificate.data()), &length), 0);
    EXPECT_EQ(TempDirectory::readFile(file(QStringLiteral("key.cer"))), certificate.left(length));

    // OpenSSL's own command reads the exported file for the reference.
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("x509"), QStringLiteral("-in"), file(QStringLiteral("key.cer")),
                   QStringLiteral("-noout"), QStringLiteral("-fingerprint"), QStringLiteral("-sha256")});
    ASSERT_TRUE(openssl.waitForFinished(30000));
    const QString reference =
        QString::fromUtf8(openssl.readAllStandardOutput()).trimmed().section(QLatin1Char('='), 1);
    ASSERT_FALSE(reference.isEmpty());
    const TalvoKeyRun shown = key({QStringLiteral("cert"), QStringLiteral("show"), QStringLiteral("--json")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    const QJsonObject details = parsed(shown);
    EXPECT_EQ(details.value(QStringLiteral("sha256Fingerprint")).toString(), reference);
    EXPECT_TRUE(
        details.value(QStringLiteral("subject")).toString().contains(QStringLiteral("TLV-2026-00017")));

    const TalvoKeyRun hashed = runTalvoKeyOnTerminal(
        {QStringLiteral("hash")}, {{QStringLiteral("请输入密码："), QStringLiteral("plain-fox739204")},
                                   {QStringLiteral("口令："), QStringLiteral("1234567")}});
    char expected[TL_HASH_BUFFER_SIZE + 1] = {};
    ASSERT_EQ(m_binding.TLKeyCalcHash("123456", 6, expected), 0);
    EXPECT_EQ(hashed.exitCode, 0) << hashed.out.toStdString();
    EXPECT_TRUE(hashed.out.endsWith(QString::fromLatin1(expected) + QStringLiteral("\r\n")))
        << hashed.out.toStdString();

    const TalvoKeyRun verified = key({QStringLiteral("verify")});
    EXPECT_EQ(verified.exitCode, 0) << verified.err.toStdString();
    EXPECT_EQ(verified.out, QStringLiteral("OK\n"));
}

TEST(TalvoKeyCliHelpTest, HelpAndVersionNeedNoPassword)
{
    const TalvoKeyRun help = runTalvoKey({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* line :
         {"talvo-key info", "talvo-key set", "talvo-key seals add --name NAME --expiry YYYY-MM-DD FILE",
          "talvo-key pin change", "talvo-key cert show", "talvo-key verify", "talvo-key hash"})
        EXPECT_TRUE(help.out.contains(QLatin1String(line))) << line;
    const TalvoKeyRun group = runTalvoKey({QStringLiteral("seals"), QStringLiteral("--help")});
    EXPECT_EQ(group.exitCode, 0);
    EXPECT_TRUE(group.out.contains(QStringLiteral("talvo-key seals time NUMBER YYYY-MM-DD")));
    EXPECT_FALSE(group.out.contains(QStringLiteral("talvo-key verify")));
    const TalvoKeyRun version = runTalvoKey({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("talvo-key ")));
    EXPECT_FALSE(help.driverLoaded || group.driverLoaded || version.driverLoaded);
}

} // namespace
} // namespace talvo::testing
