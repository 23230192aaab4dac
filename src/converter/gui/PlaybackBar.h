#pragma once
#include <QWidget>
#include <memory>

#include "converter/PlaybackController.h"

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace corvane {

// The converter page's playback controls in a row: the Play/Stop button ("playButton"), the
// position slider ("playSlider", 0..32000) and the position text ("playPosition"), with the
// 100 ms position timer, bound to a PlaybackController. The bar does not know the list: a click
// on the button emits playRequested, and the page answers with Controller().PlaySelected for the
// selected row (as it does for F2 and a double-click).
class PlaybackBar : public QWidget, private IPlaybackView {
  Q_OBJECT
 public:
  PlaybackBar(const CAudioEngine& engine, IUserInterface& ui, QWidget* parent = nullptr);
  ~PlaybackBar() override;

  PlaybackController& Controller() { return *controller_; }
  QPushButton* Button() const { return button_; }
  QSlider* Slider() const { return slider_; }
  QLabel* PositionLabel() const { return position_; }
  bool TimerActive() const;

 signals:
  void playRequested();

 private:
  void SetButtonText(const QString& text) override;
  void SetButtonToolTip(const QString& text) override;
  void SetButtonIcon(PlaybackIcon icon) override;
  void SetSliderValue(int value) override;
  void SetSliderVisible(bool visible) override;
  void SetPositionText(const QString& text) override;
  void StartTimer(int intervalMs) override;
  void StopTimer() override;

  QPushButton* button_;
  QSlider* slider_;
  QLabel* position_;
  QTimer* timer_;
  std::unique_ptr<PlaybackController> controller_;
};

}  // namespace corvane
