#include "platform/core/NativePath.h"
#include "platform/widgets/Interaction.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDirectory.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace talvo;
using talvo::testing::TempDirectory;

TEST(NativePath, EveryNameComesBackByteForByteAndUtf8AsQtReadsIt)
{
    const QByteArray names[] = {"文档.sec",          "\xff\xfe.gif",           "end\xc3",
                                "\xc0\xaf overlong", "\xed\xb2\x80 surrogate", "\xf4\x90\x80\x80 beyond"};
    for (const QByteArray& name : names) {
        SCOPED_TRACE(name.toHex().toStdString());
        const QString path = decodeNativePath(name);
        EXPECT_EQ(encodeNativePath(path), name);
        if (QString::fromUtf8(name).toUtf8() == name)
            EXPECT_EQ(path, QFile::decodeName(name));
        else
            EXPECT_FALSE(path.contains(QChar::ReplacementCharacter)) << "kept apart from a real U+FFFD";
    }
}

// Qt's dialogs show "\xfe.sec" as "\uFFFD.sec"; the path they hand back is the file meant.
TEST(NativePath, ADialogsPathIsTheFileItShowsOrRefusedWhenItCouldBeSeveral)
{
    TempDirectory dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ::close(::open(folder + "/\xfe.sec", O_CREAT | O_WRONLY, 0600));
    const QString shown = dir.path() + QStringLiteral("/\uFFFD.sec");
    ScriptedInteraction seam;
    QWidget owner;
    FileDialogRequest request;
    request.owner = &owner;
    seam.answerFileDialog(shown);
    EXPECT_EQ(chooseFile(request), decodeNativePath(folder + "/\xfe.sec"));

    ::close(::open(folder + "/\xfd.sec", O_CREAT | O_WRONLY, 0600));
    seam.answerFileDialog(shown);
    seam.answerBox(BoxResult::Ok);
    EXPECT_EQ(chooseFile(request), std::nullopt);
    EXPECT_EQ(seam.boxes().at(0).owner, &owner);
    ::unlink(folder + "/\xfe.sec"); // Qt's removal of the folder cannot name them
    ::unlink(folder + "/\xfd.sec");
}

} // namespace
