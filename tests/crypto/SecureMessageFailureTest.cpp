// Each failure: its message, and what it leaves on disk.

#include "SecureMessageTestBase.h"

#include "crypto/SecureMessageTexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtEndian>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>

namespace talvo::testing {
namespace {

class SecureMessageFailureTest : public SecureMessageTestBase {
protected:
    // A copy of the packed "doc.sec" with four bytes at the offset replaced by a length.
    QString withLength(qsizetype offset, quint32 length)
    {
        QByteArray secure = read(file("doc.sec"));
        for (int i = 0; i < 4; ++i)
            secure[offset + i] = static_cast<char>(length >> (8 * i));
        write(file("changed.sec"), secure);
        return file("changed.sec");
    }
    void expectOnlyBox(const QString& text)
    {
        ASSERT_EQ(boxTexts(), QStringList{text});
        const MessageBoxRequest& box = m_boxes.boxes().front();
        EXPECT_EQ(box.owner.data(), &m_owner);
        EXPECT_EQ(box.caption, QStringLiteral("错误"));
        EXPECT_EQ(box.icon, BoxIcon::Error);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
    }
};

// Whatever stops an unpack, the target is as it was: its old bytes and mode, or absent. Only
// a message that decrypts and verifies takes its place, and nothing is left beside it.
TEST_F(SecureMessageFailureTest, AFailedUnpackLeavesTheTargetAsItWas)
{
    const QByteArray content = packedDocument(5000);
    const QByteArray secure = read(file("doc.sec"));
    // Four bytes at the offset replaced by a value (a length, or a change of the content).
    const auto changed = [&](qsizetype at, quint32 value) {
        QByteArray message = secure;
        qToLittleEndian(value, message.data() + at);
        return message;
    };
    const struct {
        const char* what;
        QByteArray message;
    } failing[] = {
        {"empty", {}},
        {"shorter than its header", secure.left(400)},
        {"signature length 0", changed(0, 0)},
        {"blob length 0xFFFFFFFF", changed(304, 0xFFFFFFFF)},
        {"changed signature", changed(4 + 100, 0x5A5A5A5A)},
        {"changed ciphertext", changed(608 + 2500, 0x5A5A5A5A)},
        {"ragged ciphertext", secure.chopped(3)},
    };
    const QByteArray precious("PRECIOUS\n");
    write(file("target"), precious);
    ASSERT_TRUE(
        QFile::setPermissions(file("target"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions mode = QFile::permissions(file("target"));
    for (const auto& c : failing) {
        SCOPED_TRACE(c.what);
        write(file("message.sec"), c.message);
        m_boxes.onBox([this](const MessageBoxRequest&) { m_boxes.answerBox(BoxResult::Ok); });
        EXPECT_FALSE(unpack(file("message.sec"), file("target")));
        EXPECT_FALSE(unpack(file("message.sec"), file("new-target")));
        m_boxes.onBox({});
        EXPECT_EQ(read(file("target")), precious);
        EXPECT_EQ(QFile::permissions(file("target")), mode);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("doc.bin"), QStringLiteral("doc.sec"),
                               QStringLiteral("message.sec"), QStringLiteral("target")}));
    }

    m_boxes.clearRecords();
    EXPECT_TRUE(unpack(file("doc.sec"), file("target")));
    EXPECT_EQ(read(file("target")), content);
    EXPECT_EQ(QFile::permissions(file("target")), mode) << "the target keeps its mode";
}

TEST_F(SecureMessageFailureTest, LengthFieldsOutOfRangeAreRefused)
{
    packedDocument(500);
    const struct {
        qsizetype offset;
        quint32 length;
    } cases[] = {{0, 0}, {0, 301}, {0, 0xFFFFFFFF}, {304, 0}, {304, 301}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.offset << ":" << c.length);
        m_boxes.clearRecords();
        m_boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(unpack(withLength(c.offset, c.length), file("target")));
        expectOnlyBox(QStringLiteral("越界"));
    }
}

TEST_F(SecureMessageFailureTest, LengthsOfExactly300PassTheRangeCheck)
{
    packedDocument(500);
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(withLength(0, 300), file("target")));
    expectOnlyBox(QStringLiteral("文件已经改动"));

