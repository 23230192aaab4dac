#pragma once
#include <QString>

namespace corvane {

// The platform's folder separator as used in paths we build.
QChar PathSeparator();

// The name alone when the folder is empty; folder + name when the folder already ends with a
// separator (a root such as "/"); otherwise folder, separator and name.
QString JoinPath(const QString& folder, const QString& name);

}  // namespace corvane
