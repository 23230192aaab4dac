#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

// The cells of one track-list row.
struct TrackRowTexts {
  QString number;
  QString title;
  QString length;
  QString status;
  QString type;
};

// What the ripper's logic shows and reads on its page: the device box, the track list, the
// disc's fields, the buttons it enables and the playback controls. The page implements it;
// tests record the calls.
class IRipperView {
 public:
  virtual ~IRipperView() = default;

  // Device box. Selecting an entry from here is not the user's change.
  virtual void SetDriveEntries(const QStringList& entries) = 0;
  virtual void SelectDriveEntry(int index) = 0;
  virtual int DriveEntryIndex() const = 0;
  // The device box and the track list together.
  virtual void SetDriveControlsEnabled(bool enabled) = 0;

  // Track list. New rows are checked as the list's header says.
  virtual void ClearRows() = 0;
  virtual void AddRow(const TrackRowTexts& row) = 0;
  virtual int RowCount() const = 0;
  virtual QString RowLength(int row) const = 0;
  // -1 when no row is selected.
  virtual int FirstSelectedRow() const = 0;
  // Focuses the list, selects and focuses `row` and scrolls it into view.
  virtual void FocusRow(int row) = 0;

  // The previous and next buttons; "&FreeDB".
  virtual void SetStepButtonsEnabled(bool enabled) = 0;
  virtual void SetFreedbEnabled(bool enabled) = 0;
  // Artist, album, year and the genre box's entry (0 the empty one).
  virtual void SetDiscFields(const QString& artist, const QString& album, const QString& year, int genreEntry) = 0;
  // The "FreeDB Settings" dialog, after a look-up found nothing or failed.
  virtual void OpenFreedbSettings() = 0;
  // The information popup with `text`; true when its "don't show again" box was left ticked.
  virtual bool ShowFreedbTips(const QString& text) = 0;

  // Playback: the play button's text, the position slider (0..100) and label.
  virtual void SetPlayButtonText(const QString& text) = 0;
  virtual void SetSliderValue(int value) = 0;
  virtual int SliderValue() const = 0;
  virtual void SetPositionText(const QString& text) = 0;

  // The rip run: the rows' check boxes, titles and status cells, and the label under the list.
  virtual bool RowChecked(int row) const = 0;
  virtual QString RowTitle(int row) const = 0;
  virtual void SetRowStatus(int row, const QString& status) = 0;
  // What the status of a ripped row rests on: its checksums and the database's verdict.
  virtual void SetRowStatusDetail(int row, const QString& detail) = 0;
  virtual void SetRipLabel(const QString& text) = 0;
  // The start / stop button: its text, tooltip and whether it can be pressed.
  virtual void SetRipButton(const QString& text, const QString& tooltip, bool enabled) = 0;
  // The controls a run must not let the user touch: load, look-up, device box, track list, play,
  // auto load, eject, insert and the disc's fields.
  virtual void SetRipControlsEnabled(bool enabled) = 0;
  virtual void SetOutputFolderField(const QString& folder) = 0;
};

}  // namespace corvane
