#pragma once
#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>

#include "common/Result.h"
#include "formats/EncodeSettings.h"

namespace corvane {
class COutputQualityMgmt;
class SettingsStore;
}  // namespace corvane

namespace corvane::cli {

// Why the output options were refused (the result's text says it to the user).
enum class OptionsFailure { None = 0, Refused };

// The options that choose the output: a preset and the options that override it.
void AddOutputOptions(QCommandLineParser& parser);

// Everything `convert` takes: its description and arguments, the output options above, and the
// options of the run (input type, output folder, existing outputs, normalising, tags, jobs, JSON).
void AddConvertOptions(QCommandLineParser& parser);

// The settings of the preset named by --preset (default: `defaultPreset`, or when that is empty
// the converter's remembered "Output Quality"), changed by the overriding options. Refused for an
// unknown preset or a value the catalogue does not offer.
ValueResult<EncodeSettings, OptionsFailure> OutputSettingsFrom(const QCommandLineParser& parser,
                                                               const COutputQualityMgmt& presets,
                                                               const SettingsStore& stored,
                                                               const QString& defaultPreset = {});

// The checks a run makes before it starts (WMA quality and bitrate); false with `error` set for
// a combination the run refuses.
bool CheckBeforeRun(const EncodeSettings& settings, QString& error);

class Console;

// The end of a run: the summary line, or with `json` one object with the summary and the counts,
// the whole count under `countName` ("files", "tracks"), and the fields of `extra`.
void ReportRunEnd(Console& console, bool json, const QString& summary, const QString& countName, int count,
                  int succeeded, int failed, bool interrupted, const QJsonObject& extra = {});

// Loads the presets (their messages go to `console`), takes the output settings from the options
// and checks them before a run; false with `error` set when they cannot be used.
bool LoadOutputSettings(Console& console, const QCommandLineParser& parser, COutputQualityMgmt& presets,
                        const SettingsStore& stored, EncodeSettings& settings, QString& error);

}  // namespace corvane::cli
