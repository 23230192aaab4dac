#pragma once
#include <QMutex>
#include <QString>
#include <QTextStream>
#include <atomic>
#include <functional>
#include <map>

#include "common/UserInterface.h"

namespace corvane::cli {

// What to do with an output that exists already.
enum class ExistingOutput { Ask, Overwrite, Skip, Rename };

// The user-interface seam of corvane-cli: messages go to standard error as text, questions are
// answered from the command line's options (or asked on the terminal), and each running file
// has a progress line. Shared by every worker thread; each job talks to it through a JobConsole.
class Console {
 public:
  Console(ExistingOutput existing, bool interactive, bool progressLines, bool quiet);

  void Message(const QString& text);
  // Progress of job `slot` (a file being converted): redraws its line on a terminal.
  void Progress(int slot, const QString& name, int percent);
  void EndJob(int slot);
  void SetOverall(int done, int total);
  // Plain text on standard output (summaries, probe results).
  void Print(const QString& text);
  // Ctrl-C: every job stops at its next block.
  void Interrupt() { interrupted_ = true; }
  bool Interrupted() const { return interrupted_; }

  OverwriteReply AskOverwrite(const QString& message, const QString& proposedPath);
  // Names that --rename must not pick although nothing is there yet (other jobs' outputs).
  void SetNameTaken(std::function<bool(const QString&)> taken) { name_taken_ = std::move(taken); }

 private:
  void Redraw();
  void ClearLines();
  QString UniqueName(const QString& path) const;

  QMutex mutex_;
  ExistingOutput existing_;
  bool interactive_;
  bool progress_lines_;
  bool quiet_;
  std::atomic<bool> interrupted_{false};
  std::function<bool(const QString&)> name_taken_;
  std::map<int, std::pair<QString, int>> lines_;
  int drawn_ = 0;
  int done_ = 0;
  int total_ = 0;
};

// One job's view of the console, implementing the seam for the logic that converts that file.
class JobConsole final : public IUserInterface {
 public:
  JobConsole(Console& console, int slot, QString name) : console_(console), slot_(slot), name_(std::move(name)) {}
  ~JobConsole() override { console_.EndJob(slot_); }

  MessageAnswer ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) override;
  void SetStatusText(int, const QString&) override {}
  void SetJobProgress(int percent) override { console_.Progress(slot_, name_, percent); }
  std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString& caption) override;
  std::optional<QString> AskText(const QString&, const QString&, const QString&) override { return std::nullopt; }
  std::optional<QString> ChooseFolder(const QString&, const QString&) override { return std::nullopt; }
  StopAnswer AskStop(const QString&) override { return StopAnswer::StopAll; }
  OverwriteReply AskOverwrite(const QString& message, const QString& proposedPath) override {
    return console_.AskOverwrite(message, proposedPath);
  }
  CompletionReply ShowCompleted(const QString&, const QString&, int, bool) override { return {}; }
  void PumpEvents() override {}
  bool OpenWithDesktop(const QString&) override { return false; }

 private:
  Console& console_;
  int slot_;
  QString name_;
};

}  // namespace corvane::cli
