#include "cli/ConsoleUserInterface.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <cstdio>

#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "output/FileNameLimit.h"

namespace corvane::cli {
namespace {

constexpr int kBarWidth = 30;

QTextStream& Err() {
  static QTextStream stream(stderr);
  return stream;
}

QTextStream& Out() {
  static QTextStream stream(stdout);
  return stream;
}

// A progress window of the logic (folder scans): nothing to show in a terminal.
class SilentProgress final : public IProgressWindow {
 public:
  explicit SilentProgress(const Console& console) : console_(console) {}
  void SetText(const QString&) override {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  bool CancelRequested() const override { return console_.Interrupted(); }

 private:
  const Console& console_;
};

}  // namespace

Console::Console(ExistingOutput existing, bool interactive, bool progressLines, bool quiet)
    : existing_(existing), interactive_(interactive), progress_lines_(progressLines), quiet_(quiet) {}

void Console::Message(const QString& text) {
  QMutexLocker lock(&mutex_);
  ClearLines();
  Err() << StringTable::Text(text::kCliMessagePrefix)
        << QString(text).replace(QLatin1Char('\n'), QStringLiteral("\n  ")) << Qt::endl;
  Redraw();
}

void Console::Print(const QString& text) {
  QMutexLocker lock(&mutex_);
  ClearLines();
  Out() << text << Qt::endl;
  Redraw();
}

void Console::Progress(int slot, const QString& name, int percent) {
  if (!progress_lines_ || quiet_) return;
  QMutexLocker lock(&mutex_);
  auto& line = lines_[slot];
  if (line.first == name && line.second == percent) return;
  line = {name, percent};
  ClearLines();
  Redraw();
}

void Console::EndJob(int slot) {
  QMutexLocker lock(&mutex_);
  if (lines_.erase(slot) == 0) return;
  ClearLines();
  Redraw();
}

void Console::SetOverall(int done, int total) {
  QMutexLocker lock(&mutex_);
  done_ = done;
  total_ = total;
  ClearLines();
  Redraw();
}

void Console::ClearLines() {
  if (!progress_lines_ || quiet_) return;
  for (int i = 0; i < drawn_; ++i) Err() << "\x1b[1A\x1b[2K";
  Err().flush();
  drawn_ = 0;
}

void Console::Redraw() {
  if (!progress_lines_ || quiet_) return;
  for (const auto& [slot, line] : lines_) {
    const int filled = line.second * kBarWidth / 100;
    Err() << QLatin1Char('[') << QString(filled, QLatin1Char('#')) << QString(kBarWidth - filled, QLatin1Char(' '))
          << QStringLiteral("] ") << QString::number(line.second).rightJustified(3) << QStringLiteral("% ")
          << line.first << QLatin1Char('\n');
    ++drawn_;
  }
  if (total_ > 0) {
    Err() << StringTable::Format(text::kCliFileCount, {done_, total_}) << QLatin1Char('\n');
    ++drawn_;
  }
  Err().flush();
}

QString Console::UniqueName(const QString& path) const {
  for (int n = 1;; ++n) {
    const QString candidate = NumberedPath(path, n);
    // Anything there counts, a folder or a dangling link too.
    const QFileInfo entry(candidate);
    if (!entry.exists() && !entry.isSymLink() && !(name_taken_ && name_taken_(candidate))) return candidate;
  }
}

OverwriteReply Console::AskOverwrite(const QString& message, const QString& proposedPath) {
  OverwriteReply reply;
  QMutexLocker lock(&mutex_);
  ExistingOutput choice = existing_;
  if (choice == ExistingOutput::Ask && interactive_ && !interrupted_) {
    ClearLines();
    Err() << message << StringTable::Text(text::kCliOverwritePrompt) << Qt::flush;
    char answer[16] = {};
    const bool read = std::fgets(answer, sizeof answer, stdin) != nullptr;
    switch (read ? answer[0] : 's') {
      case 'o':
      case 'O':
        choice = ExistingOutput::Overwrite;
        break;
      case 'a':
      case 'A':
        existing_ = ExistingOutput::Overwrite;  // every later file too
        reply.choice = OverwriteReply::Choice::OverwriteAll;
        Redraw();
        return reply;
      case 'r':
      case 'R':
        choice = ExistingOutput::Rename;
        break;
      default:
        choice = ExistingOutput::Skip;
        break;
    }
    Redraw();
  }
  switch (choice) {
    case ExistingOutput::Overwrite:
      reply.choice = OverwriteReply::Choice::Overwrite;
      break;
    case ExistingOutput::Rename:
      reply.choice = OverwriteReply::Choice::Overwrite;
      reply.use_other_name = true;
      reply.other_name = UniqueName(proposedPath);
      break;
    default:
      reply.choice = OverwriteReply::Choice::Skip;
      break;
  }
  return reply;
}

MessageAnswer JobConsole::ShowMessage(const QString& text, MessageIcon, MessageButtons buttons) {
  console_.Message(text);
  switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
      return MessageAnswer::No;
    case MessageButtons::OkCancel:
    case MessageButtons::RetryCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return MessageAnswer::Ok;
}

std::unique_ptr<IProgressWindow> JobConsole::OpenProgressWindow(const QString&) {
  return std::make_unique<SilentProgress>(console_);
}

}  // namespace corvane::cli
