#pragma once
#include "common/UserInterface.h"

namespace corvane {

// A seam that hands every call on to another one it does not own, for logic that asks for a seam
// of its own per job while the front end has one for all; a subclass may take some calls itself.
class ForwardingUserInterface : public IUserInterface {
 public:
  explicit ForwardingUserInterface(IUserInterface& to) : to_(to) {}

  MessageAnswer ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) override {
    return to_.ShowMessage(text, icon, buttons);
  }
  MessageAnswer ShowCaptionedMessage(const QString& caption, const QString& text, MessageIcon icon,
                                     MessageButtons buttons) override {
    return to_.ShowCaptionedMessage(caption, text, icon, buttons);
  }
  void SetStatusText(int pane, const QString& text) override { to_.SetStatusText(pane, text); }
  void SetJobProgress(int percent) override { to_.SetJobProgress(percent); }
  std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString& caption) override {
    return to_.OpenProgressWindow(caption);
  }
  std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& initial) override {
    return to_.AskText(caption, prompt, initial);
  }
  std::optional<QString> ChooseFolder(const QString& caption, const QString& start) override {
    return to_.ChooseFolder(caption, start);
  }
  StopAnswer AskStop(const QString& question) override { return to_.AskStop(question); }
  OverwriteReply AskOverwrite(const QString& message, const QString& proposedPath) override {
    return to_.AskOverwrite(message, proposedPath);
  }
  CompletionReply ShowCompleted(const QString& heading, const QString& summary, int failedCount,
                                bool allowOpenFolder) override {
    return to_.ShowCompleted(heading, summary, failedCount, allowOpenFolder);
  }
  void PumpEvents() override { to_.PumpEvents(); }
  bool OpenWithDesktop(const QString& path) override { return to_.OpenWithDesktop(path); }
  void BeginWait() override { to_.BeginWait(); }
  void EndWait() override { to_.EndWait(); }

 private:
  IUserInterface& to_;
};

}  // namespace corvane
