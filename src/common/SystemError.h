#pragma once
#include <QString>
#include <system_error>

namespace corvane {

// An errno value in the system's words ("No space left on device"); safe on any thread.
inline QString SystemErrorText(int error) {
  return QString::fromStdString(std::error_code(error, std::generic_category()).message());
}

}  // namespace corvane
