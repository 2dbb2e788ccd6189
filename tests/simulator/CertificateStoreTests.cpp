#include "DriverTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <nss.h>
// NSS names a member after Qt's keyword macro.
#pragma push_macro("slots")
#undef slots
#include <pk11pub.h>
#pragma pop_macro("slots")

#include <functional>
#include <map>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace talvo::testing {
namespace {

// A program's run, bounded in time; its output holds standard output and error together.
struct ToolRun {
    bool ok = false;
    QString output;
};

ToolRun run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return {false, program + " did not start"};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    const QString output = QString::fromUtf8(process.readAll());
    return {process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, output};
}

QString database(const SimulatedKey& key)
{
    return key.home() + "/.pki/nssdb";
}

ToolRun certutil(const SimulatedKey& key, QStringList arguments)
{
    arguments << "-d"
              << "sql:" + database(key);
    return run("certutil", arguments);
}

// The user's own database with a certificate and key of their own, as certutil makes them.
void addOwnCertificate(const SimulatedKey& key)
{
    ASSERT_TRUE(QDir().mkpath(database(key)));
    ASSERT_TRUE(certutil(key, {"-N", "--empty-password"}).ok);
    const QString noise = key.home() + "/noise";
    TempDirectory::writeFile(noise, QByteArray(64, 'n') + QByteArray::number(::getpid()));
    const ToolRun made = certutil(key, {"-S", "-n", "mine", "-s", "CN=mine", "-x", "-t", ",,", "-k", "ec",
                                        "-q", "nistp256", "-z", noise});
    ASSERT_TRUE(made.ok) << made.output.toStdString();
}

QString nickname(const SimulatedKey& key)
{
    return "Talvo " + QString::fromStdString(keySerial(key));
}

// The modules that the database at the directory names.
QString modules(const QString& directory)
{
    return run("modutil", {"-list", "-dbdir", "sql:" + directory}, "\n").output;
}

class CertificateStoreTest : public DriverContractTest {
protected:
    SimulatedKey m_key{SimulatedKey::Content::Demo, GetParam()};
};

TEST_P(CertificateStoreTest, RegistersTheKeysCertificateOnceAndRemovesOnlyIt)
{
    addOwnCertificate(m_key);
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
    EXPECT_TRUE(driver().TLRegCerts());
    EXPECT_TRUE(driver().TLRegCerts());
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 1);
    const ToolRun listed = certutil(m_key, {"-L"});
    EXPECT_EQ(listed.output.count(nickname(m_key)), 1) << listed.output.toStdString();
    const bool onToken = GetParam() == SimulatedKey::Backing::Token;
    EXPECT_EQ(modules(database(m_key)).contains(nickname(m_key)), onToken);

    EXPECT_TRUE(driver().TLRemoveAllCertsFromIE());
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
    const ToolRun left = certutil(m_key, {"-L"});
    EXPECT_TRUE(left.output.contains("mine")) << "the user's own certificate survives";
    EXPECT_FALSE(left.output.contains(nickname(m_key))) << left.output.toStdString();
    EXPECT_TRUE(certutil(m_key, {"-K"}).output.contains("mine")) << "and its key";
    EXPECT_FALSE(modules(database(m_key)).contains(nickname(m_key)));
    if (onToken) {
        EXPECT_TRUE(QFile::exists(m_key.directory() + "/token")) << "the key's own token stays named";
    }
}

TALVO_DRIVER_CONTRACT(CertificateStoreTest);

uint16_t freeLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool bound = probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                       ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    if (probe >= 0)
        ::close(probe);
    return bound ? ntohs(address.sin_port) : 0;
}

