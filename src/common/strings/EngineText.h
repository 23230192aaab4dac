#pragma once

// Numbers of the engine's texts in the string table (engine.inc).
namespace corvane::text {
inline constexpr int kLoadFailed = 116;            // "Failed to load the file '%s' (error code: %d)"
inline constexpr int kLoadProtected = 124;         // encrypted and protected file
inline constexpr int kMediaRuntimeMissing = 248;   // the media modules are not installed
inline constexpr int kDownloadLink = 251;          // "Click here to download now!"
inline constexpr int kInputTypeListFirst = 22000;  // 22000..22027: list texts of the input type rows
inline constexpr int kDownloadCaption = 22028;     // "Download Now"
inline constexpr int kWmaSupportTitle = 22029;     // "WMA format support"

}  // namespace corvane::text
