#pragma once
#include <QDialog>

#include "converter/LoadFolderChoice.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane {

class IUserInterface;
class SettingsStore;

// "Convert Entire Folder(s)": a folder, the type of audio files to take from it and whether to
// include sub-folders. "Add" and "Add as Files" refuse an empty folder, otherwise store the
// values and close with OK; Choice() then tells which button it was.
class CLoadFolder : public QDialog {
  Q_OBJECT
 public:
  CLoadFolder(IUserInterface& ui, SettingsStore& settings, QWidget* parent = nullptr);

  // The values as the controls show them now (as_files set once "Add as Files" accepted).
  LoadFolderChoice Choice() const;

  QLineEdit* FolderField() const { return folder_; }
  QComboBox* TypeBox() const { return type_; }
  QCheckBox* SubFoldersBox() const { return sub_folders_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* AddAsFilesButton() const { return add_as_files_; }
  QPushButton* BrowseButton() const { return browse_; }

 private:
  void Browse();
  void Finish(bool asFiles);

  IUserInterface& ui_;
  SettingsStore& settings_;
  QLineEdit* folder_ = nullptr;
  QComboBox* type_ = nullptr;
  QCheckBox* sub_folders_ = nullptr;
  QPushButton* browse_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* add_as_files_ = nullptr;
  bool as_files_ = false;
};

}  // namespace corvane
