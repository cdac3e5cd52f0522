#include "survey/ReadPhotoTags.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string_view>

#include "metadata/ByteSource.h"
#include "metadata/ExifData.h"
#include "metadata/XmpPacket.h"
#include "survey/LensName.h"

namespace lumetra {
namespace {

// True when the Exif or the maker note describes the lens, so that the XMP packet is not needed: a photo
// with a lens pays nothing for its XMP. The window's rule may still find none (a LensModel of blanks).
bool LensDescribedOutsideXmp(const PhotoTags& tags) {
  return !tags.Text(PhotoTag::kLensModel).empty() || tags.makerLensText.find("f/") != std::string::npos ||
         !DescribedLensName(tags).empty();
}

void TakeXmpLens(std::string_view packet, PhotoTags& tags) {
  tags.xmp_lens = XmpProperty(packet, "exifEX:LensModel");
  if (tags.xmp_lens.empty()) tags.xmp_lens = XmpProperty(packet, "aux:Lens");
  tags.xmp_lens_info = XmpProperty(packet, "aux:LensInfo");
}

// Reads the XMP packet of `length` bytes at `offset` (bounded by what one APP1 holds and by the file's end)
// and takes its lens properties; a packet that cannot be read gives none.
void ReadXmpLens(const std::string& path, uint64_t offset, uint64_t length, PhotoTags& tags) {
  try {
    FileSource file(path);
    if (offset >= file.Size()) return;
    std::string packet(static_cast<size_t>(std::min<uint64_t>({length, kMostXmpBytes, file.Size() - offset})), '\0');
    packet.resize(file.ReadAt(offset, packet.data(), packet.size()));
    TakeXmpLens(packet, tags);
  } catch (const std::exception&) {
    // Changed or gone since the walk: the photo keeps what its Exif gave.
  }
}

}  // namespace

PhotoTags ReadPhotoTags(const std::string& path) {
  TimgData data(SurveyTagSelection());
  // The walk reads on to the XMP packet only for a photo whose Exif describes no lens; the tags it
  // looked at are the photo's.
  std::optional<PhotoTags> listed;
  data.WantsXmp = [&listed](const TimgData& read) {
    listed = TagsOf(read);
    return !LensDescribedOutsideXmp(*listed);
  };
  data.ProcessFile(path);
  PhotoTags tags = listed ? std::move(*listed) : TagsOf(data);
  tags.unread_reason = data.open_failure;
  if (!data.XmpPacket.empty()) {
    TakeXmpLens(data.XmpPacket, tags);
  } else {
    AddXmpLens(path, data, tags);  // a packet before the Exif segment, passed over then
  }
  return tags;
}

void AddXmpLens(const std::string& path, const TimgData& data, PhotoTags& tags) {
  if (tags.has_exif && data.XmpLength != 0 && !LensDescribedOutsideXmp(tags)) {
    ReadXmpLens(path, data.XmpOffset, data.XmpLength, tags);
  }
}

}  // namespace lumetra