TEST(CertificateStoreTokenTest, NssUsesTheTokensPrivateKeyForATlsClientLogin)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    ASSERT_TRUE(driver().TLRegCerts());
    // What a user sees: NSS's own tool lists the token's private key beside the certificate.
    const ToolRun keys = certutil(key, {"-K", "-h", "all", "-f", key.token()->pinFile()});
    EXPECT_TRUE(keys.output.contains("rsa")) << "no private key of the token: " << keys.output.toStdString();

    // A server on the loopback that takes only a client certificate that the key's own
    // certificate verifies.
    const QString server = key.home() + "/server";
    ASSERT_TRUE(run("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes", "-subj", "/CN=127.0.0.1", "-days", "1", "-keyout", server + ".key",
                                "-out", server + ".crt"})
                    .ok);
    const QString trusted = key.home() + "/trusted.pem";
    TempDirectory::writeFile(trusted, "-----BEGIN CERTIFICATE-----\n" + storedCertificate(key).toBase64() +
                                          "\n-----END CERTIFICATE-----\n");
    const uint16_t port = freeLoopbackPort();
    ASSERT_NE(port, 0);
    QProcess tlsServer;
    tlsServer.setProcessChannelMode(QProcess::MergedChannels);
    tlsServer.start("openssl", {"s_server", "-accept", "127.0.0.1:" + QString::number(port), "-cert",
                                server + ".crt", "-key", server + ".key", "-Verify", "1",
                                "-verify_return_error", "-CAfile", trusted, "-naccept", "1"});
    ASSERT_TRUE(tlsServer.waitForStarted(10000));
    QByteArray served;
    while (!served.contains("ACCEPT")) {
        ASSERT_TRUE(tlsServer.waitForReadyRead(10000)) << served.toStdString();
        served += tlsServer.readAll();
    }

    const ToolRun client =
        run("tstclnt", {"-h", "127.0.0.1", "-p", QString::number(port), "-d", "sql:" + database(key), "-n",
                        nickname(key), "-W", key.token()->pinFile(), "-o", "-Q"});
    tlsServer.waitForFinished(10000); // and if it has not ended, its destructor ends it
    served += tlsServer.readAll();
    EXPECT_TRUE(client.ok) << client.output.toStdString();
    EXPECT_TRUE(served.contains("Client certificate")) << served.toStdString();
}

// Every file below the directory with its bytes: what "nothing changed" compares.
std::map<QString, QByteArray> snapshot(const QString& directory)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = TempDirectory::readFile(path);
    }
    return files;
}

