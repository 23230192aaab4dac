#include "support/ToolRunner.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace corvane::test {
namespace {

[[noreturn]] void Fail(const QString& program, const QStringList& arguments, const QString& what,
                       const QByteArray& err) {
  QString message = QStringLiteral("%1 %2: %3").arg(program, arguments.join(QLatin1Char(' ')), what);
  const QByteArray trimmed = err.trimmed();
  if (!trimmed.isEmpty()) message += QStringLiteral("\n%1").arg(QString::fromLocal8Bit(trimmed.right(4000)));
  const QByteArray text = message.toLocal8Bit();
  // Qt Test reports an escaping exception without its text, so say it here too.
  std::fprintf(stderr, "external tool failed: %s\n", text.constData());
  throw ToolFailure(text.toStdString());
}

}  // namespace

ToolResult RunTool(const QString& program, const QStringList& arguments, const ToolRun& options) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  if (!options.workingDirectory.isEmpty()) process.setWorkingDirectory(options.workingDirectory);
  if (!options.environment.isEmpty()) process.setProcessEnvironment(options.environment);
  process.start();
  if (!process.waitForStarted(30000)) {
    Fail(program, arguments, QStringLiteral("could not be started (%1)").arg(process.errorString()), {});
  }
  if (!options.input.isEmpty()) process.write(options.input);
  process.closeWriteChannel();
  ToolResult result;
  // Drain both pipes while waiting, so a tool with a lot to say never blocks on a full pipe.
  QElapsedTimer clock;
  clock.start();
  while (process.state() != QProcess::NotRunning) {
    if (clock.elapsed() > options.timeout_ms) {
      process.kill();
      process.waitForFinished(10000);
      Fail(program, arguments, QStringLiteral("did not finish within %1 s").arg(options.timeout_ms / 1000),
           result.err + process.readAllStandardError());
    }
    if (options.serveEvents) {
      QEventLoop loop;
      QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
      QTimer::singleShot(200, &loop, &QEventLoop::quit);
      loop.exec();
    } else {
      process.waitForFinished(200);
    }
    result.out += process.readAllStandardOutput();
    result.err += process.readAllStandardError();
  }
  result.out += process.readAllStandardOutput();
  result.err += process.readAllStandardError();
  if (process.exitStatus() != QProcess::NormalExit) {
    Fail(program, arguments, QStringLiteral("crashed"), result.err);
  }
  result.exitCode = process.exitCode();
  if (result.exitCode != 0 && !options.mayFail) {
    Fail(program, arguments, QStringLiteral("exited with status %1").arg(result.exitCode), result.err);
  }
  return result;
}

QByteArray ToolOutput(const QString& program, const QStringList& arguments, const ToolRun& options) {
  return RunTool(program, arguments, options).out;
}

}  // namespace corvane::test
