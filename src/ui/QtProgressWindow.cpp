#include "ui/QtProgressWindow.h"

#include <QCoreApplication>
#include <QPushButton>

#include "ui/DialogSizing.h"

namespace corvane {

QtProgressWindow::QtProgressWindow(QWidget* parent, const QString& caption)
    : dialog_(std::make_unique<QProgressDialog>(parent)) {
  dialog_->setWindowTitle(caption);
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

}  // namespace corvane
