// talvo-stamp-cli run as its own process, in a session of its own (no terminal answers for
// it), against a simulated key of files or on a token.

#include "device/KeyDriverBinding.h"
#include "key/CertificateOperations.h"
#include "key/TwoCallRead.h"
#include "platform/core/CertificateDetails.h"
#include "support/SimulatedKey.h"
#include "support/TempDirectory.h"
#include "tests/pdf/PdfTools.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <openssl/x509.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace talvo::testing {
namespace {

struct StampRun {
    int exitCode = -1;
    QString out;
    QString err;
};

StampRun runStampCli(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(QStringLiteral(TALVO_BINARY_DIR "/bin/talvo-stamp-cli"), arguments);
    StampRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The common name of the key's certificate, as the driver hands it out.
QString keyCommonName()
{
    KeyDriverBinding binding;
    TwoCallRead read(certificateRead(binding));
    read.readAll();
    const std::optional<std::vector<uint8_t>> der = certificateDer(read.toByteArray());
    if (!der)
        return {};
    const unsigned char* cursor = der->data();
    X509* certificate = d2i_X509(nullptr, &cursor, static_cast<long>(der->size()));
    char name[256] = {};
    if (certificate)
        X509_NAME_get_text_by_NID(X509_get_subject_name(certificate), NID_commonName, name, sizeof name);
    X509_free(certificate);
    return QString::fromUtf8(name);
}

class StampCliTest : public ::testing::Test {
protected:
    StampCliTest()
    {
        writePrivate(QStringLiteral("pin"), "730264\n");
        m_input = ghostscriptPdf(m_files.path(), QStringLiteral("letter"), 1);
    }

    void writePrivate(const QString& name, const QByteArray& bytes) const
    {
        TempDirectory::writeFile(file(name), bytes);
        ::chmod(QFile::encodeName(file(name)), 0600);
    }
    QString file(const QString& name) const { return m_files.file(name); }
    QStringList stampArguments(const QString& seal, const QString& pinFile) const
    {
        QStringList arguments{QStringLiteral("--seal"),   seal,
                              QStringLiteral("--page"),   QStringLiteral("1"),
                              QStringLiteral("--at"),     QStringLiteral("80,120"),
                              QStringLiteral("--reason"), QStringLiteral("同意")};
        if (!pinFile.isEmpty())
            arguments << QStringLiteral("--pin-file") << file(pinFile);
        return arguments << m_input << file(QStringLiteral("sealed.pdf"));
    }
    void expire(int32_t seal)
    {
        KeyDriverBinding binding;
        ASSERT_EQ(binding.TLKeyWriteSealTime(seal, "2020-01-01 00:00:00"), 0);
    }

    TempDirectory m_files;
    QString m_input;
};

class StampCliBackingTest : public StampCliTest,
                            public ::testing::WithParamInterface<SimulatedKey::Backing> {};

TEST_P(StampCliBackingTest, SealsWithTheKeysCertificateAndSignatureKey)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, GetParam());
    ASSERT_FALSE(m_input.isEmpty());
    const StampRun run = runStampCli(stampArguments(QStringLiteral("101"), QStringLiteral("pin")));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("盖章成功\n"));
    const SignatureReport report = pdfsigReport(file(QStringLiteral("sealed.pdf")));
    EXPECT_EQ(report.signatures, 1) << report.text.toStdString();
    EXPECT_EQ(report.valid, 1) << report.text.toStdString();
    EXPECT_TRUE(report.lastCoversWholeDocument);
    EXPECT_TRUE(report.text.contains(QStringLiteral("Signature Field Name: 合同专用章")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("Signature Type: ETSI.CAdES.detached")));
    const QString commonName = keyCommonName();
    ASSERT_FALSE(commonName.isEmpty());
    EXPECT_TRUE(report.text.contains(QStringLiteral("Signer Certificate Common Name: ") + commonName + '\n'))
        << report.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backings, StampCliBackingTest,
                         ::testing::Values(SimulatedKey::Backing::Files, SimulatedKey::Backing::Token),
                         [](const auto& testCase) {
                             return testCase.param == SimulatedKey::Backing::Files ? std::string("files")
                                                                                   : std::string("token");
                         });

