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
    void sealAndCheck(const QString& input, const std::vector<pdf::SealStamp>& stamps, int signaturesAfter,
                      const QString& output)
    {
        const QByteArray before = TempDirectory::readFile(input);
        const pdf::SealingResult result =
            pdf::sealDocument(bytesOf(input), bytesOf(output), stamps, *s_signer, kSigningTime);
        ASSERT_TRUE(result.ok) << result.error;
        const QByteArray after = TempDirectory::readFile(output);
        EXPECT_TRUE(after.startsWith(before)) << "not an incremental update";

        const SignatureReport report = pdfsigReport(output);
        EXPECT_EQ(report.signatures, signaturesAfter) << report.text.toStdString();
        EXPECT_EQ(report.valid, signaturesAfter) << report.text.toStdString();
        EXPECT_TRUE(report.lastCoversWholeDocument) << report.text.toStdString();

        const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), output});
        EXPECT_EQ(check.exitCode, 0) << check.output.toStdString();

        for (const pdf::SealStamp& stamp : stamps) {
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
    }

    static TempDirectory* s_directory;
    static QString s_plain;
    static SoftwareSigner* s_signer;
    TempDirectory m_work;
};

TempDirectory* DocumentSealingTest::s_directory = nullptr;
QString DocumentSealingTest::s_plain;
SoftwareSigner* DocumentSealingTest::s_signer = nullptr;

// Makes an input from Ghostscript's document in the directory; empty on failure.
using Input = std::function<QString(const QString& plain, const QString& directory)>;

QString plainInput(const QString& plain, const QString&)
{
    return plain;
}

Input qpdfRewritten(QStringList options)
{
    return [options](const QString& plain, const QString& directory) {
        const QString out = QDir(directory).filePath(QStringLiteral("rewritten.pdf"));
        return qpdfRewrite(plain, out, options) ? out : QString();
    };
}

struct ProducerCase {
    const char* name;
    Input produce;
    int signaturesBefore;
    std::vector<pdf::SealPlacement> placements;
};

void PrintTo(const ProducerCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

const ProducerCase kProducers[] = {
    // Every stamp of one call is its own signature.
    {"ghostscript", plainInput, 0, {{1, 50, 60, 40}, {2, 50, 50, 40}}},
    {"objectStreams", qpdfRewritten({QStringLiteral("--object-streams=generate")}), 0, {{2, 150, 250, 40}}},
    {"rotatedPage", qpdfRewritten({QStringLiteral("--rotate=+90:1")}), 0, {{1, 200, 40, 40}}},
    {"alreadySealed",
     [](const QString& plain, const QString& directory) {
         const QString out = QDir(directory).filePath(QStringLiteral("sealed.pdf"));
         SoftwareSigner other;
         const pdf::SealingResult first =
             pdf::sealDocument(bytesOf(plain), bytesOf(out), {stampAt(2, 30, 30)}, other, kSigningTime);
         return first.ok ? out : QString();
     },
     1,
     {{1, 120, 200, 40}}},
};

class DocumentSealingProducerTest : public DocumentSealingTest,
                                    public ::testing::WithParamInterface<ProducerCase> {};

TEST_P(DocumentSealingProducerTest, SealIsValidWholeAndWhereAsked)
{
    ASSERT_FALSE(s_plain.isEmpty()) << "ps2pdf failed";
    const ProducerCase& producer = GetParam();
    const QString input = producer.produce(s_plain, m_work.path());
    ASSERT_FALSE(input.isEmpty());
    std::vector<pdf::SealStamp> stamps;
    for (const pdf::SealPlacement& placement : producer.placements)
        stamps.push_back(
            stampAt(placement.page, placement.centreXMm, placement.centreYMm, placement.widthMm));
    const QString output = m_work.file(QStringLiteral("out.pdf"));
    const mode_t umask = ::umask(027);
    sealAndCheck(input, stamps, producer.signaturesBefore + static_cast<int>(stamps.size()), output);
    ::umask(umask);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(output), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u) << "a new file's mode, under the umask";
}

INSTANTIATE_TEST_SUITE_P(Producers, DocumentSealingProducerTest, ::testing::ValuesIn(kProducers),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(DocumentSealingTest, SealsInPlaceAndAgainWithAnotherSeal)
{
    const QString document = m_work.file(QStringLiteral("contract.pdf"));
    ASSERT_TRUE(QFile::copy(s_plain, document));
    ASSERT_EQ(::chmod(QFile::encodeName(document), 0604), 0);
    sealAndCheck(document, {stampAt(1, 60, 100)}, 1, document);
    pdf::SealStamp second = stampAt(2, 100, 150, 30);
    second.sealName = "财务专用章";
    sealAndCheck(document, {second}, 2, document);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(document), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
}

struct RefusalCase {
    const char* name;
    Input input;
    const char* message; // a part of the refusal
    pdf::SealPlacement placement{1, 50, 50, 40};
    const char* outputName = "out.pdf"; // relative to the work directory
};

void PrintTo(const RefusalCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

// Ghostscript's document with its bytes edited.
Input edited(QByteArray (*edit)(QByteArray bytes))
{
    return [edit](const QString& plain, const QString& directory) {
        const QString path = QDir(directory).filePath(QStringLiteral("edited.pdf"));
        TempDirectory::writeFile(path, edit(TempDirectory::readFile(plain)));
        return path;
    };
}

Input encrypted(const QString& userPassword)
{
    return qpdfRewritten({QStringLiteral("--encrypt"), userPassword, QStringLiteral("owner"),
                          QStringLiteral("256"), QStringLiteral("--")});
}

const RefusalCase kRefusals[] = {
    {"notPdf", edited([](QByteArray) { return QByteArray("Dear reader,\n"); }), "不是PDF"},
    {"damaged", edited([](QByteArray bytes) { return bytes.left(bytes.size() * 2 / 3); }), "损坏"},
    // Whole, but its cross-reference table is not where its trailer says: a reader must repair it.
    {"brokenCrossReference", edited([](QByteArray bytes) {
         bytes[bytes.lastIndexOf("\nxref") + 1] = 'X';
         return bytes;
     }),
     "损坏"},
    {"encrypted", encrypted(QStringLiteral("user")), "加密"},
    {"encryptedOpenToAll", encrypted(QString()), "加密"},
    {"pageOutOfRange", plainInput, "页码 3", {3, 50, 50, 40}},
    {"pageZero", plainInput, "页码 0", {0, 50, 50, 40}},
    {"offThePage", plainInput, "不在第 1 页", {1, 50, 400, 40}},
    {"leftOfThePage", plainInput, "不在第 1 页", {1, -1, 50, 40}},
    {"unreadableInput",
     [](const QString&, const QString& d) { return QDir(d).filePath(QStringLiteral("none.pdf")); },
     "无法读取"},
    {"unwritableOutput", plainInput, "无法", {1, 50, 50, 40}, "missing/out.pdf"},
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
