#pragma once
#include "common/CdioHandle.h"
#include "discimage/DiscAccess.h"

namespace corvane {

// A disc read through libcdio: a machine's drive, or a disc image through libcdio's image drivers.
class CdioDiscAccess final : public IDiscAccess {
 public:
  // Reads the table of the disc in `cdio` at once.
  CdioDiscAccess(CdioHandle cdio, bool image);

  bool IsImage() const override { return image_; }
  const DiscTable& Table() const override { return table_; }
  bool ReadAudio(int lsn, int count, char* out) override;
  CdIo_t* Cdio() override { return cdio_.get(); }

 private:
  bool ReadOnce(int lsn, int count, char* out) const;

  CdioHandle cdio_;
  bool image_;
  DiscTable table_;
};

}  // namespace corvane
