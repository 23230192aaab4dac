#pragma once
#include <QString>

namespace corvane {

class IUserInterface;

// The named output-quality presets shared by the converter and the ripper.
// (Loading is filled in together with the preset file.)
class COutputQualityMgmt {
 public:
  // Loads the presets; an empty path means the configured preset file.
  bool Load(const QString& path, IUserInterface& ui);
};

}  // namespace corvane
