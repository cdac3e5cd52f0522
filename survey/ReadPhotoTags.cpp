#include "survey/ReadPhotoTags.h"

#include <string_view>

#include "metadata/ExifData.h"
#include "metadata/ImageInfo.h"
#include "metadata/TagEntry.h"
#include "metadata/XmpPacket.h"
#include "survey/CaptureTime.h"
#include "survey/LensName.h"

namespace lumetra {
namespace {

// True when the Exif or the maker note describes the lens, so that the XMP packet is not needed: a photo
// with a lens pays nothing for its XMP. The window's rule may still find none (a LensModel of blanks).
bool LensDescribedOutsideXmp(const PhotoTags& tags) {
  return !tags.Text(PhotoTag::kLensModel).empty() || tags.makerLensText.find("f/") != std::string::npos ||
         !DescribedLensName(tags).empty();
}

// True when the photo was saved again after it was taken: its DateTime, the time the file was last written,
// is a real moment other than its DateTimeOriginal. A camera writes the two alike; a program that writes an
// XMP packet naming a lens the Exif does not (an editor, a catalogue) saves the photo and sets DateTime as
// it does. Only such a photo is looked at past its Exif segment for the packet, so that the others, most
// photos without a lens among them, pay no read for it.
bool SavedAfterTaken(const TImageInfo& info) {
  constexpr uint16_t kTagDateTime = 0x0132;
  constexpr uint16_t kTagDateTimeOriginal = 0x9003;
  const std::string* saved = nullptr;
  const std::string* taken = nullptr;
  // The Exif entries by number, the first of each counting as a lookup by name finds it.
  for (const TTagEntry& entry : info.Tags) {
    if (entry.Origin != 0) continue;
    if (entry.Tag == kTagDateTime && saved == nullptr) saved = &entry.Text;
    if (entry.Tag == kTagDateTimeOriginal && taken == nullptr) taken = &entry.Text;
    if (saved != nullptr && taken != nullptr) break;
  }
  if (saved == nullptr || (taken != nullptr && *saved == *taken)) return false;
  const int64_t saved_at = ParseCaptureTime(*saved);
  return saved_at != kNoCaptureTime && (taken == nullptr || saved_at != ParseCaptureTime(*taken));
}

void TakeXmpLens(std::string_view packet, PhotoTags& tags) {
  // Every property read has "Lens" in its name: a packet without it (most) is passed over in one search.
  if (packet.find("Lens") == std::string_view::npos) return;
  tags.xmp_lens = XmpProperty(packet, "exifEX:LensModel");
  if (tags.xmp_lens.empty()) tags.xmp_lens = XmpProperty(packet, "aux:Lens");
  tags.xmp_lens_info = XmpProperty(packet, "aux:LensInfo");
}

// The survey's selective read by `data`, which `process` runs over the photo's bytes, into `tags`.
template <typename Process>
void SurveyRead(TimgData& data, const Process& process, PhotoTags& tags) {
  // The walk looks on past the Exif segment for the XMP packet only for a photo saved after it was taken
  // whose Exif describes no lens; the tags it looked at then are the photo's.
  bool listed = false;
  data.WantsXmp = [&listed, &tags](const TimgData& read) {
    if (!read.ImageInfo || !SavedAfterTaken(*read.ImageInfo)) return false;
    FillTagsOf(read, tags);
    listed = true;
    return !LensDescribedOutsideXmp(tags);
  };
  process();
  if (!listed) FillTagsOf(data, tags, data.ImageInfo ? &data.ImageInfo->Tags : nullptr);
  // A packet before the Exif segment, or one the walk looked on for.
  AddXmpLens(data, tags);
}

// The reading thread's reader, kept from photo to photo: its file buffer, Exif storage and tag list are
// reused rather than made and freed for every photo, and what it made is freed on its own thread.
TimgData& ThreadReader() {
  thread_local TimgData reader(SurveyTagSelection());
  return reader;
}

}  // namespace

PhotoTags ReadPhotoTags(const std::string& path) {
  TimgData& data = ThreadReader();
  PhotoTags tags;
  SurveyRead(
      data, [&] { data.ProcessFile(path); }, tags);
  tags.unread_reason = data.open_failure;
  return tags;
}

PhotoTags ReadPhotoTagsOfBytes(std::string_view bytes, std::string_view extension) {
  TimgData& data = ThreadReader();
  PhotoTags tags;
  SurveyRead(
      data, [&] { data.ProcessBytes(bytes, extension); }, tags);
  return tags;
}

void AddXmpLens(const TimgData& data, PhotoTags& tags) {
  if (!tags.has_exif || data.XmpPacket.empty()) return;
  // A packet after the Exif segment counts where the selective read looks for it, so that the full
  // listing and the survey agree.
  if (data.XmpAfterExif && (!data.ImageInfo || !SavedAfterTaken(*data.ImageInfo))) return;
  if (!LensDescribedOutsideXmp(tags)) TakeXmpLens(data.XmpPacket, tags);
}

}  // namespace lumetra
