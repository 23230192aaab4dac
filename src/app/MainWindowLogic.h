#pragma once
#include <QRect>
#include <QString>
#include <array>
#include <optional>

namespace corvane {

class IUserInterface;
class SettingsStore;

// The main window's pages, numbered as the "InitialPanel" setting stores them. A stored number
// may be none of these; it then travels as it is and shows no page.
enum class Page : int { None = 0, Convert = 1, Ripper = 2, About = 3 };

// What the main window's logic asks of the window itself.
class IPageHost {
 public:
  virtual ~IPageHost() = default;
  // Shows exactly that page (hiding the other two), or hides nothing and shows nothing when
  // `page` is not one of the three.
  virtual void ShowPage(Page page) = 0;
  // Checks the page button of the page shown; states are 0 or 1 per button.
  virtual void SetButtonStates(const std::array<int, 3>& states) = 0;
};

// Page choice, page switching and cycling, placement and the close rule of the main window,
// without the window: the window binds its buttons and keys to this.
class MainWindowLogic {
 public:
  MainWindowLogic(IPageHost& host, SettingsStore& settings) : host_(host), settings_(settings) {}

  // The first page: the converter when a launch source was given, otherwise the remembered page
  // (the ripper on a first start, which is then remembered). Sets the cycle position and the
  // pending switch, and switches to it.
  Page ChooseFirstPage(const QString& launchSource);
  // Shows the page and remembers it. An unknown page shows nothing and remembers the ripper.
  void SwitchPage(Page page);
  // F9: from the cycle position to the next page, converter -> ripper -> about -> converter.
  void CyclePage();
  // The first paint shows the first page once more.
  void OnPaint();

  Page CyclePosition() const { return cycle_position_; }
  bool SwitchPending() const { return pending_switch_; }

  // The placement saved at the last close, when all four values are there.
  std::optional<QRect> StoredPlacement() const;
  void SavePlacement(const QRect& frame);
  // Saves the placement, then refuses (text::kCannotExitWhileRunning) while a page runs a job. True: may close.
  bool RequestClose(const QRect& frame, bool converterRunning, bool ripperRunning, IUserInterface& ui);

 private:
  IPageHost& host_;
  SettingsStore& settings_;
  Page cycle_position_ = Page::Convert;
  bool pending_switch_ = false;
  std::array<int, 3> button_states_{};
};

}  // namespace corvane
