#include "encoding/OutputTagging.h"

#include "formats/OutputFormatCatalogue.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Tag.h"
#include "tags/SourceFileServices.h"

namespace corvane {

void WriteTagsAfterEncoding(const QString& path, FormatCode format, const SourceTags& tags, bool id3v2) {
  switch (catalogue::TagsOf(format)) {
    case OutputTags::TagComponent:
      SourceFileServices::WriteFileTags(path, tags);
      return;
    case OutputTags::Id3: {
      Mp3TagSet set;
      set.tags = tags;
      if (id3v2) WriteId3v2Tag(path, set);
      WriteId3v1Tag(path, set);
      return;
    }
    case OutputTags::None:
      return;
  }
}

}  // namespace corvane
