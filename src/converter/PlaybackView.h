#pragma once
#include <QString>

namespace corvane {

// Picture on the play button.
enum class PlaybackIcon { Play, Stop, Folder };

// What the playback controller shows: the play button, the position slider (0..32000), the
// position text and the 100 ms position timer. The page's playback bar implements it; tests
// record the calls.
class IPlaybackView {
 public:
  virtual ~IPlaybackView() = default;
  virtual void SetButtonText(const QString& text) = 0;
  virtual void SetButtonToolTip(const QString& text) = 0;
  virtual void SetButtonIcon(PlaybackIcon icon) = 0;
  // Moves the slider without it counting as the user's move.
  virtual void SetSliderValue(int value) = 0;
  virtual void SetSliderVisible(bool visible) = 0;
  virtual void SetPositionText(const QString& text) = 0;
  // Starts the position timer; the view calls PlaybackController::OnTimer at each tick.
  virtual void StartTimer(int intervalMs) = 0;
  virtual void StopTimer() = 0;
};

}  // namespace corvane
