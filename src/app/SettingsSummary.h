#pragma once
#include <QString>

namespace corvane {

// The two read-only summaries of the settings/about page, built from the stored values each
// time they are asked for.
QString BuildConverterSummary();
QString BuildRipperSummary();

}  // namespace corvane
