#pragma once

// Numbers of the conversion run's texts in the string table (common/strings/converter.inc).
namespace corvane::text {
inline constexpr int kCoreComponentsFailed = 106;
inline constexpr int kStopConversionQuestion = 238;
inline constexpr int kNothingToConvert = 23400;
inline constexpr int kChooseOutputFolder = 23401;
inline constexpr int kFilesFailed = 23402;
inline constexpr int kOneFileFailed = 23052;
inline constexpr int kStatusWaiting = 23403;
inline constexpr int kStatusConverting = 23404;
inline constexpr int kStatusCompleted = 23405;
inline constexpr int kStatusFailed = 23406;
inline constexpr int kStatusCancelled = 23407;
inline constexpr int kStatusSkipped = 23408;
inline constexpr int kStatusIdle = 23409;
inline constexpr int kFileRowLine = 23410;
inline constexpr int kConvertingInProgress = 23411;
inline constexpr int kFolderIsOutputFolder = 23412;
inline constexpr int kCannotCreateFolder = 23415;
inline constexpr int kFolderFileLine = 23416;
inline constexpr int kAlreadyExists = 23417;
inline constexpr int kPreparingNormalization = 23418;
inline constexpr int kUnableToLoad = 23419;
inline constexpr int kUnableToCreate = 23420;
inline constexpr int kSummarySameFolder = 23421;
inline constexpr int kSummaryToFolder = 23422;
inline constexpr int kFailedListHeading = 23423;
inline constexpr int kStartConvert = 23424;
inline constexpr int kStopConvert = 23425;
inline constexpr int kStartConvertTooltip = 23426;
inline constexpr int kOutputIsASource = 23427;
inline constexpr int kUnableToReplace = 23428;
inline constexpr int kSourceMissing = 23471;
inline constexpr int kNameNotUtf8 = 23472;
}  // namespace corvane::text

namespace corvane::text {
inline constexpr int kSameFolderBox = 23430;
inline constexpr int kOutputFolderLabel = 23431;
inline constexpr int kOutputFolderTooltip = 23432;
inline constexpr int kListGroup = 23433;
inline constexpr int kStatusLabel = 23434;
inline constexpr int kAudioInformation = 23435;
inline constexpr int kQualityGroup = 23436;
}  // namespace corvane::text

namespace corvane::text {
inline constexpr int kAddFilesButton = 23437;
inline constexpr int kAddFolderButton = 23438;
inline constexpr int kRemoveButton = 23439;
inline constexpr int kRemoveAllButton = 23440;
}  // namespace corvane::text