    m_boxes.clearRecords();
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(withLength(304, 300), file("target")));
    expectOnlyBox(QStringLiteral("导入密钥错误"));
}

TEST_F(SecureMessageFailureTest, FilesShorterThanTheHeaderFailAtTheKeyImport)
{
    write(file("empty.sec"), QByteArray());
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("empty.sec"), file("target")));
    expectOnlyBox(QStringLiteral("导入密钥错误"));

    packedDocument(100);
    write(file("short.sec"), read(file("doc.sec")).left(400));
    m_boxes.clearRecords();
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("short.sec"), file("target2")));
    expectOnlyBox(QStringLiteral("导入密钥错误"));
}

TEST_F(SecureMessageFailureTest, ChangedSignatureByteFailsVerification)
{
    packedDocument(3000);
    QByteArray secure = read(file("doc.sec"));
    secure[4 + 100] = static_cast<char>(secure[4 + 100] ^ 0x01);
    write(file("changed.sec"), secure);
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("changed.sec"), file("target")));
    expectOnlyBox(QStringLiteral("文件已经改动"));
}

TEST_F(SecureMessageFailureTest, ChangedCiphertextFailsInTheDecryptionOrTheVerification)
{
    packedDocument(5000);
    QByteArray secure = read(file("doc.sec"));
    secure[608 + 2500] = static_cast<char>(secure[608 + 2500] ^ 0x80);
    write(file("middle.sec"), secure);
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("middle.sec"), file("target")));
    expectOnlyBox(QStringLiteral("文件已经改动"));

    // A change in the last block mostly breaks the padding: no message of its own then.
    secure = read(file("doc.sec"));
    secure[secure.size() - 1] = static_cast<char>(secure[secure.size() - 1] ^ 0x5A);
    write(file("last.sec"), secure);
    m_boxes.clearRecords();
    // Whether the padding survives depends on the random session key: the box is answered
    // only when it comes.
    m_boxes.onBox([this](const MessageBoxRequest& box) {
        if (box.text == QStringLiteral("文件已经改动") && box.buttons == BoxButtons::Ok)
            m_boxes.answerBox(BoxResult::Ok);
    });
    EXPECT_FALSE(unpack(file("last.sec"), file("target")));
    m_boxes.onBox({});
    EXPECT_TRUE(boxTexts().isEmpty() || boxTexts() == QStringList{QStringLiteral("文件已经改动")});

    // Ciphertext that is no whole number of blocks fails inside the decryption.
    write(file("ragged.sec"), read(file("doc.sec")).chopped(3));
    m_boxes.clearRecords();
    EXPECT_FALSE(unpack(file("ragged.sec"), file("target")));
    EXPECT_TRUE(boxTexts().isEmpty());
}

TEST_F(SecureMessageFailureTest, MissingContainerStopsBothOperationsBeforeAnyFileIsTouched)
{
    write(file("doc.bin"), document(10));
    write(file("old.sec"), "old output");
    m_key.removeFile("container.name");

    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(pack(file("doc.bin"), file("new.sec")));
    expectOnlyBox(QStringLiteral("CryptAcquireContext error"));
    EXPECT_FALSE(exists(file("new.sec")));
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(pack(file("doc.bin"), file("old.sec")));
    EXPECT_EQ(read(file("old.sec")), QByteArray("old output"));

    m_boxes.clearRecords();
    write(file("target"), "kept");
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("old.sec"), file("target")));
    expectOnlyBox(QStringLiteral("CryptAcquireContext error"));
    EXPECT_EQ(read(file("target")), QByteArray("kept"));
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("old.sec"), file("new-target")));
    EXPECT_FALSE(exists(file("new-target")));
}

TEST_F(SecureMessageFailureTest, UnpluggedKeyCannotPack)
{
    write(file("doc.bin"), document(10));
    m_key.unplug();
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(pack(file("doc.bin"), file("new.sec")));
    expectOnlyBox(QStringLiteral("CryptAcquireContext error"));
    EXPECT_FALSE(exists(file("new.sec")));
}

