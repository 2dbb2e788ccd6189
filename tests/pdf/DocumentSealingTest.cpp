#include "pdf/DocumentSealing.h"
#include "support/TempDirectory.h"
#include "tests/pdf/PdfTools.h"
#include "tests/pdf/SealGif.h"
#include "tests/pdf/SoftwareSigner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

#include <sys/stat.h>

namespace talvo::testing {
namespace {

constexpr int kDotsPerInch = 144;
constexpr double kToleranceMm = 0.5;
const std::time_t kSigningTime = 1'800'000'000;

std::string bytesOf(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

pdf::SealStamp stampAt(int page, double x, double y, double width = 40)
{
    pdf::SealStamp stamp;
    stamp.placement = {page, x, y, width};
    stamp.picture = redFrameGif(120, 60);
    stamp.sealName = "合同专用章";
    stamp.reason = "同意";
    return stamp;
}

class DocumentSealingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_directory = new TempDirectory();
        s_plain = ghostscriptPdf(s_directory->path(), QStringLiteral("plain"), 2);
        s_signer = new SoftwareSigner();
    }
    static void TearDownTestSuite()
    {
        delete s_signer;
        delete s_directory;
    }

    // Seals, then checks what every reader and validator must see.
    void sealAndCheck(const QString& input, const pdf::SealStamp& stamp, int signaturesAfter,
                      const QString& output)
    {
        const QByteArray before = TempDirectory::readFile(input);
        const pdf::SealingResult result =
            pdf::sealDocument(bytesOf(input), bytesOf(output), {stamp}, *s_signer, kSigningTime);
        ASSERT_TRUE(result.ok) << result.error;
        const QByteArray after = TempDirectory::readFile(output);
        EXPECT_TRUE(after.startsWith(before)) << "not an incremental update";

        const SignatureReport report = pdfsigReport(output);
        EXPECT_EQ(report.signatures, signaturesAfter) << report.text.toStdString();
        EXPECT_EQ(report.valid, signaturesAfter) << report.text.toStdString();
        EXPECT_TRUE(report.lastCoversWholeDocument) << report.text.toStdString();

        const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), output});
        EXPECT_EQ(check.exitCode, 0) << check.output.toStdString();

        const QImage page = renderedPage(output, stamp.placement.page, kDotsPerInch);
        ASSERT_FALSE(page.isNull());
        const QRectF seal = redPixelsMm(page, kDotsPerInch);
        EXPECT_NEAR(seal.center().x(), stamp.placement.centreXMm, kToleranceMm);
        EXPECT_NEAR(seal.center().y(), stamp.placement.centreYMm, kToleranceMm);
        EXPECT_NEAR(seal.width(), stamp.placement.widthMm, kToleranceMm);
        EXPECT_NEAR(seal.height(), stamp.placement.widthMm / 2, kToleranceMm);
        // The picture's transparent colour shows the page through.
        const double pixelsPerMm = kDotsPerInch / 25.4;
        const QColor hole = page.pixelColor(static_cast<int>(seal.center().x() * pixelsPerMm),
                                            static_cast<int>(seal.center().y() * pixelsPerMm));
        EXPECT_EQ(hole, QColor(Qt::white));
    }

    static TempDirectory* s_directory;
    static QString s_plain;
    static SoftwareSigner* s_signer;
    TempDirectory m_work;
};

TempDirectory* DocumentSealingTest::s_directory = nullptr;
QString DocumentSealingTest::s_plain;
SoftwareSigner* DocumentSealingTest::s_signer = nullptr;

struct ProducerCase {
    const char* name;
    // Makes the input from Ghostscript's document in the directory; empty on failure.
    std::function<QString(const QString& plain, const QString& directory)> produce;
    int signaturesBefore;
    int page;
    double x;
    double y;
};

