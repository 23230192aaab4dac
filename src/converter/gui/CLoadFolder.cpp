#include "converter/gui/CLoadFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "engine/InputTypes.h"
#include "ui/DialogSizing.h"

namespace corvane {

CLoadFolder::CLoadFolder(IUserInterface& ui, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), ui_(ui), settings_(settings) {
  setWindowTitle(StringTable::Text(text::kLoadFolderCaption));
  const LoadFolderChoice stored = LoadFolderChoice::Load(settings_);
  auto* layout = new QVBoxLayout(this);

  auto* folderLabel = new QLabel(StringTable::Text(text::kLoadFolderLabel), this);
  folder_ = new QLineEdit(stored.folder, this);
  folderLabel->setBuddy(folder_);
  browse_ = new QPushButton(StringTable::Text(text::kLoadFolderBrowse), this);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse_);
  layout->addWidget(folderLabel);
  layout->addLayout(folderRow);

  auto* typeLabel = new QLabel(StringTable::Text(text::kLoadFolderTypeLabel), this);
  type_ = new QComboBox(this);
  type_->addItems(InputTypes::ListTexts());
  // A stored type the list does not have shows as the first entry, which means every type.
  type_->setCurrentIndex(stored.type_row >= 0 && stored.type_row < InputTypes::kRowCount ? stored.type_row : 0);
  typeLabel->setBuddy(type_);
  layout->addWidget(typeLabel);
  layout->addWidget(type_);

  sub_folders_ = new QCheckBox(StringTable::Text(text::kLoadFolderSubFolders), this);
  sub_folders_->setChecked(stored.sub_folders);
  layout->addWidget(sub_folders_);

  auto* tip = new QLabel(StringTable::Text(text::kLoadFolderTip), this);
  tip->setWordWrap(true);
  layout->addWidget(tip);

  add_ = new QPushButton(StringTable::Text(text::kLoadFolderAdd), this);
  add_->setDefault(true);
  auto* cancel = new QPushButton(StringTable::Text(text::kLoadFolderCancel), this);
  add_as_files_ = new QPushButton(StringTable::Text(text::kLoadFolderAddAsFiles), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(add_);
  buttons->addWidget(cancel);
  buttons->addWidget(add_as_files_);
  layout->addLayout(buttons);

  connect(browse_, &QPushButton::clicked, this, &CLoadFolder::Browse);
  connect(add_, &QPushButton::clicked, this, [this] { Finish(false); });
  connect(add_as_files_, &QPushButton::clicked, this, [this] { Finish(true); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  WidenForPath(*folder_, 50, 90);
  SizeDialogToContent(*this, 60);
}

LoadFolderChoice CLoadFolder::Choice() const {
  LoadFolderChoice choice;
  choice.folder = folder_->text().trimmed();
  choice.type_row = type_->currentIndex();
  choice.sub_folders = sub_folders_->isChecked();
  choice.as_files = as_files_;
  return choice;
}

void CLoadFolder::Browse() {
  const std::optional<QString> chosen =
      ui_.ChooseFolder(StringTable::Text(text::kLoadFolderChooserTitle), folder_->text());
  if (!chosen || chosen->isEmpty()) return;
  folder_->setText(*chosen);
  LoadFolderChoice::StoreChosenFolder(settings_, *chosen);
}

void CLoadFolder::Finish(bool asFiles) {
  LoadFolderChoice choice = Choice();
  choice.as_files = asFiles;
  if (!choice.Accept(ui_, settings_)) return;
  as_files_ = asFiles;
  accept();
}

}  // namespace corvane