void setImmutable(const QString& directory, bool on)
{
    QStringList paths = QDir(directory).entryList(QDir::Files);
    for (QString& path : paths)
        path = directory + "/" + path;
    paths << directory;
    if (::geteuid() == 0)
        run("chattr", QStringList{on ? "+i" : "-i"} + paths);
    else
        for (const QString& path : paths)
            QFile::setPermissions(path, on ? QFile::ReadOwner | QFile::ExeOwner
                                           : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(CertificateStoreRefusalTest, BadInputAnswersTheContractAndChangesNothing)
{
    const struct {
        const char* name;
        // Spoils the store or the key of a user with a certificate of their own.
        std::function<void(SimulatedKey&)> spoil;
    } badInputs[] = {
        {"damaged database",
         [](SimulatedKey& key) {
             TempDirectory::writeFile(database(key) + "/cert9.db", QByteArray(8192, 'x'));
         }},
        {"read-only database", [](SimulatedKey& key) { setImmutable(database(key), true); }},
        {"key without certificate",
         [](SimulatedKey& key) { EXPECT_TRUE(QFile::remove(key.directory() + "/certificate.der")); }},
        {"absent key", [](SimulatedKey& key) { key.unplug(); }},
    };
    for (const auto& bad : badInputs) {
        SCOPED_TRACE(bad.name);
        SimulatedKey key(SimulatedKey::Content::Demo);
        addOwnCertificate(key);
        bad.spoil(key);
        const auto store = snapshot(database(key));
        const auto state = snapshot(key.directory());
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(driver().TLRegCerts());
        EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
        EXPECT_FALSE(driver().TLRemoveAllCertsFromIE());
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("libTalvoDriver: TLRegCerts: "), std::string::npos) << said;
        setImmutable(database(key), false); // for the test's own clean-up
        EXPECT_EQ(snapshot(database(key)), store);
        EXPECT_EQ(snapshot(key.directory()), state);
    }
}

TEST(CertificateStoreRefusalTest, LockedDatabaseFailsWithinBoundedTime)
{
    SimulatedKey key(SimulatedKey::Content::Demo);
    addOwnCertificate(key);
    QProcess locker;
    locker.start("sqlite3", {database(key) + "/cert9.db"});
    ASSERT_TRUE(locker.waitForStarted(10000));
    locker.write("BEGIN EXCLUSIVE;\nSELECT 'held';\n");
    while (!locker.readAllStandardOutput().contains("held"))
        ASSERT_TRUE(locker.waitForReadyRead(10000));
    const auto store = snapshot(database(key));

    ::testing::internal::CaptureStderr();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(driver().TLRegCerts());
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(timer.elapsed(), 60000);
    EXPECT_NE(said.find("libTalvoDriver: TLRegCerts: "), std::string::npos) << said;
    locker.write("ROLLBACK;\n.quit\n");
    locker.closeWriteChannel();
    EXPECT_TRUE(locker.waitForFinished(10000));
    EXPECT_EQ(snapshot(database(key)), store);
    EXPECT_TRUE(driver().TLRegCerts()) << "once the browser lets go";
}

TEST(CertificateStoreRefusalTest, HomeWithoutPkiIsCreatedOnlyByRegistering)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
    EXPECT_TRUE(driver().TLRemoveAllCertsFromIE());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("libTalvoDriver: TLGetCertsNumFromIE: no NSS database"), std::string::npos) << said;
    EXPECT_FALSE(QDir(key.home() + "/.pki").exists());

    EXPECT_TRUE(driver().TLRegCerts());
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 1);
    EXPECT_EQ(QFileInfo(key.home() + "/.pki").permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    // Set up with the empty password, as certutil -N --empty-password leaves it.
    NSSInitContext* context = NSS_InitContext(("sql:" + database(key)).toUtf8().constData(), "", "",
                                              SECMOD_DB, nullptr, NSS_INIT_READONLY | NSS_INIT_NOROOTINIT);
    ASSERT_NE(context, nullptr);
    PK11SlotInfo* slot = PK11_GetInternalKeySlot();
    EXPECT_FALSE(PK11_NeedUserInit(slot));
    EXPECT_EQ(PK11_CheckUserPassword(slot, ""), SECSuccess);
    PK11_FreeSlot(slot);
    EXPECT_EQ(NSS_ShutdownContext(context), SECSuccess);
}

class CertificateStoreHostTest : public DriverContractTest {};

TEST_P(CertificateStoreHostTest, AHostsOwnNssStaysAsItIs)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, GetParam());
    const TempDirectory hostDatabase;
    ASSERT_TRUE(run("certutil", {"-N", "--empty-password", "-d", "sql:" + hostDatabase.path()}).ok);
    NSSInitContext* host = NSS_InitContext(("sql:" + hostDatabase.path()).toUtf8().constData(), "", "",
                                           SECMOD_DB, nullptr, NSS_INIT_NOROOTINIT);
    ASSERT_NE(host, nullptr);

    // The module list is the host's: a token's key is refused whole, a key of files registered.
    const bool registers = GetParam() == SimulatedKey::Backing::Files;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(driver().TLRegCerts(), registers);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), registers ? 1 : 0);
    EXPECT_EQ(said.empty(), registers) << said;
    EXPECT_EQ(NSS_ShutdownContext(host), SECSuccess) << "the host's NSS is still there";
    EXPECT_EQ(certutil(key, {"-L"}).output.contains(nickname(key)), registers);
    EXPECT_EQ(QDir(key.home() + "/.pki").exists(), registers) << "a refusal makes no database";
    const ToolRun hosts = run("certutil", {"-L", "-d", "sql:" + hostDatabase.path()});
    EXPECT_FALSE(hosts.output.contains(nickname(key))) << "registered in the host's database";
    EXPECT_FALSE(modules(hostDatabase.path()).contains(nickname(key)));
}

TALVO_DRIVER_CONTRACT(CertificateStoreHostTest);

} // namespace
} // namespace talvo::testing
