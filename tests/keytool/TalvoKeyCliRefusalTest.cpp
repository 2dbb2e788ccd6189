// What talvo-key refuses before the driver is loaded, and how it reports a failing driver.

#include "TalvoKeyFixture.h"

namespace talvo::testing {
namespace {

struct Refusal {
    QStringList arguments;
    QString message; // a part of what standard error says
};

class TalvoKeyCliRefusalTest : public TalvoKeyFixture {
protected:
    TalvoKeyCliRefusalTest()
    {
        TempDirectory::writeFile(file(QStringLiteral("seal.gif")), "GIF89a picture");
        TempDirectory::writeFile(file(QStringLiteral("empty.gif")), "");
        TempDirectory::writeFile(file(QStringLiteral("pins-differ")), "730264\n111111\n222222\n");
        TempDirectory::writeFile(file(QStringLiteral("pins-long")), "730264\n1234567\n1234567\n");
        TempDirectory::writeFile(file(QStringLiteral("pins-short")), "730264\n111111\n");
    }
    QStringList addSeal(const QString& name, const QString& day, const QString& picture) const
    {
        return {QStringLiteral("seals"),
                QStringLiteral("add"),
                QStringLiteral("--name"),
                name,
                QStringLiteral("--expiry"),
                day,
                file(picture)};
    }
    QStringList pinChange(const QString& pins) const
    {
        return {QStringLiteral("pin"), QStringLiteral("change"), QStringLiteral("--pin-file"), file(pins)};
    }
};

TEST_F(TalvoKeyCliRefusalTest, BadArgumentsExitTwoBeforeAnyDriverCall)
{
    const QString gif = QStringLiteral("seal.gif");
    const QString day = QStringLiteral("2030-01-01");
    const std::vector<Refusal> refusals = {
        {{QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("colour=red")},
         QStringLiteral("unknown field")},
        {{QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("mode=root")},
         QStringLiteral("模式字符串输入有错误")},
        {{QStringLiteral("set"), QStringLiteral("--yes"),
          QStringLiteral("unitId=") + QString(41, QLatin1Char('u'))},
         QStringLiteral("at most 40 bytes")},
        {{QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("errorTimes=12")},
         QStringLiteral("one digit")},
        {{QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("lockFlag=2")},
         QStringLiteral("0 or 1")},
        {addSeal(QString(35, QLatin1Char('n')), day, gif), QStringLiteral("at most 34 bytes")},
        {addSeal(QStringLiteral("印章印章印章印章印章印章印章印章印x"), day, gif),
         QStringLiteral("at most 34 bytes")},
        {addSeal(QStringLiteral("   "), day, gif), QStringLiteral("请输入签章名称")},
        {addSeal(QStringLiteral("公章"), QStringLiteral("2030-02-30"), gif), QStringLiteral("no day")},
        {addSeal(QStringLiteral("公章"), QStringLiteral("2030-2-3"), gif), QStringLiteral("no day")},
        {addSeal(QStringLiteral("公章"), day, QStringLiteral("missing.gif")),
         QStringLiteral("中包含无效的路径")},
        {addSeal(QStringLiteral("公章"), day, QStringLiteral("empty.gif")), QStringLiteral("is empty")},
        {{QStringLiteral("seals"), QStringLiteral("time"), QStringLiteral("101"),
          QStringLiteral("2030-13-01")},
         QStringLiteral("no day")},
        {{QStringLiteral("seals"), QStringLiteral("delete"), QStringLiteral("111")},
         QStringLiteral("no seal number")},
        {{QStringLiteral("seals"), QStringLiteral("export"), QStringLiteral("101"),
          file(QStringLiteral("no/dir/x.gif"))},
         QStringLiteral("中包含无效的路径")},
        {{QStringLiteral("cert"), QStringLiteral("export"), m_files.path()}, QStringLiteral("的存取被拒绝")},
        {pinChange(QStringLiteral("pins-differ")), QStringLiteral("confirmation differ")},
        {pinChange(QStringLiteral("pins-long")), QStringLiteral("密码长度不能超过6位")},
        {pinChange(QStringLiteral("pins-short")), QStringLiteral("请输入完整信息!")},
        {pinChange(QStringLiteral("missing")), QStringLiteral("cannot read")},
        {{QStringLiteral("format")}, QStringLiteral("use --yes")},
        {{QStringLiteral("seals"), QStringLiteral("rename")}, QStringLiteral("unknown command")},
        {{QStringLiteral("info"), QStringLiteral("--yes")}, QStringLiteral("does not take --yes")},
        {{QStringLiteral("verify"), QStringLiteral("--colour")}, QStringLiteral("unknown option")},
    };
    for (const Refusal& refusal : refusals) {
        const TalvoKeyRun run = key(refusal.arguments);
        const std::string given = refusal.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.exitCode, 2) << given << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(refusal.message)) << given << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << given;
        EXPECT_FALSE(run.driverLoaded) << given;
    }
}

