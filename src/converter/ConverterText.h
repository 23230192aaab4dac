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
inline constexpr int kOneFailedCount = 23050;
inline constexpr int kFailedCount = 23051;
}  // namespace corvane::text

namespace corvane::text {
inline constexpr int kSettingsCaption = 23030;
inline constexpr int kSourceFolderHeading = 23031;
inline constexpr int kAlwaysThisFolder = 23032;
inline constexpr int kRememberLastFolder = 23033;
inline constexpr int kId3v2Heading = 23034;
inline constexpr int kId3v2Auto = 23035;
inline constexpr int kId3v2Always = 23036;
inline constexpr int kId3v2Never = 23037;
inline constexpr int kBeforeStartHeading = 23038;
inline constexpr int kOutputFolderConfirmationBox = 23039;
inline constexpr int kPromptOverwriteBox = 23040;
inline constexpr int kWhenCompletedHeading = 23041;
inline constexpr int kShowCompletedBox = 23042;
inline constexpr int kOpenOutputFolderBox = 23043;
inline constexpr int kDefaultFolderChooserTitle = 23044;
inline constexpr int kKeepTagsHeading = 23045;
}  // namespace corvane::text
