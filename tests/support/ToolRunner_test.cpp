// The runner every test and benchmark uses for external tools: a tool that fails must stop the
// test with the tool's own words, never hand on an empty fixture.
#include "support/ToolRunner.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace corvane::test;

namespace {

std::string FailureOf(const QString& program, const QStringList& arguments) {
  try {
    RunTool(program, arguments);
  } catch (const ToolFailure& failure) {
    return failure.what();
  }
  return "no failure";
}

TEST(ToolRunner, AFailingFixtureToolNamesItselfItsStatusAndItsMessage) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string failure =
      FailureOf(QStringLiteral("timidity"),
                {QStringLiteral("-c"), dir.filePath(QStringLiteral("absent.cfg")), QStringLiteral("-Ow"),
                 QStringLiteral("-o"), dir.filePath(QStringLiteral("out.wav")), dir.filePath(QStringLiteral("x.mid"))});
  EXPECT_NE(failure.find("timidity"), std::string::npos) << failure;
  EXPECT_NE(failure.find("exited with status 1"), std::string::npos) << failure;
  EXPECT_NE(failure.find("absent.cfg: No such file or directory"), std::string::npos) << failure;

  const std::string missing = FailureOf(QStringLiteral("corvane-no-such-tool"), {});
  EXPECT_NE(missing.find("corvane-no-such-tool"), std::string::npos) << missing;
  EXPECT_NE(missing.find("could not be started"), std::string::npos) << missing;

  EXPECT_NE(FailureOf(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("kill -SEGV $$")}).find("crashed"),
            std::string::npos);
}

TEST(ToolRunner, OutputsInputAndStatusArriveWhole) {
  // More than a pipe holds on both channels, so a runner that reads only at the end would hang.
  const QByteArray input(1 << 20, 'x');
  const ToolResult copied =
      RunTool(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cat; head -c 200000 /dev/zero >&2")},
              {.input = input});
  EXPECT_EQ(copied.out, input);
  EXPECT_EQ(copied.err.size(), 200000);
  EXPECT_EQ(copied.exitCode, 0);

  const ToolResult allowed =
      RunTool(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}, {.mayFail = true});
  EXPECT_EQ(allowed.exitCode, 3);
  EXPECT_THROW(RunTool(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("sleep 30")}, {.timeout_ms = 200}),
               ToolFailure);
}

}  // namespace
