#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "common/UserInterface.h"

namespace corvane {

// The user-interface seam of the windowed program: real message boxes and dialogs, the main
// window's status bar and the running page's progress bar.
class QtUserInterface final : public IUserInterface {
 public:
  using StatusSink = std::function<void(int pane, const QString& text)>;
  using ProgressSink = std::function<void(int percent)>;

  void SetParentWindow(QWidget* parent) { parent_ = parent; }
  // Texts set while no sink is connected (the pages report while the window is being built) are
  // handed to the sink when it connects.
  void SetStatusSink(StatusSink sink);
  void SetProgressSink(ProgressSink sink) { progress_sink_ = std::move(sink); }

  MessageAnswer ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) override;
  MessageAnswer ShowCaptionedMessage(const QString& caption, const QString& text, MessageIcon icon,
                                     MessageButtons buttons) override;
  void SetStatusText(int pane, const QString& text) override;
  void SetJobProgress(int percent) override;
  std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString& caption) override;
  std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& initial) override;
  std::optional<QString> ChooseFolder(const QString& caption, const QString& start) override;
  StopAnswer AskStop(const QString& question) override;
  OverwriteReply AskOverwrite(const QString& message, const QString& proposedPath) override;
  CompletionReply ShowCompleted(const QString& heading, const QString& summary, int failedCount,
                                bool allowOpenFolder) override;
  void PumpEvents() override;
  bool OpenWithDesktop(const QString& path) override;
  void BeginWait() override;
  void EndWait() override;

 private:
  QPointer<QWidget> parent_;
  StatusSink status_sink_;
  std::optional<QString> pending_status_[2];
  ProgressSink progress_sink_;
};

}  // namespace corvane
