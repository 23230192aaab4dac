#pragma once
#include "common/CdioHandle.h"
#include "discimage/DiscAccess.h"

namespace corvane {

// A machine's drive read through libcdio.
class CdioDiscAccess final : public IDiscAccess {
 public:
  // Reads the table of the disc in the drive at once.
  explicit CdioDiscAccess(CdioHandle cdio);

  bool IsImage() const override { return false; }
  const DiscTable& Table() const override { return table_; }
  bool ReadAudio(int lsn, int count, char* out) override;
  CdIo_t* Cdio() override { return cdio_.get(); }

 private:
  CdioHandle cdio_;
  DiscTable table_;
};

}  // namespace corvane
