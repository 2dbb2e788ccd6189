// The program itself, started as an operator would start it without a real display.
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct NoDisplayCase {
    const char* name;
    QStringList environment;
    QStringList arguments;
};

TEST(TalvoToolTest, WithoutARealDisplayItSaysSoAndEndsInsteadOfWaitingOnTheLogin)
{
    const NoDisplayCase cases[] = {
        {"nothing set", {}, {}},
        {"offscreen platform", {QStringLiteral("QT_QPA_PLATFORM=offscreen")}, {}},
        {"offscreen platform beside a display",
         {QStringLiteral("QT_QPA_PLATFORM=offscreen"), QStringLiteral("DISPLAY=:97")},
         {}},
        {"minimal platform", {QStringLiteral("QT_QPA_PLATFORM=minimal")}, {}},
        {"offscreen on the command line",
         {QStringLiteral("WAYLAND_DISPLAY=none")},
         {QStringLiteral("-platform"), QStringLiteral("offscreen")}},
    };
    for (const NoDisplayCase& c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        for (const QString& assignment : c.environment)
            environment.insert(assignment.section(QLatin1Char('='), 0, 0),
                               assignment.section(QLatin1Char('='), 1));
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(TALVO_TOOL_EXECUTABLE), c.arguments);
        ASSERT_TRUE(tool.waitForStarted());
        const bool ended = tool.waitForFinished(30000);
        if (!ended) {
            tool.kill();
            tool.waitForFinished();
        }
        ASSERT_TRUE(ended) << "still waiting after 30 s";
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 1);
        EXPECT_TRUE(tool.readAllStandardError().contains("talvo-tool needs a display"));
    }
}

} // namespace
