#include "StampPdfs.h"
#include "StampWindowFixture.h"
#include "device/KeyDriverBinding.h"
#include "stamp/window/DriverStampKey.h"
#include "stamp/window/SealList.h"
#include "stamp/window/SealsPanel.h"
#include "stamp/window/SignaturesPanel.h"
#include "support/SimulatedKey.h"
#include "support/Typing.h"
#include "tests/pdf/PdfTools.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace talvo::testing {
namespace {

constexpr const char* kHolderPin = "730264";

// The window over the simulated key, sealing through the real library.
class StampFlow : public ::testing::Test {
protected:
    StampFlow() : m_key(m_binding), m_window(m_key, std::chrono::milliseconds(100))
    {
        m_window.resize(900, 700);
        m_window.show();
    }

    void drop(int sealNumber, int page, const QPointF& mm)
    {
        m_window.view().goToPage(page);
        dropSeal(m_window.view(), sealNumber, viewportPointOf(m_window.view(), page, mm));
    }

    // Presses 盖章 with the PIN typed and the save dialog answered; true when sealing ended well.
    bool seal(const QString& pin, const std::optional<QString>& saveAs)
    {
        m_interaction.scriptModal([pin](QDialog& dialog) {
            typeText(dialog.findChild<QLineEdit*>(), pin);
            dialog.accept();
        });
        m_interaction.answerFileDialog(saveAs);
        QSignalSpy finished(&m_window, &stamp::StampWindow::sealingFinished);
        m_window.sealAction().trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 120000));
        return !finished.isEmpty() && finished.front().front().toBool();
    }

    SimulatedKey m_sim{SimulatedKey::Content::Demo};
    TempDirectory m_files;
    ScriptedInteraction m_interaction;
    KeyDriverBinding m_binding;
    stamp::DriverStampKey m_key;
    stamp::StampWindow m_window;
};

TEST_F(StampFlow, DroppedSealsAreSignedInOrderAndTheSealedDocumentVerifies)
{
    ASSERT_TRUE(waitForSeals(m_window, 3));
    const QString original = makePdf(m_files.path(), QStringLiteral("contract"), 2);
    const QByteArray originalBytes = TempDirectory::readFile(original);
    ASSERT_TRUE(openDocument(m_window, original));
    drop(101, 0, {60, 80});
    drop(103, 1, {100, 150});
    ASSERT_EQ(m_window.view().placedSeals().size(), 2u);

    const QString sealed = m_files.file(QStringLiteral("contract-已盖章.pdf"));
    ASSERT_TRUE(seal(QString::fromLatin1(kHolderPin), sealed));
    ASSERT_EQ(m_interaction.fileDialogs().size(), 1u);
    EXPECT_EQ(m_interaction.fileDialogs().front().initialFileName, sealed);

    const auto report = pdfsigReport(sealed);
    EXPECT_EQ(report.signatures, 2) << report.text.toStdString();
    EXPECT_EQ(report.valid, 2) << report.text.toStdString();
    EXPECT_TRUE(report.lastCoversWholeDocument) << report.text.toStdString();
    EXPECT_EQ(TempDirectory::readFile(original), originalBytes);

    // The sealed document is the one shown, with both signatures verified by the window itself.
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window.documentPath() == sealed; }, 60000));
    stamp::SignaturesPanel& signatures = m_window.signaturesPanel();
    ASSERT_EQ(signatures.topLevelItemCount(), 2);
    EXPECT_EQ(signatures.topLevelItem(0)->text(2), QStringLiteral("1"));
    EXPECT_EQ(signatures.topLevelItem(1)->text(2), QStringLiteral("2"));
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(signatures.topLevelItem(row)->text(3), QStringLiteral("有效"));
    // The first was made before the second was added.
    EXPECT_EQ(signatures.topLevelItem(0)->text(4), QStringLiteral("签名后文档有改动"));
    EXPECT_EQ(signatures.topLevelItem(1)->text(4), QStringLiteral("覆盖整个文档"));
    // A byte changed within what both signed: the window says so of each.
    QByteArray bytes = TempDirectory::readFile(sealed);
    ASSERT_TRUE(bytes.startsWith("%PDF-"));
    bytes[10] = static_cast<char>(bytes[10] ^ 1); // in the binary comment below the header
    const QString tampered = m_files.file(QStringLiteral("tampered.pdf"));
    TempDirectory::writeFile(tampered, bytes);
    ASSERT_TRUE(openDocument(m_window, tampered));
    ASSERT_EQ(signatures.topLevelItemCount(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(signatures.topLevelItem(row)->text(3), QStringLiteral("签名的内容已被改动"));
}

TEST_F(StampFlow, FailedSealingSaysWhyAndWritesNothing)
{
    ASSERT_TRUE(waitForSeals(m_window, 3));
    const QString original = makePdf(m_files.path(), QStringLiteral("letter"), 1);
    const QByteArray originalBytes = TempDirectory::readFile(original);
    ASSERT_TRUE(openDocument(m_window, original));

    const struct {
        const char* name;
        QString saveAs;
        bool pullKey;
    } cases[] = {
        {"unwritable place", m_files.file(QStringLiteral("no-such-folder/letter-已盖章.pdf")), false},
        {"key pulled while sealing", m_files.file(QStringLiteral("letter-已盖章.pdf")), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_window.view().clearPlacedSeals();
        drop(102, 0, {50, 50});
        ASSERT_EQ(m_window.view().placedSeals().size(), 1u);
        // The key answers the PIN, then no more: its certificate cannot be read.
        if (c.pullKey)
            m_sim.fail(QStringLiteral("TLKeyReadCert"), 1);
        m_interaction.clearRecords();
        m_interaction.answerBox(BoxResult::Ok);
        EXPECT_FALSE(seal(QString::fromLatin1(kHolderPin), c.saveAs));
        m_sim.clearFailures();
        ASSERT_EQ(m_interaction.boxes().size(), 1u);
        EXPECT_TRUE(m_interaction.boxes().front().text.contains(QStringLiteral("盖章失败")))
            << m_interaction.boxes().front().text.toStdString();
        EXPECT_FALSE(QFile::exists(c.saveAs));
        EXPECT_EQ(TempDirectory::readFile(original), originalBytes);
        EXPECT_EQ(m_window.documentPath(), original);
        EXPECT_FALSE(m_window.isBusy());
        EXPECT_TRUE(m_window.sealAction().isEnabled());
    }
}

} // namespace
} // namespace talvo::testing
