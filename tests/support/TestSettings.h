#pragma once
#include <QTemporaryDir>

namespace corvane::test {

// Points the settings store at an empty folder for the life of the object, so a test starts
// from a fresh profile and never sees the user's settings.
class TestSettings {
 public:
  TestSettings();
  ~TestSettings();
  TestSettings(const TestSettings&) = delete;
  TestSettings& operator=(const TestSettings&) = delete;

  QString Folder() const { return dir_.path(); }
  // The settings file's whole text ("" when nothing was written yet).
  QString FileText() const;

 private:
  QTemporaryDir dir_;
};

}  // namespace corvane::test
