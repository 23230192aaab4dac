#pragma once

// Numbers of the converter's texts in the string table (common/strings/converter.inc).
namespace corvane::text {
inline constexpr int kStopCaption = 23001;
inline constexpr int kStopYes = 23002;
inline constexpr int kStopNo = 23003;
inline constexpr int kStopAll = 23004;
inline constexpr int kOverwriteCaption = 23010;
inline constexpr int kOverwriteButton = 23011;
inline constexpr int kSkipButton = 23012;
inline constexpr int kOverwriteAllButton = 23013;
inline constexpr int kSaveToOtherName = 23014;
inline constexpr int kDontAskOverwrite = 23015;
inline constexpr int kBrowseButton = 23016;
inline constexpr int kOtherNameChooserTitle = 23017;
inline constexpr int kExtensionFilter = 23018;
inline constexpr int kAllFilesFilter = 23019;
inline constexpr int kCompletedCaption = 23020;
inline constexpr int kCompletedHeading = 23021;
inline constexpr int kOkButton = 23022;
inline constexpr int kOpenFolderButton = 23023;
inline constexpr int kDontShowAgain = 23024;
}  // namespace corvane::text
