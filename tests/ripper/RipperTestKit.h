#pragma once
// What the ripper's logic tests share: a view that records what the logic shows, a wait on the
// event loop, and the disc ID of an image as cd-info's table of contents gives it.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

#include "ripper/RipperView.h"
#include "support/ToolRunner.h"

namespace corvane::test {

class RecordingRipperView final : public IRipperView {
 public:
  QStringList drive_entries;
  int drive_index = -1;
  bool drive_controls_enabled = false;
  std::vector<TrackRowTexts> rows;
  int selected_row = -1;
  bool step_buttons_enabled = false;
  bool freedb_enabled = false;
  QString artist, album, year;
  int genre_entry = -1;
  int tips_shown = 0;
  int freedb_settings_opened = 0;
  bool tick_dont_show = false;  // what the popup's box is left at
  QString play_text;
  int slider = 0;
  std::vector<int> slider_values;  // every value the logic set
  QStringList positions;           // every label text

  void SetDriveEntries(const QStringList& entries) override {
    drive_entries = entries;
    drive_index = entries.isEmpty() ? -1 : 0;
  }
  void SelectDriveEntry(int index) override { drive_index = index; }
  int DriveEntryIndex() const override { return drive_index; }
  void SetDriveControlsEnabled(bool enabled) override { drive_controls_enabled = enabled; }
  void ClearRows() override {
    rows.clear();
    selected_row = -1;
  }
  void AddRow(const TrackRowTexts& row) override { rows.push_back(row); }
  int RowCount() const override { return static_cast<int>(rows.size()); }
  QString RowLength(int row) const override { return row < RowCount() ? rows[row].length : QString(); }
  int FirstSelectedRow() const override { return selected_row; }
  void FocusRow(int row) override { selected_row = row; }
  void SetStepButtonsEnabled(bool enabled) override { step_buttons_enabled = enabled; }
  void SetFreedbEnabled(bool enabled) override { freedb_enabled = enabled; }
  void SetDiscFields(const QString& a, const QString& b, const QString& y, int genre) override {
    artist = a;
    album = b;
    year = y;
    genre_entry = genre;
  }
  void OpenFreedbSettings() override { ++freedb_settings_opened; }
  bool ShowFreedbTips(const QString&) override {
    ++tips_shown;
    return tick_dont_show;
  }
  void SetPlayButtonText(const QString& text) override { play_text = text; }
  void SetSliderValue(int value) override {
    slider = value;
    slider_values.push_back(value);
  }
  int SliderValue() const override { return slider; }
  void SetPositionText(const QString& text) override { positions << text; }

  std::vector<bool> checked;       // rows beyond it are checked
  QStringList labels;              // every text of the label under the list
  std::map<int, QString> details;  // the status detail of each row, by row
  QString rip_button, rip_tooltip;
  bool rip_button_enabled = true;
  bool rip_controls_enabled = true;
  QString output_folder_field;
  bool RowChecked(int row) const override { return row >= static_cast<int>(checked.size()) || checked[row]; }
  QString RowTitle(int row) const override { return row < RowCount() ? rows[row].title : QString(); }
  void SetRowStatus(int row, const QString& status) override {
    if (row < RowCount()) rows[row].status = status;
  }
  void SetRowStatusDetail(int row, const QString& detail) override {
    if (row < RowCount()) details[row] = detail;
  }
  void SetRipLabel(const QString& text) override { labels << text; }
  void SetRipButton(const QString& text, const QString& tooltip, bool enabled) override {
    rip_button = text;
    rip_tooltip = tooltip;
    rip_button_enabled = enabled;
  }
  void SetRipControlsEnabled(bool enabled) override { rip_controls_enabled = enabled; }
  void SetOutputFolderField(const QString& folder) override { output_folder_field = folder; }

  QStringList Column(QString TrackRowTexts::*cell) const {
    QStringList cells;
    for (const TrackRowTexts& row : rows) cells << row.*cell;
    return cells;
  }
};

// Runs the event loop until `done` holds or `timeoutMs` pass; whether it holds.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
  const QDeadlineTimer deadline(timeoutMs);
  QTimer wake;
  wake.start(10);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// The freedb disc ID of a .cue image, from the track offsets and lead-out cd-info lists.
inline quint32 DiscIdFromCdInfo(const QString& cue) {
  const QString report = QString::fromUtf8(
      ToolOutput(QStringLiteral("cd-info"), {QStringLiteral("--no-device-info"), QStringLiteral("--cue-file"), cue}));
  static const QRegularExpression kTrack(QStringLiteral("^\\s*(\\d+): \\d\\d:\\d\\d:\\d\\d\\s+(\\d+) "),
                                         QRegularExpression::MultilineOption);
  std::vector<int> offsets;  // frames with the 150-frame lead-in
  int leadout = -1;
  for (auto it = kTrack.globalMatch(report); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const int frames = match.captured(2).toInt() + 150;
    if (match.captured(1) == QLatin1String("170")) {
      leadout = frames;
    } else {
      offsets.push_back(frames);
    }
  }
  if (offsets.empty() || leadout < 0) throw ToolFailure("cd-info listed no tracks for " + cue.toStdString());
  int digits = 0;
  for (int offset : offsets) {
    for (int seconds = offset / 75; seconds > 0; seconds /= 10) digits += seconds % 10;
  }
  const quint32 length = static_cast<quint32>(leadout / 75 - offsets.front() / 75);
  return (static_cast<quint32>(digits % 255) << 24) | (length << 8) | static_cast<quint32>(offsets.size());
}

}  // namespace corvane::test
