#include "metadata/ImageInfo.h"

#include <array>
#include <bit>
#include <cmath>

#include "metadata/DirectoryEntry.h"
#include "metadata/ReaderError.h"
#include "metadata/TagTables.h"
#include "metadata/TiffTypes.h"
#include "metadata/ValueRendering.h"

namespace lumetra {
namespace {

// Directory pointers are followed at most this deep below IFD0, and at most this many directories are
// walked per file: enough for any camera, and a crafted file cannot make the walk deep or long.
constexpr int kMaxDirectoryDepth = 8;
constexpr size_t kMaxDirectories = 64;

constexpr uint16_t kTagMake = 0x010F;
constexpr uint16_t kTagModel = 0x0110;
constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagSubIfds = 0x014A;
constexpr uint16_t kTagExifOffset = 0x8769;
constexpr uint16_t kTagGpsInfo = 0x8825;
constexpr uint16_t kTagExifVersion = 0x9000;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagMakerNote = 0x927C;
constexpr uint16_t kTagUserComment = 0x9286;
constexpr uint16_t kTagInteroperabilityOffset = 0xA005;
constexpr uint16_t kTagFocalLength35 = 0xA405;

// The diagonal of a 36 × 24 mm frame, and that frame's area.
constexpr double kFullFrameDiagonal = 43.26661531;
constexpr double kFullFrameArea = 864;

// A user comment's text: the bytes after its 8-byte character-code prefix, without the blanks and
// control characters around them.
std::string_view UserCommentText(std::string_view raw) {
  raw.remove_prefix(std::min<size_t>(8, raw.size()));
  while (!raw.empty() && static_cast<uint8_t>(raw.front()) <= ' ') raw.remove_prefix(1);
  while (!raw.empty() && static_cast<uint8_t>(raw.back()) <= ' ') raw.remove_suffix(1);
  return raw;
}

// The entries whose value leads the walk on: to a sub-directory, or to the maker note.
bool LeadsFurther(uint16_t tag) {
  return tag == kTagExifOffset || tag == kTagInteroperabilityOffset || tag == kTagSubIfds || tag == kTagGpsInfo ||
         tag == kTagMakerNote;
}

// Switches the reader's numerator mode on for one scope, and off again however the scope ends.
class NumeratorModeScope {
 public:
  explicit NumeratorModeScope(ReaderContext& context) : context_(context) { context_.NumeratorMode = true; }
  ~NumeratorModeScope() { context_.NumeratorMode = false; }
  NumeratorModeScope(const NumeratorModeScope&) = delete;
  NumeratorModeScope& operator=(const NumeratorModeScope&) = delete;

