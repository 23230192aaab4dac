#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "app/MainWindowLogic.h"

class QStatusBar;

namespace corvane {

class CAudioConverterApp;
class CAboutPage;
class CConvertPage;
class CRipperPage;
class PageWidget;
class QtUserInterface;

// The main window: three page buttons, the page area and a two-pane status bar. The application
// object that runs it is CAudioConverterApp (app/); the files are converted by ConversionComponent.
class CAudioConverterDlg : public QDialog, public IPageHost {
  Q_OBJECT
 public:
  CAudioConverterDlg(CAudioConverterApp& app, QtUserInterface& ui, QWidget* parent = nullptr);
  ~CAudioConverterDlg() override;

  void SwitchPage(Page page) { logic_.SwitchPage(page); }
  void CyclePage() { logic_.CyclePage(); }
  void SetStatusText(int pane, const QString& text);
  QString StatusText(int pane) const;

  CConvertPage* ConvertPage() const { return convert_page_; }
  CRipperPage* RipperPage() const { return ripper_page_; }
  CAboutPage* AboutPage() const { return about_page_; }
  QPushButton* PageButton(int page) const { return buttons_[page - 1]; }
  // The page currently shown, 0 when none is.
  Page VisiblePage() const;
  // What is saved at close and restored at the next start: the frame's position and the client
  // size.
  QRect Placement() const;

  // IPageHost
  void ShowPage(Page page) override;
  void SetButtonStates(const std::array<int, 3>& states) override;

 public slots:
  void ShowAboutDialog();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildLayout();
  void RestorePlacement();
  // Gives a settings/about page the settings dialogs that exist.
  void WireSettingsDialogs(CAboutPage& page, SettingsStore& settings);

  CAudioConverterApp& app_;
  QtUserInterface& ui_;
  MainWindowLogic logic_;
  std::array<QPushButton*, 3> buttons_{};
  CConvertPage* convert_page_ = nullptr;
  CRipperPage* ripper_page_ = nullptr;
  CAboutPage* about_page_ = nullptr;
  QStatusBar* status_bar_ = nullptr;
  std::array<QLabel*, 2> status_panes_{};
};

}  // namespace corvane