struct DriverFailure {
    const char* function;
    int status;
    QStringList arguments;
    QString text;
};

TEST_F(TalvoKeyCliRefusalTest, AFailingDriverFunctionGivesItsStatusTextAndExitOne)
{
    TempDirectory::writeFile(file(QStringLiteral("pins")), "730264\n111111\n111111\n");
    const std::vector<DriverFailure> failures = {
        {"TLKeyReadKeyInfo",
         2,
         {QStringLiteral("info")},
         QStringLiteral("talvo-key: 错误: 设备访问失败。\n")},
        {"TLKeyReadSealNum", 4, {QStringLiteral("info")}, QStringLiteral("talvo-key: 错误: 内存错误。\n")},
        {"TLKeyWriteKeyBaseInfo",
         6,
         {QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("unitId=x")},
         QStringLiteral("talvo-key: 错误: 设备空间不足。\n")},
        {"TLKeyLowFormat",
         5,
         {QStringLiteral("format"), QStringLiteral("--yes")},
         QStringLiteral("talvo-key: 错误: API函数调用失败。\n")},
        {"TLKeyReadKeyInfo",
         3,
         {QStringLiteral("seals"), QStringLiteral("list")},
         QStringLiteral("talvo-key: 错误: 参数错误。\ntalvo-key: 错误: 操作失败\n")},
        {"TLKeyGetStatus", 8,
         addSeal(QStringLiteral("公章"), QStringLiteral("2030-01-01"), QStringLiteral("seal.gif")),
         QStringLiteral("talvo-key: 错误: 管理员设备不存在。\n")},
        {"TLKeyDelSealData",
         7,
         {QStringLiteral("seals"), QStringLiteral("delete"), QStringLiteral("101")},
         QStringLiteral("talvo-key: 错误: 用户设备不存在。\n")},
        {"TLKeyWriteSealTime",
         9,
         {QStringLiteral("seals"), QStringLiteral("time"), QStringLiteral("101"),
          QStringLiteral("2030-01-01")},
         QStringLiteral("talvo-key: 错误: 未知的错误代码\n")},
        {"TLKeyReadSealData",
         2,
         {QStringLiteral("seals"), QStringLiteral("export"), QStringLiteral("101"),
          file(QStringLiteral("out.gif"))},
         QStringLiteral("talvo-key: 错误: 设备访问失败。\ntalvo-key: 错误: 获取签章数据失败。。。\n")},
        {"TLKeyReadCert",
         2,
         {QStringLiteral("cert"), QStringLiteral("export"), file(QStringLiteral("key.cer"))},
         QStringLiteral("talvo-key: 错误: 设备访问失败。\ntalvo-key: 提示: 导出证书失败\n")},
        {"TLKeyWriteHash", 2, pinChange(QStringLiteral("pins")),
         QStringLiteral("talvo-key: 错误: 设备访问失败。\ntalvo-key: 提示: 修改密码不成功或参数设置错误!\n")},
        {"TLKeyCalcHash",
         5,
         {QStringLiteral("hash"), QStringLiteral("--pin-file"), file(QStringLiteral("pins"))},
         QStringLiteral("talvo-key: 错误: API函数调用失败。\n")},
        {"TLVerifySign", 2, {QStringLiteral("verify")}, QStringLiteral("talvo-key: 错误: 设备访问失败。\n")},
    };
    const KeyInfo before = readKey();
    for (const DriverFailure& failure : failures) {
        m_key.fail(QString::fromLatin1(failure.function), failure.status);
        const TalvoKeyRun run = key(failure.arguments);
        m_key.clearFailures();
        EXPECT_EQ(run.exitCode, 1) << failure.function;
        EXPECT_EQ(run.err, failure.text) << failure.function;
    }
    const KeyInfo after = readKey();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << "a failed call changed the key";
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("out.gif"))));
}

} // namespace
} // namespace talvo::testing
