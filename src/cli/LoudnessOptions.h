#pragma once
#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>

#include "components/loudness/LoudnessMeter.h"
#include "encoding/LoudnessNormalization.h"
#include "encoding/ReplayGain.h"

namespace corvane {
class SettingsStore;
}

namespace corvane::cli {

// --replaygain off|track|album, for convert and rip.
void AddReplayGainOption(QCommandLineParser& parser);
// The mode --replaygain names, else `stored` (the page's remembered choice). False with `error`
// set for a word it does not know.
bool ReplayGainFrom(const QCommandLineParser& parser, int stored, ReplayGainMode& mode, QString& error);

// --normalize-loudness LUFS with --true-peak DBTP as a target (the ceiling `section` of
// `settings` holds when --true-peak is not given); none when not given. False with `error` set
// for a value out of range.
bool LoudnessTargetFrom(const QCommandLineParser& parser, const SettingsStore& settings, const char* section,
                        std::optional<LoudnessTarget>& target, QString& error);

// --normalize (peak) or --normalize-loudness with --true-peak, stored into the run's own
// `settings` (its session) for the converter; `normalize` tells whether either was given. False
// with `error` set for a value out of range or both given.
bool NormalizationFrom(const QCommandLineParser& parser, SettingsStore& settings, bool& normalize, QString& error);

// "loudness", "range", "gain" and "peak" of a measured file (null figures when not measured).
QJsonObject LoudnessJson(const Loudness& loudness);
// The same fields added to `object`.
void AddLoudnessFields(QJsonObject& object, const Loudness& loudness);
// "-14.20 LUFS  LRA 5.10 LU  gain -3.80 dB  peak 0.977237", or the silence word.
QString LoudnessLine(const Loudness& loudness);

}  // namespace corvane::cli
