#pragma once
#include <QString>
#include <functional>
#include <optional>

#include "components/CAudioPlayer2Events.h"

namespace corvane {

class IRipperView;
class IUserInterface;
class RipperComponents;

// Listening to a track of the disc: the grabber reads the track's sectors and the player plays
// the buffers it is fed. One play button that plays and stops, a slider 0..100 that shows and
// sets the position (a drag holds it still until it ends), a label "[# nn]  m:ss", and steps to
// the previous and next row.
class TrackPlayback : public IAudioPlayer2EventHandler {
 public:
  static constexpr int kSectorsPerBuffer = 26;

  // `busy` says the page is loading a disc; commands wait for it to end.
  TrackPlayback(IUserInterface& ui, IRipperView& view, RipperComponents& components, std::function<bool()> busy);

  // The play button and F2: stops while playing, else plays the first selected row from the
  // slider's position.
  void PlayButton();
  // Plays row `row` from `fraction` (0..1) of its length.
  void PlayRow(int row, double fraction);
  // Ends playback (does nothing when nothing plays).
  void Stop();
  // The user moved the slider to `position` (0..100); `endOfDrag` when the move is complete.
  void SliderMoved(int position, bool endOfDrag);
  // The list's selection changed (ignored while playing).
  void SelectionChanged();
  // A disc was loaded or the list emptied: row `row` becomes current, label and slider at 0.
  void ResetToRow(int row);
  void Previous();
  void Next();

  bool Playing() const { return playing_; }
  bool Dragging() const { return dragging_; }
  int CurrentRow() const { return current_row_; }
  qint64 StartOffset() const { return start_offset_; }

  // IAudioPlayer2EventHandler
  void OnFeedRequest() override;
  void OnPosition(qint64 frames) override;
  void OnPlaybackEnded() override;

 private:
  // nullopt when playback started; otherwise why not, in the words of the part that refused
  // (empty when it gave none).
  std::optional<QString> Start(int row, double fraction);
  bool Feed();
  bool Seek(double fraction);
  void ShowLabel(qint64 ms);
  void StepTo(int row);

  IUserInterface& ui_;
  IRipperView& view_;
  RipperComponents& components_;
  std::function<bool()> busy_;
  bool playing_ = false;
  bool dragging_ = false;
  bool end_written_ = false;
  bool track_open_ = false;
  bool player_started_ = false;
  int current_row_ = 0;
  qint64 current_length_ms_ = 0;
  qint64 start_offset_ = 0;
  qint64 total_frames_ = 0;
};

}  // namespace corvane
