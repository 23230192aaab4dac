#pragma once
#include <QString>

namespace corvane {

// What a drive tells about itself: its vendor, model and revision, each trimmed, joined by single
// spaces (those it leaves blank left out). Empty for a disc image, for a drive that cannot be
// opened and for one that does not answer. Settings kept per drive are keyed by it.
QString DriveIdentifier(const QString& devicePath);

}  // namespace corvane
