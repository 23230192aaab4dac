#pragma once
#include "common/strings/FormatText.h"  // kStatusOutput, shared with the encoders

// Numbers of the shell's texts in the string table (shell.inc): start-up, main window, about page.
namespace corvane::text {
inline constexpr int kAboutMenuItem = 101;
inline constexpr int kHelpTooltip = 113;
inline constexpr int kCoreModulesFailed = 115;
inline constexpr int kAboutProduct = 189;
inline constexpr int kStatusCompany = 226;
inline constexpr int kConvertTooltip = 227;
inline constexpr int kCannotExitWhileRunning = 246;
inline constexpr int kSettingsTooltip = 336;
inline constexpr int kConverterSummary = 341;
inline constexpr int kRipperSummary = 342;
inline constexpr int kGrabModeFast = 343;
inline constexpr int kGrabModePrecision = 344;
inline constexpr int kGrabModeVeryUsed = 345;
inline constexpr int kGrabModeUnreadable = 346;
inline constexpr int kErrorActionStop = 347;
inline constexpr int kErrorActionSilence = 348;
inline constexpr int kErrorActionDiscard = 349;
inline constexpr int kRipTooltip = 353;
inline constexpr int kPageConvert = 20001;
inline constexpr int kPageRipper = 20002;
inline constexpr int kPageAbout = 20003;
inline constexpr int kProductName = 20004;
inline constexpr int kProductVersion = 20005;
inline constexpr int kTitleFormat = 20006;
inline constexpr int kVersionLabel = 20007;
inline constexpr int kSettingsMenu = 20008;
inline constexpr int kConverterSettingsItem = 20009;
inline constexpr int kRipperSettingsItem = 20010;
inline constexpr int kFreedbSettingsItem = 20011;
inline constexpr int kConverterSummaryCaption = 20012;
inline constexpr int kRipperSummaryCaption = 20013;
inline constexpr int kLastOpenedFolder = 20014;
inline constexpr int kYes = 20015;
inline constexpr int kNo = 20016;
inline constexpr int kHelpMenu = 20017;
inline constexpr int kHelpButton = 20018;
inline constexpr int kRipperSummaryAfter = 20019;  // rip log, AccurateRip look-up
inline constexpr int kManualMissing = 20051;
}  // namespace corvane::text