 private:
  ReaderContext& context_;
};

// Where the 35 mm step's inputs stand in a tag list, in the order of kFocal35InputNames: the first entry of
// each name, as a lookup by name finds it; -1 where none is listed. One pass instead of a scan per name.
enum Focal35Input : size_t { kInputFocal35, kInputPlaneUnit, kInputUnit, kInputFocal, kInputPlaneX, kInputPlaneY };
using Focal35InputIndexes = std::array<int, kFocal35InputNames.size()>;

// For each name length, which of the inputs have it (bit k for input k): most names have none of the
// inputs' lengths, and are passed over by one lookup.
constexpr size_t kLongestInputName = 24;
constexpr std::array<uint8_t, kLongestInputName + 1> kInputsOfLength = [] {
  std::array<uint8_t, kLongestInputName + 1> inputs{};
  for (size_t k = 0; k < kFocal35InputNames.size(); ++k) {
    inputs[kFocal35InputNames[k].size()] |= static_cast<uint8_t>(1U << k);
  }
  return inputs;
}();

Focal35InputIndexes FindFocal35Inputs(const TagList& tags) {
  Focal35InputIndexes found;
  found.fill(-1);
  for (size_t i = 0; i < tags.size(); ++i) {
    const std::string& name = tags[i].Name;
    if (name.size() > kLongestInputName) continue;
    for (unsigned inputs = kInputsOfLength[name.size()]; inputs != 0; inputs &= inputs - 1) {
      const auto k = static_cast<size_t>(std::countr_zero(inputs));
      if (found[k] < 0 && SameTagName(name, kFocal35InputNames[k])) found[k] = static_cast<int>(i);
    }
  }
  return found;
}

const TagSelection& Focal35Inputs() {
  static const TagSelection inputs(kFocal35InputNames);
  return inputs;
}

// A value's bytes from the Exif data, from 1-based `position`: fewer when the data ends first, none
// outside it.
std::string_view ValueBytes(std::string_view data, int64_t position, int64_t count) {
  if (position < 1 || position - 1 >= static_cast<int64_t>(data.size())) return {};
  return data.substr(static_cast<size_t>(position - 1), static_cast<size_t>(count));
}

// Starts a listed entry, made in its place in the list, from its row. A selective read's entries are found
// by name and read for their values: the description, which only the text listing shows, is not copied (it
// would cost an allocation per entry).
void StartListedEntry(TTagEntry& entry, const TTagEntry& row, bool selective) {
  if (!selective) {
    entry = row;
    return;
  }
  entry.Origin = row.Origin;
  entry.IptcRecord = row.IptcRecord;
  entry.Tag = row.Tag;
  entry.Name = row.Name;
  entry.CodeList = row.CodeList;
  entry.FormatString = row.FormatString;
  entry.Renderer = row.Renderer;
}

}  // namespace

TImageInfo::TImageInfo(std::string& error_text, int build_mode, ReaderContext& context, const TagSelection* selection,
                       ReaderRoom&& room)
    : Tags(std::move(room.tags)),
      ErrorText(error_text),
      BuildMode(build_mode),
      context_(context),
      selection_(selection),
      unlisted_text_(std::move(room.unlisted_text)) {
  Tags.clear();
  CameraMake = std::move(room.make);
  CameraMake.clear();
  CameraModel = std::move(room.model);
  CameraModel.clear();
  unlisted_text_.clear();
  context_.VisitedDirectories.clear();
  // A camera file has a handful of directories: room for them at once rather than by doubling.
  context_.VisitedDirectories.reserve(8);
  Tags.reserve(ListsEverything() ? 64 : 24);  // a camera file lists 30 to 60 tags
}

void TImageInfo::GiveBackRoomTo(ReaderRoom& room) {
  room.tags = std::exchange(Tags, {});
  room.make = std::move(CameraMake);
  room.model = std::move(CameraModel);
  room.unlisted_text = std::move(unlisted_text_);
  CameraMake.clear();
  CameraModel.clear();
  unlisted_text_.clear();
}

bool TImageInfo::Lists(std::string_view name) const {
  if (ListsEverything()) return true;
  if (BuildMode != BuildSelectedTags) return false;
  return selection_ != nullptr ? selection_->Lists(name) : Focal35Inputs().Holds(name);
}

int16_t TImageInfo::SelectionIndexOf(const TTagEntry& row) const {
  const int index = selection_->IndexOfRow(row);
  return index >= 0 ? static_cast<int16_t>(index) : kNameNotSelected;
}

bool TImageInfo::ListsRow(const TTagEntry& row) const {
  if (ListsEverything()) return true;
  if (BuildMode != BuildSelectedTags) return false;
  return selection_ != nullptr ? selection_->ListsRow(row) : Focal35Inputs().HoldsRow(row);
}

void TImageInfo::ProcessDirectory(int64_t start, int64_t base, DirectoryKind kind, int64_t limit) {
  WalkDirectory(start, base, kind, limit, 0);
}

void TImageInfo::WalkDirectory(int64_t start, int64_t base, DirectoryKind kind, int64_t limit, int depth) {
  context_.VisitedDirectories.emplace_back(base, start);
  const int64_t count = ReadWord(start);
  if (2 + 12 * count > base + limit) {
    ErrorText = "Illegally sized directory";
    return;
  }
  for (int64_t i = 0; i < count; ++i) ProcessEntry(start + 2 + 12 * i, base, kind, limit, depth);
}

void TImageInfo::WalkSubDirectory(int64_t start, int64_t base, DirectoryKind kind, int64_t limit, int depth) {
  for (const auto& [visited_base, visited_start] : context_.VisitedDirectories) {
    if (visited_base == base && visited_start == start) return;
  }
  if (depth > kMaxDirectoryDepth || context_.VisitedDirectories.size() >= kMaxDirectories) return;
  try {
    WalkDirectory(start, base, kind, limit, depth);
  } catch (const ReaderError&) {
    // A broken sub-directory loses its own entries only; the directory that points to it goes on.
  }
}

void TImageInfo::ProcessEntry(int64_t position, int64_t base, DirectoryKind kind, int64_t limit, int depth) {
  const DirectoryEntry field = DecodeEntry(*this, position, EntryOwner::kExif);
  if (field.byte_count == 0) return;
  const uint16_t tag = field.tag;
  const int64_t value_position = field.ValueInEntry() ? position + 8 : base + field.offset;
  const std::string_view raw = ValueBytes(Buffer, value_position, field.byte_count);
  if (value_position >= 1 && static_cast<int64_t>(raw.size()) < field.byte_count) ReadPastEnd = true;

  const TTagEntry& row = FindTableRow(tag, kind);
  const bool listed = ListsRow(row);
  // A row without a tag number (an unknown tag) is never listed, as AddTag would refuse it.
  const bool keeps_entry = listed && row.Tag != 0;
  // The value is rendered where it is kept: into the entry, made in its place in the list and listed once
  // it is whole, or into the reader's kept text when it is not listed. An entry that leads the walk further
  // has its text of its own, as the walk lists the entries it finds meanwhile.
  const bool walks_further = LeadsFurther(tag);
  std::string text_over_walk;
  TTagEntry* entry = nullptr;
  if (keeps_entry && !walks_further) {
    entry = &Tags.Stage();
    StartListedEntry(*entry, row, BuildMode == BuildSelectedTags);
  }
  std::string& text = entry != nullptr ? entry->Text : walks_further ? text_over_walk : unlisted_text_;
  text.clear();
  if (BuildsText() || (BuildMode == BuildSelectedTags && (listed || tag == kTagMake || tag == kTagModel))) {
    RenderValueInto(text, raw, field.type, row, BigEndian);
    if (tag == kTagUserComment) text.assign(UserCommentText(raw));
    if (BuildsText()) InfoText.append("\r\n").append(row.Desc).append(" = ").append(text);
  } else if (BuildMode == BuildSelectedTags) {
    // An entry left unrendered still fails the walk where its rendering would.
    CheckRenderable(raw, field.type, row, BigEndian);
  }

  FollowEntry(EntryAt{tag, raw, value_position}, text, base, limit, depth);
  if (keeps_entry) ListEntry(entry, row, std::move(text_over_walk), EntryAt{tag, raw, value_position}, field.type);
}

// Kept inline, as the entry walk it was cut from: a call for each entry costs about 3 % of a survey.
[[gnu::always_inline]] inline void TImageInfo::FollowEntry(const EntryAt& at, const std::string& text, int64_t base,
                                                           int64_t limit, int depth) {
  switch (at.tag) {
    case kTagExifOffset:
    case kTagInteroperabilityOffset:
    case kTagSubIfds:
    case kTagGpsInfo:
      WalkSubDirectory(base + ReadLong(at.value_position), base,
                       at.tag == kTagGpsInfo ? DirectoryKind::kGps : DirectoryKind::kMain, limit, depth + 1);
      break;
    case kTagMake:
      CameraMake.assign(text, 0, 32);
      break;
    case kTagModel:
      CameraModel.assign(text, 0, 40);
      break;
    case kTagExifVersion:
      VersionText.assign(at.raw.substr(0, 6));
      break;
    case kTagMakerNote:
      MakerNoteRaw = at.raw;
      MakerNotePos = at.value_position;
      MakerNoteKnown = ReadMakerNote();
      break;
    default:
      break;
  }
}

[[gnu::always_inline]] inline void TImageInfo::ListEntry(TTagEntry* staged, const TTagEntry& row,
                                                         std::string&& text_over_walk, const EntryAt& at, int type) {
  TTagEntry* entry = staged;
  if (entry != nullptr) {
    Tags.KeepStaged();
  } else {
    entry = &Tags.Append();
    StartListedEntry(*entry, row, BuildMode == BuildSelectedTags);
    entry->Text = std::move(text_over_walk);
  }
  entry->Raw.assign(at.raw);
  entry->Size = static_cast<int32_t>(at.raw.size());
  entry->Offset = at.value_position;
  entry->Format = static_cast<uint16_t>(type);
  if (row.Tag == kTagDateTime && DateTimeIndex < 0) DateTimeIndex = TagCount() - 1;
  if (row.Tag == kTagDateTimeOriginal && DateTimeOriginalIndex < 0) DateTimeOriginalIndex = TagCount() - 1;
  if (selection_ != nullptr && BuildMode == BuildSelectedTags) entry->SelectionIndex = SelectionIndexOf(row);
}

void TImageInfo::ProcessMakerNoteAt(int64_t position) {
  if (position < 1 || position > static_cast<int64_t>(Buffer.size())) return;
  MakerNoteRaw = Buffer.substr(static_cast<size_t>(position - 1));
  MakerNotePos = position;
  MakerNoteKnown = ReadMakerNote();
}

bool TImageInfo::ReadMakerNote() {
  TmsInfo maker_note(IsTiff, *this);
  return maker_note.ProcessMakerNote();
}

int TImageInfo::AddTag(TTagEntry entry) {
  if (entry.Tag != 0) Tags.push_back(std::move(entry));
  return TagCount() - 1;
}

void TImageInfo::CalcFocalLength35() {
  const Focal35InputIndexes at = FindFocal35Inputs(Tags);
  if (at[kInputFocal35] >= 0) return;
  int32_t unit = RoundToInt32(ValueAt(at[kInputPlaneUnit]));
  if (unit <= 0) unit = RoundToInt32(ValueAt(at[kInputUnit]));
  const double mm_per_unit = unit == 2 ? 25.4 : unit == 3 ? 10.0 : 0.0;
  const double focal = ValueAt(at[kInputFocal]);
  if (mm_per_unit == 0 || focal == 0) return;

  // Cameras store the focal-plane resolution as pixel count × 1000 over the sensor size: the numerator
  // without its last three digits is the pixel count.
  int32_t x_pixels = 0;
  int32_t y_pixels = 0;
  {
    NumeratorModeScope numerator_mode(context_);
    x_pixels = RoundToInt32(ValueAt(at[kInputPlaneX]));
    y_pixels = RoundToInt32(ValueAt(at[kInputPlaneY]));
  }
  const auto x_resolution = static_cast<float>(ValueAt(at[kInputPlaneX]));
  const auto y_resolution = static_cast<float>(ValueAt(at[kInputPlaneY]));
  const double width = x_resolution > 0 ? x_pixels * mm_per_unit / x_resolution : 0;
  const double height = y_resolution > 0 ? y_pixels * mm_per_unit / y_resolution : 0;
  const double area = width * height;
  if (!(area > 0)) return;

  const double crop = kFullFrameDiagonal / std::sqrt(width * width + height * height);
  // A sensor larger than the 35 mm frame keeps the real focal length.
  const double focal35 = area > kFullFrameArea ? focal : focal * crop;

  std::string text = FormatNumber("%5.2f", focal35);
  // Made in a kept entry of the list, whose strings keep their storage.
  const TTagEntry& row = FindTableRow(kTagFocalLength35, DirectoryKind::kMain);
  TTagEntry& entry = Tags.Append();
  entry = row;
  entry.Text = std::move(text);
  entry.Raw.clear();
  entry.FormatString = "%s mm";
  entry.Format = tiff_type::kSRational;
  entry.Offset = 0;
  entry.Size = 0;
  if (selection_ != nullptr && BuildMode == BuildSelectedTags) entry.SelectionIndex = SelectionIndexOf(row);
  if (BuildMode != BuildSelectedTags) InfoText.append("\r\nFocal Length in 35mm Film = ").append(entry.Text);
}

int TImageInfo::TagIndex(std::string_view name) const {
  for (size_t i = 0; i < Tags.size(); ++i) {
    if (SameTagName(Tags[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TImageInfo::TagText(std::string_view name) const {
  const int index = TagIndex(name);
  return index < 0 ? std::string() : Tags[static_cast<size_t>(index)].Text;
}

TTagEntry TImageInfo::TagByName(std::string_view name) const {
  const int index = TagIndex(name);
  return index < 0 ? EmptyEntry() : Tags[static_cast<size_t>(index)];
}

double TImageInfo::TagValue(std::string_view name) const { return ValueAt(TagIndex(name)); }

double TImageInfo::ValueAt(int index) const {
  if (index < 0) return 0;
  const TTagEntry& entry = Tags[static_cast<size_t>(index)];
  if (entry.Tag == 0) return 0;
  return NumericValue(entry.Raw, entry.Format, BigEndian, context_.NumeratorMode);
}

int32_t TImageInfo::TagInteger(std::string_view name) const { return RoundToInt32(TagValue(name)); }

}  // namespace lumetra
