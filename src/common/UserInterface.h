#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace corvane {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
// Numbered as the classic message-box answers, so stored or compared codes keep their meaning.
enum class MessageAnswer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Answer to the question asked when the user pressed Stop during a job.
enum class StopAnswer { Continue, StopThis, StopAll };

// The overwrite prompt's answer: overwrite (under `other_name` when `use_other_name`), skip this
// file, or overwrite this and every later file of the run.
struct OverwriteReply {
  enum class Choice { Overwrite, Skip, OverwriteAll };
  Choice choice = Choice::Skip;
  bool use_other_name = false;
  QString other_name;
  bool dont_ask_again = false;
};

// What the user did in the completion window of a run.
struct CompletionReply {
  bool open_folder = false;
  bool dont_show_again = false;
};

// A progress window of a long job (adding files, loading a disc): text, a bar and a Cancel button.
class IProgressWindow {
 public:
  virtual ~IProgressWindow() = default;
  virtual void SetText(const QString& text) = 0;
  virtual void SetRange(int minimum, int maximum) = 0;
  virtual void SetPosition(int position) = 0;
  // True once the user asked to cancel; stays true.
  virtual bool CancelRequested() const = 0;
  // A job that cannot stop half-way offers no Cancel; the button is there and enabled otherwise.
  virtual void SetCancelEnabled(bool /*enabled*/) {}
  // For a job that waits on events instead of asking CancelRequested: `cancelled` runs once the
  // Cancel click has been served, outside the window's own handling, so it may close the window.
  virtual void SetCancelHandler(std::function<void()> /*cancelled*/) {}
};

// The one seam through which the logic asks the user and reports to them. The windowed program
// shows real dialogs, corvane-cli prints and answers from its options, and tests answer from a
// script. Logic never includes a widget header; it talks to this interface only.
class IUserInterface {
 public:
  virtual ~IUserInterface() = default;

  // A message box with an icon and a set of buttons; returns the button chosen.
  virtual MessageAnswer ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) = 0;
  // The same under a caption of its own instead of the program's name. Front ends without captions
  // show the text alone.
  virtual MessageAnswer ShowCaptionedMessage(const QString& caption, const QString& text, MessageIcon icon,
                                             MessageButtons buttons) {
    (void)caption;
    return ShowMessage(text, icon, buttons);
  }
  // Replaces the text of one pane of the main window's status bar (0 left, 1 right).
  virtual void SetStatusText(int pane, const QString& text) = 0;
  // Position 0..100 of the running job's progress bar on its page.
  virtual void SetJobProgress(int percent) = 0;
  // Opens a progress window; it closes when the returned object is destroyed.
  virtual std::unique_ptr<IProgressWindow> OpenProgressWindow(const QString& caption) = 0;
  // Asks for a line of text (a name); nullopt when the user cancelled.
  virtual std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& initial) = 0;
  // Asks for a folder, starting in `start`; nullopt when the user cancelled.
  virtual std::optional<QString> ChooseFolder(const QString& caption, const QString& start) = 0;
  // "Stop Convert": asks whether to stop the current file, all files, or go on.
  virtual StopAnswer AskStop(const QString& question) = 0;
  // "Confirm Overwrite" for an output that exists, proposing `proposedPath` as the other name.
  virtual OverwriteReply AskOverwrite(const QString& message, const QString& proposedPath) = 0;
  // "Completed": `heading` over the run's summary, led by the number of files that failed when
  // there were any; "Open Folder" is offered only when `allowOpenFolder`.
  virtual CompletionReply ShowCompleted(const QString& heading, const QString& summary, int failedCount,
                                        bool allowOpenFolder) = 0;
  // Lets waiting user input (Stop and Cancel clicks) through during a long job.
  virtual void PumpEvents() = 0;
  // Opens a folder or a document with the desktop's default handler. False when no program
  // could be started for it (callers tell the user through OpenOnDesktop).
  virtual bool OpenWithDesktop(const QString& path) = 0;
  // The wait cursor over the program's windows while a long job works (adding files, encoding).
  // Calls nest: the cursor returns when every BeginWait has had its EndWait. Use WaitCursor.
  virtual void BeginWait() {}
  virtual void EndWait() {}
};

// Shows the wait cursor for its lifetime, so that every way out of a job, an error included,
// gives the normal cursor back.
class WaitCursor {
 public:
  explicit WaitCursor(IUserInterface& ui) : ui_(ui) { ui_.BeginWait(); }
  ~WaitCursor() { ui_.EndWait(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  IUserInterface& ui_;
};

}  // namespace corvane