TEST_F(SecureMessageFailureTest, MissingSignaturePair)
{
    packedDocument(700);
    m_key.removeFile("signature.pem");

    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(pack(file("doc.bin"), file("new.sec")));
    expectOnlyBox(QStringLiteral("CryptSignHash error"));
    EXPECT_FALSE(exists(file("new.sec")));

    m_boxes.clearRecords();
    ::testing::internal::CaptureStdout();
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("doc.sec"), file("target")));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "The signature key has been acquired error. \n");
    expectOnlyBox(QStringLiteral("文件已经改动"));
    EXPECT_FALSE(exists(file("target")));
}

TEST_F(SecureMessageFailureTest, MissingExchangePair)
{
    packedDocument(700);
    m_key.removeFile("exchange.pem");

    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(pack(file("doc.bin"), file("new.sec")));
    expectOnlyBox(QStringLiteral("CryptGetUserKey error"));
    EXPECT_FALSE(exists(file("new.sec")));

    m_boxes.clearRecords();
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("doc.sec"), file("target")));
    expectOnlyBox(QStringLiteral("导入密钥错误"));
    EXPECT_FALSE(exists(file("target")));
}

TEST_F(SecureMessageFailureTest, FilesThatCannotBeOpened)
{
    EXPECT_FALSE(pack(file("missing.bin"), file("new.sec")));
    EXPECT_TRUE(boxTexts().isEmpty()) << "an unreadable source fails silently";
    EXPECT_FALSE(exists(file("new.sec")));

    write(file("doc.bin"), document(10));
    EXPECT_FALSE(pack(file("doc.bin"), file("no-such-dir/new.sec")));
    EXPECT_TRUE(boxTexts().isEmpty());

    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("missing.sec"), file("target")));
    expectOnlyBox(QStringLiteral("打开文件 error"));
    EXPECT_FALSE(exists(file("target")));

    packedDocument(10);
    m_boxes.clearRecords();
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("doc.sec"), file("no-such-dir/target")));
    expectOnlyBox(QStringLiteral("打开文件 error"));
}

TEST_F(SecureMessageFailureTest, ADirectoryIsNoSecureFileAndLeavesTheTargetAlone)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.sec"));
    write(file("target"), "previous content");
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("folder.sec"), file("target")));
    expectOnlyBox(QStringLiteral("打开文件 error"));
    EXPECT_EQ(read(file("target")), QByteArray("previous content"));
}

TEST_F(SecureMessageFailureTest, OutputsThatAreNotRegularFilesAreWrittenNotTruncated)
{
    packedDocument(100);
    EXPECT_TRUE(pack(file("doc.bin"), QStringLiteral("/dev/null")));
    EXPECT_TRUE(boxTexts().isEmpty()) << qPrintable(boxTexts().join(QLatin1Char('\n')));
}

