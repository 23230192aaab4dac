#include "ui/QtProgressWindow.h"

#include <QCoreApplication>
#include <QPushButton>

#include "common/StringTable.h"
#include "common/strings/ShellText.h"
#include "ui/DialogSizing.h"

namespace corvane {

QtProgressWindow::QtProgressWindow(QWidget* parent, const QString& caption)
    : dialog_(std::make_unique<QProgressDialog>(parent)) {
  // Without a caption of its own the window would carry the settings' application name.
  dialog_->setWindowTitle(caption.isEmpty() ? StringTable::Text(text::kProductName) : caption);
  dialog_->setWindowModality(Qt::WindowModal);
  dialog_->setMinimumDuration(0);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  SizeDialogToContent(*dialog_, 60);
  dialog_->show();
}

void QtProgressWindow::SetText(const QString& text) { dialog_->setLabelText(text); }

void QtProgressWindow::SetRange(int minimum, int maximum) { dialog_->setRange(minimum, maximum); }

void QtProgressWindow::SetPosition(int position) { dialog_->setValue(position); }

bool QtProgressWindow::CancelRequested() const { return dialog_->wasCanceled(); }

void QtProgressWindow::SetCancelEnabled(bool enabled) {
  if (auto* cancel = dialog_->findChild<QPushButton*>()) cancel->setEnabled(enabled);
}

void QtProgressWindow::SetCancelHandler(std::function<void()> cancelled) {
  // Queued: the handler may close this window, which must not go while it serves the click.
  QObject::connect(dialog_.get(), &QProgressDialog::canceled, dialog_.get(), std::move(cancelled),
                   Qt::QueuedConnection);
}

}  // namespace corvane
