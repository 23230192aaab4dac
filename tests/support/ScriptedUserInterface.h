#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "common/UserInterface.h"

namespace corvane::test {

// The user-interface seam for tests: records every message, status text and progress value, and
// answers questions from scripted queues (Ok, or nullopt, when a queue is empty).
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

  std::deque<MessageAnswer> answers;                 // for ShowMessage
  std::deque<std::optional<QString>> text_answers;   // for AskText
  std::deque<std::optional<QString>> folder_answers; // for ChooseFolder
  int cancel_progress_after = -1;                    // progress windows report cancel after N updates

  MessageAnswer ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) override;
  void SetStatusText(int pane, const QString& text) override;
  void SetJobProgress(int percent) override;
  std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString& caption) override;
  std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& initial) override;
  std::optional<QString> ChooseFolder(const QString& caption, const QString& start) override;
  void PumpEvents() override { ++pumps; }
  void OpenWithDesktop(const QString& path) override { opened_paths << path; }

  QStringList MessageTexts() const;
};

}  // namespace corvane::test
