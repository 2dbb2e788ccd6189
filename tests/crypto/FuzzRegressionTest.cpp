// Replays the fuzz seed corpus and every input the fuzzer ever found crashing: the reader must
// open exactly the seeds made as valid files, and never change its input or write elsewhere.

#include "TestContainers.h"

#include "crypto/SecureMessage.h"
#include "platform/widgets/WindowBoxReporter.h"
#include "support/ScriptedInteraction.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace talvo::testing {
namespace {

QStringList inputsIn(const char* subdirectory)
{
    const QDir dir(QStringLiteral(TALVO_SOURCE_DIR "/fuzz/secure-message/") + QLatin1String(subdirectory));
    QStringList files;
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot)) {
        if (!name.startsWith(QLatin1Char('.')))
            files.append(dir.filePath(name));
    }
    return files;
}

void replay(const QString& input, bool expectOpened)
{
    SCOPED_TRACE(input.toStdString());
    SimulatedKeyDirectory key(fuzzContainer());
    TempDirectory dir;
    ScriptedInteraction boxes;
    WindowBoxReporter reporter(nullptr);
    // Which of the reader's error boxes a damaged input meets is what the fuzzer explored;
    // each is answered as it comes, and a valid file must meet none.
    boxes.onBox([&boxes, expectOpened](const MessageBoxRequest& box) {
        if (!expectOpened && box.caption == QStringLiteral("错误") && box.buttons == BoxButtons::Ok)
            boxes.answerBox(BoxResult::Ok);
    });
    const QString copy = dir.file(QStringLiteral("input.sec"));
    ASSERT_TRUE(QFile::copy(input, copy));
    const QByteArray bytes = TempDirectory::readFile(copy);

    const bool opened = SecureMessage(reporter).ParseSecureMessage(copy, dir.file(QStringLiteral("target")));
    EXPECT_EQ(opened, expectOpened) << boxes.boxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(TempDirectory::readFile(copy), bytes);
    // Nothing else is written, nor left behind; a target is there only for a message that opened.
    QStringList expected{QStringLiteral("input.sec")};
    if (opened)
        expected.append(QStringLiteral("target"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), expected);
}

// Inputs the fuzzer found crashing are kept in crashes/ and replayed here with the seeds.
TEST(FuzzRegression, SeedsAndCrashingInputsOpenExactlyTheValidFiles)
{
    const QStringList seeds = inputsIn("corpus");
    ASSERT_GE(seeds.size(), 8);
    for (const QString& input : seeds + inputsIn("crashes"))
        replay(input, QFileInfo(input).fileName().startsWith(QLatin1String("valid-")));
}

} // namespace
} // namespace talvo::testing
