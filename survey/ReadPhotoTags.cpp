#include "survey/ReadPhotoTags.h"

#include <algorithm>
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
// photos without a lens among them, pay no read for it. Every photo asks, so the walk has kept where the two
// entries are, and texts written alike answer before any date is parsed.
bool SavedAfterTaken(const TImageInfo& info) {
  if (info.DateTimeIndex < 0) return false;
  const std::string& saved = info.Tags[static_cast<size_t>(info.DateTimeIndex)].Text;
  const std::string* taken =
      info.DateTimeOriginalIndex < 0 ? nullptr : &info.Tags[static_cast<size_t>(info.DateTimeOriginalIndex)].Text;
  if (taken != nullptr && saved == *taken) return false;
  const int64_t saved_at = ParseCaptureTime(saved);
  return saved_at != kNoCaptureTime && (taken == nullptr || saved_at != ParseCaptureTime(*taken));
}

void TakeXmpLens(std::string_view packet, PhotoTags& tags) {
  // Every property read has "Lens" in its name, at most 7 bytes in ("exifEX:"): a packet without it (most)
  // is passed over in one search, and the others are searched from there, with the byte before the name.
  const size_t lens = packet.find("Lens");
  if (lens == std::string_view::npos) return;
  packet.remove_prefix(lens - std::min<size_t>(lens, 8));
  tags.xmp_lens = XmpProperty(packet, "exifEX:LensModel");
  if (tags.xmp_lens.empty()) tags.xmp_lens = XmpProperty(packet, "aux:Lens");
  tags.xmp_lens_info = XmpProperty(packet, "aux:LensInfo");
}

// The survey's selective read by `data`, which `process` runs over the photo's bytes, into `tags`.
template <typename Process>
void SurveyRead(TimgData& data, const Process& process, PhotoTags& tags) {
  // The walk looks on past the Exif segment for the XMP packet only for a photo saved after it was taken
  // whose Exif describes no lens; the tags it looked at then are the photo's, and whatever packet it finds
  // is the one to name the lens by. One capture, so that the walk's callback is held without an allocation.
  struct Look {
    PhotoTags& tags;
    bool listed = false;
    bool looked = false;
  } look{tags};
  data.WantsXmp = [&look](const TimgData& read) {
    if (!read.ImageInfo || !SavedAfterTaken(*read.ImageInfo)) return false;
    // The walk is done with its list: the texts that are UTF-8 already are taken rather than copied.
    FillTagsOf(read, look.tags, &read.ImageInfo->Tags);
    look.listed = true;
    look.looked = !LensDescribedOutsideXmp(look.tags);
    return look.looked;
  };
  process();
  // The reader outlives this read; its callback must not keep `look`.
  data.WantsXmp = nullptr;
  if (!look.listed) FillTagsOf(data, tags, data.ImageInfo ? &data.ImageInfo->Tags : nullptr);
  if (look.looked) {
    if (!data.XmpPacket.empty()) TakeXmpLens(data.XmpPacket, tags);
  } else {
    // A packet before the Exif segment.
    AddXmpLens(data, tags);
  }
}

// The reading thread's reader, kept from photo to photo: its file buffer, Exif storage and tag list are
// reused rather than made and freed for every photo, and what it made is freed on its own thread.
TimgData& ThreadReader() {
  thread_local TimgData reader(SurveyTagSelection());
  return reader;
}

}  // namespace

PhotoTags ReadPhotoTags(const std::string& path) {
  PhotoTags tags;
  ReadPhotoTagsInto(path, tags);
  return tags;
}

void ReadPhotoTagsInto(const std::string& path, PhotoTags& tags) {
  tags.Clear();
  TimgData& data = ThreadReader();
  SurveyRead(
      data, [&] { data.ProcessFile(path); }, tags);
  tags.unread_reason = data.open_failure;
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