// The pack source is read twice (hash, then cipher) and the unpack target written and read
// back: a device or pipe in either place would give two different contents, or never end.
TEST_F(SecureMessageFailureTest, PackSourceAndUnpackTargetMustBeRegularFiles)
{
    packedDocument(100);
    const QByteArray pipe = QFile::encodeName(file("pipe"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    // A reader and a writer on the pipe: nothing that trusted it would have to wait.
    const int held = ::open(pipe.constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(held, 0);
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    const QStringList specials = {QStringLiteral("/dev/zero"), file("pipe"), file("folder")};
    for (const QString& source : specials) {
        SCOPED_TRACE(source.toStdString());
        m_boxes.clearRecords();
        QElapsedTimer timer;
        timer.start();
        m_boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(pack(source, file("out.sec")));
        EXPECT_LT(timer.elapsed(), 1000);
        expectOnlyBox(secure_message::inputNotRegularText());
        EXPECT_FALSE(exists(file("out.sec")));
    }
    for (const QString& target : {QStringLiteral("/dev/null"), file("pipe"), file("folder")}) {
        SCOPED_TRACE(target.toStdString());
        m_boxes.clearRecords();
        QElapsedTimer timer;
        timer.start();
        m_boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(unpack(file("doc.sec"), target));
        EXPECT_LT(timer.elapsed(), 1000);
        expectOnlyBox(secure_message::outputNotRegularText());
    }
    char drained[16];
    EXPECT_LE(::read(held, drained, sizeof drained), 0) << "nothing was written into the pipe";
    ::close(held);
}

TEST_F(SecureMessageFailureTest, TheSecureFileMayBeAPipe)
{
    const QByteArray content = packedDocument(5000);
    const QByteArray secure = read(file("doc.sec"));
    const QByteArray pipe = QFile::encodeName(file("doc-pipe.sec"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    std::thread writer([&] {
        const int fd = ::open(pipe.constData(), O_WRONLY);
        if (fd < 0)
            return;
        for (qsizetype done = 0; done < secure.size();) {
            const ssize_t written =
                ::write(fd, secure.constData() + done, static_cast<size_t>(secure.size() - done));
            if (written <= 0)
                break;
            done += written;
        }
        ::close(fd);
    });
    const bool unpacked = unpack(file("doc-pipe.sec"), file("target"));
    if (!unpacked) // a refusal before the pipe was opened leaves the writer waiting
        ::close(::open(pipe.constData(), O_RDONLY | O_NONBLOCK));
    writer.join();
    EXPECT_TRUE(unpacked) << qPrintable(boxTexts().join(QLatin1Char('\n')));
    EXPECT_EQ(read(file("target")), content);
}

TEST_F(SecureMessageFailureTest, PathsThatReachOneFileAreRefusedBeforeAnythingIsWritten)
{
    const QByteArray content = packedDocument(300);
    const QByteArray secure = read(file("doc.sec"));
    ASSERT_EQ(::symlink(QFile::encodeName(file("doc.bin")).constData(),
                        QFile::encodeName(file("link.bin")).constData()),
              0);
    ASSERT_EQ(::link(QFile::encodeName(file("doc.sec")).constData(),
                     QFile::encodeName(file("hard.sec")).constData()),
              0);
    const QString otherSpelling = m_dir.path() + QStringLiteral("/./sub/../doc.bin");
    QDir(m_dir.path()).mkdir(QStringLiteral("sub"));

    for (const QString& output : {file("doc.bin"), file("link.bin"), otherSpelling}) {
        m_boxes.clearRecords();
        m_boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(pack(file("doc.bin"), output));
        expectOnlyBox(secure_message::sameFileText());
        EXPECT_EQ(read(file("doc.bin")), content);
    }
    for (const QString& target : {file("doc.sec"), file("hard.sec")}) {
        m_boxes.clearRecords();
        m_boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(unpack(file("doc.sec"), target));
        expectOnlyBox(secure_message::sameFileText());
        EXPECT_EQ(read(file("doc.sec")), secure);
    }
}

// Results that do not fit the 300-byte areas fail their own step and write nothing.
TEST(SecureMessageOversizedResults, SignatureOrBlobLongerThanItsAreaFailsItsStep)
{
    TempDirectory dir;
    TempDirectory::writeFile(dir.file("doc.bin"), "document");
    ScriptedInteraction boxes;
    WindowBoxReporter reporter(nullptr);
    {
        SimulatedKeyDirectory key(containerWithKeySizes(2408, 2048));
        boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(SecureMessage(reporter).GenerateSecureMessage(dir.file("doc.bin"), dir.file("a.sec")));
        EXPECT_EQ(boxes.boxTexts(), QStringList{QStringLiteral("CryptSignHash error")});
        EXPECT_FALSE(QFile::exists(dir.file("a.sec")));
    }
    boxes.clearRecords();
    {
        SimulatedKeyDirectory key(containerWithKeySizes(2048, 2312));
        boxes.answerBox(BoxResult::Ok);
        EXPECT_FALSE(SecureMessage(reporter).GenerateSecureMessage(dir.file("doc.bin"), dir.file("b.sec")));
        EXPECT_EQ(boxes.boxTexts(), QStringList{QStringLiteral("CryptExportKey error")});
        EXPECT_FALSE(QFile::exists(dir.file("b.sec")));
    }
}

} // namespace
} // namespace talvo::testing
