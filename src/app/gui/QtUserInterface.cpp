#include "app/gui/QtUserInterface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

#include "common/StringTable.h"
#include "common/strings/ShellText.h"
#include "converter/gui/CConfirmOverwriteDlg.h"
#include "converter/gui/CCvrtCancelDlg.h"
#include "converter/gui/CCvrtCompleteDlg.h"
#include "ui/QtProgressWindow.h"

namespace corvane {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

MessageAnswer FromQtButton(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Retry:
      return MessageAnswer::Retry;
    default:
      return MessageAnswer::Cancel;
  }
}

// A question asked in the middle of a job is answered with the normal cursor; the wait cursor
// comes back when it closes.
class AskingCursor {
 public:
  AskingCursor() : pushed_(QGuiApplication::overrideCursor() != nullptr) {
    if (pushed_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~AskingCursor() {
    if (pushed_) QGuiApplication::restoreOverrideCursor();
  }
  AskingCursor(const AskingCursor&) = delete;
  AskingCursor& operator=(const AskingCursor&) = delete;

 private:
  bool pushed_;
};

}  // namespace

MessageAnswer QtUserInterface::ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons) {
  return ShowCaptionedMessage(StringTable::Text(text::kProductName), text, icon, buttons);
}

MessageAnswer QtUserInterface::ShowCaptionedMessage(const QString& caption, const QString& text, MessageIcon icon,
                                                    MessageButtons buttons) {
  const AskingCursor cursor;
  QMessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons), parent_);
  return FromQtButton(box.exec());
}

void QtUserInterface::SetStatusSink(StatusSink sink) {
  status_sink_ = std::move(sink);
  if (!status_sink_) return;
  for (int pane = 0; pane < 2; ++pane) {
    if (pending_status_[pane]) status_sink_(pane, *pending_status_[pane]);
    pending_status_[pane].reset();
  }
}

void QtUserInterface::SetStatusText(int pane, const QString& text) {
  if (status_sink_)
    status_sink_(pane, text);
  else if (pane >= 0 && pane < 2)
    pending_status_[pane] = text;
}

void QtUserInterface::SetJobProgress(int percent) {
  if (progress_sink_) progress_sink_(percent);
}

std::unique_ptr<IProgressWindow> QtUserInterface::OpenProgressWindow(const QString& caption) {
  return std::make_unique<QtProgressWindow>(parent_, caption);
}

std::optional<QString> QtUserInterface::AskText(const QString& caption, const QString& prompt, const QString& initial) {
  const AskingCursor cursor;
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return text;
}

std::optional<QString> QtUserInterface::ChooseFolder(const QString& caption, const QString& start) {
  const AskingCursor cursor;
  const QString folder = QFileDialog::getExistingDirectory(parent_, caption, start);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

StopAnswer QtUserInterface::AskStop(const QString& question) {
  const AskingCursor cursor;
  CCvrtCancelDlg dialog(question, parent_);
  dialog.exec();
  return dialog.Answer();
}

OverwriteReply QtUserInterface::AskOverwrite(const QString& message, const QString& proposedPath) {
  const AskingCursor cursor;
  CConfirmOverwriteDlg dialog(message, proposedPath, parent_);
  dialog.exec();
  return dialog.Reply();
}

CompletionReply QtUserInterface::ShowCompleted(const QString& heading, const QString& summary, int failedCount,
                                               bool allowOpenFolder) {
  const AskingCursor cursor;
  CCvrtCompleteDlg dialog(heading, summary, failedCount, allowOpenFolder, parent_);
  dialog.exec();
  return dialog.Reply();
}

void QtUserInterface::PumpEvents() { QApplication::processEvents(); }

void QtUserInterface::BeginWait() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

void QtUserInterface::EndWait() { QGuiApplication::restoreOverrideCursor(); }

bool QtUserInterface::OpenWithDesktop(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace corvane
