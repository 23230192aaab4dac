#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

class SettingsStore;

// The disc images the user opened, kept in "Disc Images" of "Rip Setting" one path a line.
namespace disc_images {

QStringList Read(const SettingsStore& settings);
// Adds `path` (made absolute) unless it is there; returns the path as stored.
QString Add(SettingsStore& settings, const QString& path);
// Removes `path`; false when it was not there.
bool Remove(SettingsStore& settings, const QString& path);
// The form a path is stored and compared in: absolute and clean.
QString Normalised(const QString& path);

}  // namespace disc_images
}  // namespace corvane
