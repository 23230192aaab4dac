#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "common/UserInterface.h"

namespace corvane::test {

// The user-interface seam for tests: records every message, status text and progress value, and
// answers questions from scripted queues (Ok, or nullopt, when a queue is empty). Calls may come
// from several threads at once (a rip's encoders): each record and each answer taken is locked;
// the hooks run outside the lock.
class ScriptedUserInterface final : public IUserInterface {
 public:
  struct Message {
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
  };

  std::vector<Message> messages;
  std::vector<std::pair<int, QString>> status_texts;
  std::vector<int> progress;
  QStringList opened_paths;
  QStringList progress_texts;
  int pumps = 0;
  int wait_depth = 0;            // BeginWait calls not yet ended
  int pumps_while_waiting = 0;   // pumps with the wait cursor shown
  bool opener_available = true;  // what OpenWithDesktop answers

  std::deque<MessageAnswer> answers;                  // for ShowMessage
  std::deque<std::optional<QString>> text_answers;    // for AskText
  std::deque<std::optional<QString>> folder_answers;  // for ChooseFolder
  std::deque<StopAnswer> stop_answers;                // for AskStop (Continue when empty)
  std::deque<OverwriteReply> overwrite_replies;       // for AskOverwrite (Skip when empty)
  CompletionReply completion_reply;                   // for ShowCompleted
  QStringList folder_captions;                        // what ChooseFolder was asked with
  QStringList folder_starts;
  QStringList stop_questions;
  QStringList overwrite_messages;
  QStringList overwrite_proposals;
  QStringList completion_headings;
  QStringList completion_summaries;
  std::vector<int> completion_failed_counts;
  std::vector<bool> completion_folder_allowed;
  int cancel_progress_after = -1;  // progress windows report cancel after N updates
  // Called with every progress-window text, while the job that shows it runs.
  std::function<void(const QString&)> progress_text_hook;
  // Called with every progress-window position, as a window that serves the user interface while
  // it moves its bar would run what is due meanwhile.
  std::function<void(int)> progress_position_hook;
  // Called with every job progress value after it is recorded.
  std::function<void(int)> job_progress_hook;
  // Called with every stop question before it is answered, as while the dialog is up.
  std::function<void()> stop_question_hook;

  MessageAnswer ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) override;
  void SetStatusText(int pane, const QString& text) override;
  void SetJobProgress(int percent) override;
  std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString& caption) override;
  std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& initial) override;
  std::optional<QString> ChooseFolder(const QString& caption, const QString& start) override;
  StopAnswer AskStop(const QString& question) override;
  OverwriteReply AskOverwrite(const QString& message, const QString& proposedPath) override;
  CompletionReply ShowCompleted(const QString& heading, const QString& summary, int failedCount,
                                bool allowOpenFolder) override;
  void PumpEvents() override {
    ++pumps;
    if (wait_depth > 0) ++pumps_while_waiting;
  }
  void BeginWait() override { ++wait_depth; }
  void EndWait() override { --wait_depth; }
  bool OpenWithDesktop(const QString& path) override {
    opened_paths << path;
    return opener_available;
  }

  QStringList MessageTexts() const;

  // Held while a call records or takes an answer; a copy or an assignment of the seam (a test
  // starting over with a fresh one) leaves each its own.
  struct RecordMutex : std::mutex {
    RecordMutex() = default;
    RecordMutex(const RecordMutex&) : std::mutex() {}
    RecordMutex& operator=(const RecordMutex&) { return *this; }
  };
  RecordMutex record_mutex;
};

}  // namespace corvane::test