TEST_F(StampCliTest, ListsTheSealsWithTheirStanding)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    expire(102);
    const StampRun listed = runStampCli({QStringLiteral("seals")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, QStringLiteral("101\t合同专用章\t2030-12-31 00:00:00\t有效\n"
                                         "102\t财务专用章\t2020-01-01 00:00:00\t已过期\n"
                                         "103\t公章\t2035-01-01 00:00:00\t有效\n"));

    const StampRun json = runStampCli({QStringLiteral("seals"), QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray seals = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(seals.size(), 3);
    const QJsonObject expired = seals.at(1).toObject();
    EXPECT_EQ(expired.value(QStringLiteral("number")).toInt(), 102);
    EXPECT_EQ(expired.value(QStringLiteral("name")).toString(), QStringLiteral("财务专用章"));
    EXPECT_EQ(expired.value(QStringLiteral("expiry")).toString(), QStringLiteral("2020-01-01 00:00:00"));
    EXPECT_FALSE(expired.value(QStringLiteral("inForce")).toBool());
    EXPECT_TRUE(seals.at(0).toObject().value(QStringLiteral("inForce")).toBool());
}

struct Refusal {
    const char* name;
    const char* seal;
    const char* pinFile; // empty: the PIN would be asked on a terminal, which there is none of
    int exitCode;
    const char* message;
    bool unplugged = false;
};

void PrintTo(const Refusal& testCase, std::ostream* out)
{
    *out << testCase.name;
}

// The seal is judged before the PIN is asked: with no PIN file and no terminal, a refusal that
// names the seal shows that the PIN never was.
const Refusal kRefusals[] = {
    {"missingSeal", "109", "", 1, "签章 109 不存在"},
    {"expiredSeal", "102", "", 1, "签章 102「财务专用章」已过期（有效期至 2020-01-01 00:00:00）"},
    {"wrongPin", "101", "wrongPin", 1, "PIN码错误"},
    {"loosePinFile", "101", "loosePin", 2, "其他用户可以读取"},
    {"noTerminal", "101", "", 2, "no terminal"},
    {"absentKey", "101", "pin", 1, "设备不存在", true},
};

class StampCliRefusalTest : public StampCliTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(StampCliRefusalTest, RefusesAndWritesNothing)
{
    SimulatedKey key(SimulatedKey::Content::Demo);
    expire(102);
    writePrivate(QStringLiteral("wrongPin"), "111111\n");
    TempDirectory::writeFile(file(QStringLiteral("loosePin")), "730264\n");
    ::chmod(QFile::encodeName(file(QStringLiteral("loosePin"))), 0644);
    const Refusal& refusal = GetParam();
    if (refusal.unplugged)
        key.unplug();
    const StampRun run =
        runStampCli(stampArguments(QString::fromUtf8(refusal.seal), QString::fromUtf8(refusal.pinFile)));
    EXPECT_EQ(run.exitCode, refusal.exitCode) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(refusal.message))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("sealed.pdf"))));
}

INSTANTIATE_TEST_SUITE_P(BadInput, StampCliRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(StampCliTest, ADocumentItCannotSealLeavesTheOutputAsItWas)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    TempDirectory::writeFile(file(QStringLiteral("notes.pdf")), "not a document\n");
    TempDirectory::writeFile(file(QStringLiteral("sealed.pdf")), "kept");
    QStringList arguments = stampArguments(QStringLiteral("101"), QStringLiteral("pin"));
    arguments[arguments.size() - 2] = file(QStringLiteral("notes.pdf"));
    const StampRun run = runStampCli(arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("不是PDF文件"))) << run.err.toStdString();
    EXPECT_EQ(TempDirectory::readFile(file(QStringLiteral("sealed.pdf"))), QByteArray("kept"));
}

TEST_F(StampCliTest, BadUsageIsRefusedBeforeTheKey)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    for (const char* usage :
         {"--seal 101 IN OUT", "--seal 101 --page 1 --at 80 IN OUT", "--seal x --page 1 --at 1,2 IN OUT",
          "--seal 101 --page 1 --at 1,2 --width 0 IN OUT", "seals extra"}) {
        QStringList arguments = QString::fromUtf8(usage).split(QLatin1Char(' '));
        std::replace(arguments.begin(), arguments.end(), QStringLiteral("IN"), m_input);
        std::replace(arguments.begin(), arguments.end(), QStringLiteral("OUT"),
                     file(QStringLiteral("o.pdf")));
        const StampRun run = runStampCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage:"))) << run.err.toStdString();
    }
}

} // namespace
} // namespace talvo::testing
