#pragma once
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

#include "ui/PageWidget.h"

namespace corvane {

class IUserInterface;
class SettingsStore;

// The "Settings / About" page: product and version, the settings menu, the help button and the
// two settings summaries.
class CAboutPage : public PageWidget {
  Q_OBJECT
 public:
  enum class SettingsDialog { Converter, Ripper, Freedb };
  // Opens one settings dialog modally; true when it ended with OK.
  using DialogOpener = std::function<bool(QWidget* parent)>;

  CAboutPage(IUserInterface& ui, const SettingsStore& settings, QWidget* parent = nullptr);

  // Enables the menu entry of that dialog; an entry without an opener stays disabled.
  void SetDialogOpener(SettingsDialog dialog, DialogOpener opener);
  void RebuildSummaries();
  // Opens the manual installed with the program at its first page (button and F1).
  void OpenHelp();
  // The folder the manual is looked for from; the program's own folder unless a test says.
  void SetProgramFolder(const QString& folder) { program_folder_ = folder; }

  QString ConverterSummary() const { return converter_summary_->toPlainText(); }
  QString RipperSummary() const { return ripper_summary_->toPlainText(); }
  QAction* MenuAction(SettingsDialog dialog) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void RunDialog(SettingsDialog dialog);

  IUserInterface& ui_;
  const SettingsStore& settings_;
  QString program_folder_;
  QPushButton* settings_button_ = nullptr;
  QPlainTextEdit* converter_summary_ = nullptr;
  QPlainTextEdit* ripper_summary_ = nullptr;
  QAction* actions_[3] = {};
  DialogOpener openers_[3];
};

}  // namespace corvane
