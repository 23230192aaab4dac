#pragma once
// The one way tests and benchmarks run an external program (ffmpeg, sox, flac, timidity,
// corvane-cli ...). A tool that is missing, hangs, crashes or exits with a failure status
// stops the test at once with the tool's name, exit status and error output, so a broken
// fixture is never handed on as an empty one.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace corvane::test {

struct ToolRun {
  QByteArray input;                 // written to the tool's standard input, which is then closed
  QString workingDirectory;         // empty: the test's own
  QProcessEnvironment environment;  // empty: the test's own
  int timeout_ms = 300000;
  bool mayFail = false;  // a non-zero exit status is a result the test looks at
  // The test's event loop runs while the tool does, for the test's own servers it talks to.
  bool serveEvents = false;
};

struct ToolResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// What RunTool throws; GoogleTest and Qt Test both report it as a failure of the running test.
class ToolFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs `program` with an argument vector (never through a shell) and waits for it.
ToolResult RunTool(const QString& program, const QStringList& arguments, const ToolRun& options = {});

// Standard output of a tool that must succeed.
QByteArray ToolOutput(const QString& program, const QStringList& arguments, const ToolRun& options = {});

}  // namespace corvane::test
