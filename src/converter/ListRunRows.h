#pragma once
#include "converter/ConversionList.h"
#include "converter/ConversionRun.h"

namespace corvane {

// The conversion list as the rows of a run.
class ListRunRows final : public IRunRows {
 public:
  explicit ListRunRows(ConversionList& list) : list_(list) {}
  int Count() const override { return list_.Count(); }
  Row RowAt(int index) const override;
  void SetStatus(int index, const QString& status) override { list_.SetStatus(index, status); }
  void SetFileCount(int index, int count) override { list_.SetFolderFileCount(index, count); }
  void SelectOnly(int index) override;

 private:
  ConversionList& list_;
};

}  // namespace corvane
