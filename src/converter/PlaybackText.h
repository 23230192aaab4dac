#pragma once

// Numbers of the source playback texts in the string table (common/strings/converter.inc).
namespace corvane::text {
inline constexpr int kPlayButton = 23300;        // "Play"
inline constexpr int kStopButton = 23301;        // "Stop"
inline constexpr int kOpenButton = 23302;        // "Open"
inline constexpr int kOpenFolderTip = 23303;     // "Open folder"
inline constexpr int kPlayTip = 23304;           // "(F2) Play source audio file"
inline constexpr int kPositionOfLength = 23306;  // "%s / %s"
inline constexpr int kPlayTime = 23307;          // "%d:%02d:%02d" hours, minutes, seconds
}  // namespace corvane::text
