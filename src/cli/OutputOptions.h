#pragma once
#include <QCommandLineParser>
#include <QString>

#include "formats/EncodeSettings.h"

namespace corvane {
class COutputQualityMgmt;
class SettingsStore;
}  // namespace corvane

namespace corvane::cli {

// The options that choose the output: a preset and the options that override it.
void AddOutputOptions(QCommandLineParser& parser);

// The settings of the preset named by --preset (default: `defaultPreset`, or when that is empty
// the converter's remembered "Output Quality"), changed by the overriding options. False with `error` set for an
// unknown preset or a value the catalogue does not offer.
bool OutputSettingsFrom(const QCommandLineParser& parser, const COutputQualityMgmt& presets,
                        const SettingsStore& stored, EncodeSettings& settings, QString& error,
                        const QString& defaultPreset = {});

}  // namespace corvane::cli
