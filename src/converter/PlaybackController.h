#pragma once
#include <QString>
#include <memory>

#include "converter/PlaybackView.h"
#include "engine/AudioPlayer.h"

namespace corvane {

class CAudioEngine;
class IUserInterface;

// Kind of the conversion-list row that playback is asked about.
enum class PlaybackRowKind { File, Folder };

// Listening to a source file before it is converted: one button that plays and stops (or opens
// a folder row's folder), a slider 0..32000 that shows and sets the position, and a text with
// position and length. Every start through the button begins at the start of the file, because
// stopping frees the stream; the slider then returns to where that playback started.
class PlaybackController {
 public:
  static constexpr int kSliderMax = 32000;
  static constexpr int kTimerIntervalMs = 100;

  // `engine` and `ui` must outlive the controller; `view` too.
  PlaybackController(const CAudioEngine& engine, IUserInterface& ui, IPlaybackView& view);
  ~PlaybackController();
  PlaybackController(const PlaybackController&) = delete;
  PlaybackController& operator=(const PlaybackController&) = delete;

  // The play button, F2 or a double-click on a row. A folder row opens the folder with the
  // desktop. A file row (`path` is the file's full path) stops playback when anything plays
  // (another file is loaded for the next press); otherwise it loads the file and plays it from
  // the beginning.
  void PlaySelected(PlaybackRowKind kind, const QString& path);
  // Stops while playing; otherwise starts the loaded stream at the slider's position (nothing
  // happens when no stream is loaded or that position is at or past the end).
  void Toggle();
  // A tick of the position timer: shows the position and stops at the end of the file.
  void OnTimer();
  // The user moved the slider to `value`. While playing, playback goes on from there; otherwise
  // only the position text changes.
  void Seek(int value);
  // The user is dragging the slider: the text follows; the position changes on release.
  void PreviewPosition(int value);
  // The list's selection changed (ignored while playing): sets the button, slider and text up
  // for a folder row or a file row. The text shows the row's own length (`rowLengthMs`), or the
  // position and length of the file last played when the row is that file.
  void UpdateSelection(PlaybackRowKind kind, const QString& path, qint64 rowLengthMs = 0);
  // No row is selected (ignored while playing): the text shows no position and no length.
  void ShowNoSelection();
  // A row with `path` is being removed: stops playback of that file and resets the slider.
  void StopIfLoaded(const QString& path);
  // Every row is being removed: stops playback and resets the slider.
  void StopAll();

  bool IsPlaying() const { return playing_; }
  const QString& LoadedPath() const { return loaded_path_; }
  qint64 LengthMs() const { return length_ms_; }
  int SavedPosition() const { return saved_position_; }
  // Milliseconds heard of the playing file; 0 when nothing plays.
  qint64 PlayerPositionMs() const;

  // "h:mm:ss / h:mm:ss".
  static QString PositionText(qint64 positionMs, qint64 lengthMs);

 private:
  bool Load();
  void Start();
  void Stop();
  void Fail(EngineError error);
  void SetSlider(int value);
  void ShowPosition(qint64 positionMs);
  int SliderFor(qint64 positionMs) const;
  qint64 TargetMs(int value) const;
  void SetPlayButton(bool playing);
  static QString SamePathKey(const QString& path);

  const CAudioEngine& engine_;
  IUserInterface& ui_;
  IPlaybackView& view_;
  QString loaded_path_;
  std::unique_ptr<AudioPlayer> player_;
  bool playing_ = false;
  qint64 length_ms_ = 0;
  int saved_position_ = 0;
  int slider_ = 0;
};

}  // namespace corvane
