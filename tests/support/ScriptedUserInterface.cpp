#include "support/ScriptedUserInterface.h"

namespace corvane::test {
namespace {

class RecordingProgressWindow final : public IProgressWindow {
 public:
  RecordingProgressWindow(ScriptedUserInterface& owner, int cancelAfter) : owner_(owner), cancel_after_(cancelAfter) {}
  void SetText(const QString& text) override {
    {
      const std::lock_guard lock(owner_.record_mutex);
      owner_.progress_texts << text;
    }
    ++updates_;
    if (owner_.progress_text_hook) owner_.progress_text_hook(text);
  }
  void SetRange(int, int) override {}
  void SetPosition(int position) override {
    if (owner_.progress_position_hook) owner_.progress_position_hook(position);
    ++updates_;
  }
  bool CancelRequested() const override { return cancel_after_ >= 0 && updates_ >= cancel_after_; }

 private:
  ScriptedUserInterface& owner_;
  int cancel_after_;
  int updates_ = 0;
};

template <typename T>
T Next(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = queue.front();
  queue.pop_front();
  return value;
}

}  // namespace

MessageAnswer ScriptedUserInterface::ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) {
  const std::lock_guard lock(record_mutex);
  messages.push_back({text, icon, buttons});
  return Next(answers, MessageAnswer::Ok);
}

void ScriptedUserInterface::SetStatusText(int pane, const QString& text) {
  const std::lock_guard lock(record_mutex);
  status_texts.emplace_back(pane, text);
}

void ScriptedUserInterface::SetJobProgress(int percent) {
  {
    const std::lock_guard lock(record_mutex);
    progress.push_back(percent);
  }
  if (job_progress_hook) job_progress_hook(percent);
}

std::unique_ptr<IProgressWindow> ScriptedUserInterface::OpenProgressWindow(const QString&) {
  return std::make_unique<RecordingProgressWindow>(*this, cancel_progress_after);
}

std::optional<QString> ScriptedUserInterface::AskText(const QString&, const QString&, const QString&) {
  const std::lock_guard lock(record_mutex);
  return Next(text_answers, std::optional<QString>());
}

std::optional<QString> ScriptedUserInterface::ChooseFolder(const QString& caption, const QString& start) {
  const std::lock_guard lock(record_mutex);
  folder_captions << caption;
  folder_starts << start;
  return Next(folder_answers, std::optional<QString>());
}

StopAnswer ScriptedUserInterface::AskStop(const QString& question) {
  {
    const std::lock_guard lock(record_mutex);
    stop_questions << question;
  }
  if (stop_question_hook) stop_question_hook();
  const std::lock_guard lock(record_mutex);
  return Next(stop_answers, StopAnswer::Continue);
}

OverwriteReply ScriptedUserInterface::AskOverwrite(const QString& message, const QString& proposedPath) {
  const std::lock_guard lock(record_mutex);
  overwrite_messages << message;
  overwrite_proposals << proposedPath;
  return Next(overwrite_replies, OverwriteReply{});
}

CompletionReply ScriptedUserInterface::ShowCompleted(const QString& heading, const QString& summary, int failedCount,
                                                     bool allowOpenFolder) {
  const std::lock_guard lock(record_mutex);
  completion_headings << heading;
  completion_summaries << summary;
  completion_failed_counts.push_back(failedCount);
  completion_folder_allowed.push_back(allowOpenFolder);
  return completion_reply;
}

QStringList ScriptedUserInterface::MessageTexts() const {
  QStringList texts;
  for (const Message& message : messages) texts << message.text;
  return texts;
}

}  // namespace corvane::test
