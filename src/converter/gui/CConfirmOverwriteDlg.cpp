#include "converter/gui/CConfirmOverwriteDlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "ui/DialogSizing.h"

namespace corvane {

CConfirmOverwriteDlg::CConfirmOverwriteDlg(const QString& message, const QString& proposedPath, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(StringTable::Text(text::kOverwriteCaption));
  auto* layout = new QGridLayout(this);
  auto* label = new QLabel(message, this);
  label->setWordWrap(true);
  label->setObjectName(QStringLiteral("message"));
  layout->addWidget(label, 0, 0, 1, 2);
  other_name_box_ = new QCheckBox(StringTable::Text(text::kSaveToOtherName), this);
  layout->addWidget(other_name_box_, 1, 0, 1, 2);
  name_ = new QLineEdit(proposedPath, this);
  name_->setObjectName(QStringLiteral("otherName"));
  browse_ = new QPushButton(StringTable::Text(text::kBrowseButton), this);
  browse_->setEnabled(false);
  layout->addWidget(name_, 2, 0);
  layout->addWidget(browse_, 2, 1);
  dont_ask_ = new QCheckBox(StringTable::Text(text::kDontAskOverwrite), this);
  layout->addWidget(dont_ask_, 3, 0, 1, 2);

  auto* buttons = new QHBoxLayout;
  auto* overwrite = new QPushButton(StringTable::Text(text::kOverwriteButton), this);
  overwrite->setObjectName(QStringLiteral("overwrite"));
  auto* skip = new QPushButton(StringTable::Text(text::kSkipButton), this);
  skip->setObjectName(QStringLiteral("skip"));
  skip->setDefault(true);
  overwrite_all_ = new QPushButton(StringTable::Text(text::kOverwriteAllButton), this);
  overwrite_all_->setObjectName(QStringLiteral("overwriteAll"));
  buttons->addWidget(overwrite);
  buttons->addWidget(skip);
  buttons->addWidget(overwrite_all_);
  layout->addLayout(buttons, 4, 0, 1, 2);

  connect(overwrite, &QPushButton::clicked, this, [this] { Finish(OverwriteReply::Choice::Overwrite); });
  connect(skip, &QPushButton::clicked, this, &QDialog::reject);
  connect(overwrite_all_, &QPushButton::clicked, this, [this] { Finish(OverwriteReply::Choice::OverwriteAll); });
  connect(other_name_box_, &QCheckBox::toggled, this, &CConfirmOverwriteDlg::OnOtherNameToggled);
  connect(browse_, &QPushButton::clicked, this, &CConfirmOverwriteDlg::Browse);
  WidenForPath(*name_, 50, 100);
  SizeDialogToContent(*this, 60);
}

void CConfirmOverwriteDlg::OnOtherNameToggled(bool on) {
  overwrite_all_->setEnabled(!on);
  browse_->setEnabled(on);
  if (on) Browse();
}

void CConfirmOverwriteDlg::Browse() {
  const QString chosen = chooser_(this, name_->text());
  if (chosen.isEmpty()) return;
  name_->setText(chosen);
  name_->selectAll();
  name_->setFocus();
  Finish(OverwriteReply::Choice::Overwrite);
}

void CConfirmOverwriteDlg::Finish(OverwriteReply::Choice choice) {
  reply_.choice = choice;
  reply_.use_other_name = other_name_box_->isChecked();
  reply_.other_name = name_->text();
  reply_.dont_ask_again = dont_ask_->isChecked();
  accept();
}

QString CConfirmOverwriteDlg::ChooseWithDialog(QWidget* parent, const QString& current) {
  const QFileInfo info(current);
  const QString extension = info.suffix();
  QString filter = StringTable::Text(text::kAllFilesFilter);
  if (!extension.isEmpty()) {
    filter = StringTable::Format(text::kExtensionFilter, {extension, extension}) + QStringLiteral(";;") + filter;
  }
  QFileDialog dialog(parent, StringTable::Text(text::kOtherNameChooserTitle), info.absolutePath(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(extension);
  dialog.selectFile(info.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().front();
}

}  // namespace corvane