void PrintTo(const ProducerCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

const ProducerCase kProducers[] = {
    {"ghostscript", [](const QString& plain, const QString&) { return plain; }, 0, 1, 50, 60},
    {"objectStreams",
     [](const QString& plain, const QString& directory) {
         const QString out = QDir(directory).filePath(QStringLiteral("streams.pdf"));
         return qpdfRewrite(plain, out, {QStringLiteral("--object-streams=generate")}) ? out : QString();
     },
     0, 2, 150, 250},
    {"rotatedPage",
     [](const QString& plain, const QString& directory) {
         const QString out = QDir(directory).filePath(QStringLiteral("rotated.pdf"));
         return qpdfRewrite(plain, out, {QStringLiteral("--rotate=+90:1")}) ? out : QString();
     },
     0, 1, 200, 40},
    {"alreadySealed",
     [](const QString& plain, const QString& directory) {
         const QString out = QDir(directory).filePath(QStringLiteral("sealed.pdf"));
         SoftwareSigner other;
         const pdf::SealingResult first =
             pdf::sealDocument(bytesOf(plain), bytesOf(out), {stampAt(2, 30, 30)}, other, kSigningTime);
         return first.ok ? out : QString();
     },
     1, 1, 120, 200},
};

class DocumentSealingProducerTest : public DocumentSealingTest,
                                    public ::testing::WithParamInterface<ProducerCase> {};

TEST_P(DocumentSealingProducerTest, SealIsValidWholeAndWhereAsked)
{
    ASSERT_FALSE(s_plain.isEmpty()) << "ps2pdf failed";
    const ProducerCase& producer = GetParam();
    const QString input = producer.produce(s_plain, m_work.path());
    ASSERT_FALSE(input.isEmpty());
    sealAndCheck(input, stampAt(producer.page, producer.x, producer.y), producer.signaturesBefore + 1,
                 m_work.file(QStringLiteral("out.pdf")));
}

INSTANTIATE_TEST_SUITE_P(Producers, DocumentSealingProducerTest, ::testing::ValuesIn(kProducers),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(DocumentSealingTest, SealsInPlaceAndAgainWithAnotherSeal)
{
    const QString document = m_work.file(QStringLiteral("contract.pdf"));
    ASSERT_TRUE(QFile::copy(s_plain, document));
    ASSERT_EQ(::chmod(QFile::encodeName(document), 0604), 0);
    sealAndCheck(document, stampAt(1, 60, 100), 1, document);
    pdf::SealStamp second = stampAt(2, 100, 150, 30);
    second.sealName = "财务专用章";
    sealAndCheck(document, second, 2, document);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(document), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
}

TEST_F(DocumentSealingTest, EveryStampOfOneCallIsItsOwnSignature)
{
    const QString output = m_work.file(QStringLiteral("twice.pdf"));
    const mode_t umask = ::umask(027);
    const pdf::SealingResult result = pdf::sealDocument(
        bytesOf(s_plain), bytesOf(output), {stampAt(1, 50, 50), stampAt(2, 50, 50)}, *s_signer, kSigningTime);
    ::umask(umask);
    ASSERT_TRUE(result.ok) << result.error;
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(output), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u) << "a new file's mode, under the umask";
    const SignatureReport report = pdfsigReport(output);
    EXPECT_EQ(report.signatures, 2) << report.text.toStdString();
    EXPECT_EQ(report.valid, 2) << report.text.toStdString();
    EXPECT_TRUE(report.lastCoversWholeDocument);
}

struct RefusalCase {
    const char* name;
    std::function<QString(const QString& plain, const QString& directory)> input;
    pdf::SealPlacement placement;
    const char* outputName; // relative to the work directory
    const char* message;    // a part of the refusal
};

void PrintTo(const RefusalCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

QString written(const QString& directory, const char* name, const QByteArray& bytes)
{
    const QString path = QDir(directory).filePath(QString::fromUtf8(name));
    TempDirectory::writeFile(path, bytes);
    return path;
}

const RefusalCase kRefusals[] = {
    {"notPdf",
     [](const QString&, const QString& d) { return written(d, "letter.pdf", "Dear reader,\n"); },
     {1, 50, 50, 40},
     "out.pdf",
     "不是PDF"},
    {"damaged",
     [](const QString& plain, const QString& d) {
         const QByteArray bytes = TempDirectory::readFile(plain);
         return written(d, "cut.pdf", bytes.left(bytes.size() * 2 / 3));
     },
     {1, 50, 50, 40},
     "out.pdf",
     "损坏"},
    // Whole, but its cross-reference table is not where its trailer says: a reader must repair it.
    {"brokenCrossReference",
     [](const QString& plain, const QString& d) {
         QByteArray bytes = TempDirectory::readFile(plain);
         const qsizetype table = bytes.lastIndexOf("\nxref");
         if (table >= 0)
             bytes[table + 1] = 'X';
         return written(d, "moved.pdf", bytes);
     },
     {1, 50, 50, 40},
     "out.pdf",
     "损坏"},
    {"encrypted",
     [](const QString& plain, const QString& d) {
         const QString out = QDir(d).filePath(QStringLiteral("locked.pdf"));
         qpdfRewrite(plain, out,
                     {QStringLiteral("--encrypt"), QStringLiteral("user"), QStringLiteral("owner"),
                      QStringLiteral("256"), QStringLiteral("--")});
         return out;
     },
     {1, 50, 50, 40},
     "out.pdf",
     "加密"},
    {"encryptedOpenToAll",
     [](const QString& plain, const QString& d) {
         const QString out = QDir(d).filePath(QStringLiteral("restricted.pdf"));
         qpdfRewrite(plain, out,
                     {QStringLiteral("--encrypt"), QString(), QStringLiteral("owner"), QStringLiteral("256"),
                      QStringLiteral("--")});
         return out;
     },
     {1, 50, 50, 40},
     "out.pdf",
     "加密"},
    {"pageOutOfRange",
     [](const QString& plain, const QString&) { return plain; },
     {3, 50, 50, 40},
     "out.pdf",
     "页码 3"},
    {"pageZero",
     [](const QString& plain, const QString&) { return plain; },
     {0, 50, 50, 40},
     "out.pdf",
     "页码 0"},
    {"offThePage",
     [](const QString& plain, const QString&) { return plain; },
     {1, 50, 400, 40},
     "out.pdf",
     "不在第 1 页"},
    {"leftOfThePage",
     [](const QString& plain, const QString&) { return plain; },
     {1, -1, 50, 40},
     "out.pdf",
     "不在第 1 页"},
    {"unreadableInput",
     [](const QString&, const QString& d) { return QDir(d).filePath(QStringLiteral("none.pdf")); },
     {1, 50, 50, 40},
     "out.pdf",
     "无法读取"},
    {"unwritableOutput",
     [](const QString& plain, const QString&) { return plain; },
     {1, 50, 50, 40},
     "missing/out.pdf",
     "无法"},
};

class DocumentSealingRefusalTest : public DocumentSealingTest,
                                   public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DocumentSealingRefusalTest, RefusesAndLeavesOutputAsItWas)
{
    const RefusalCase& refusal = GetParam();
    const QString input = refusal.input(s_plain, m_work.path());
    const QString output = m_work.file(QString::fromUtf8(refusal.outputName));
    const QByteArray previous = "the output's earlier contents";
    if (QFileInfo(output).dir().exists())
        TempDirectory::writeFile(output, previous);
    pdf::SealStamp stamp = stampAt(1, 0, 0);
    stamp.placement = refusal.placement;
    const int signaturesBefore = s_signer->signatures();

    const pdf::SealingResult result =
        pdf::sealDocument(bytesOf(input), bytesOf(output), {stamp}, *s_signer, kSigningTime);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(refusal.message), std::string::npos) << result.error;
    EXPECT_EQ(s_signer->signatures(), signaturesBefore) << "signed although refused";
    if (QFileInfo(output).dir().exists()) {
        EXPECT_EQ(TempDirectory::readFile(output), previous);
        EXPECT_EQ(QDir(m_work.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".talvo")),
                  QStringList());
    }
}

INSTANTIATE_TEST_SUITE_P(BadInput, DocumentSealingRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(DocumentSealingTest, SignatureNotMadeWithTheCertificatesKeyIsRefused)
{
    SoftwareSigner mismatched;
    mismatched.signWithAnotherKey();
    const QString output = m_work.file(QStringLiteral("out.pdf"));
    const pdf::SealingResult result =
        pdf::sealDocument(bytesOf(s_plain), bytesOf(output), {stampAt(1, 50, 50)}, mismatched, kSigningTime);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("证书不符"), std::string::npos) << result.error;
    EXPECT_FALSE(QFile::exists(output));
}

} // namespace
} // namespace talvo::testing
