#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "metadata/EndianReader.h"
#include "metadata/MakerNoteData.h"
#include "metadata/ReaderContext.h"
#include "metadata/TagEntry.h"
#include "metadata/TagList.h"
#include "metadata/TagSelection.h"

namespace lumetra {

struct DirectoryEntry;

/// What the tag reader builds: the text listing, the tag list, or both; or only the entries of a
/// `TagSelection`, with nothing else rendered or kept (the survey's read).
enum BuildModes : int { BuildInfoText = 2, BuildTagList = 4, BuildSelectedTags = 8, BuildAll = 255 };

/// What a directory reader leaves to the next file's: its tag list and its strings, emptied, keeping their
/// storage.
struct ReaderRoom {
  TagList tags;
  std::string make;
  std::string model;
  std::string unlisted_text;
};

/// Turns the TIFF-structured data of an Exif segment (or a TIFF-like file) into a list of tags: walks
/// IFD0 and every directory reachable from it, renders each value, and adds a computed 35 mm focal
/// length when the file has none. Created by its owning `TimgData` for one file. A selective read
/// (`BuildSelectedTags`) lists the same entries as a full one for every name it lists, and fails where a
/// full one fails.
class TImageInfo : public tEndInd, public MakerNoteHost {
 public:
  /// `error_text` is the owner's, where the walks note what broke; `selection` is read only in
  /// `BuildSelectedTags` and must outlive this reader. The tag list and texts are made in `room`, an earlier
  /// reader's, so that a reader kept from file to file lists its entries without allocating.
  TImageInfo(std::string& error_text, int build_mode, ReaderContext& context, const TagSelection* selection = nullptr,
             ReaderRoom&& room = {});

  /// The tag list, in walk order.
  TagList Tags;
  std::string& ErrorText;
  int BuildMode;
  bool MakerNoteKnown = false;
  /// Where in `Tags` the walk listed the Exif's first DateTime and DateTimeOriginal (never the maker note's);
  /// -1 when it listed none. Kept as the entries are made, so that comparing the two costs no search.
  int DateTimeIndex = -1;
  int DateTimeOriginalIndex = -1;
  /// "\r\n" + description + " = " + text per listed directory tag (text-listing build modes only).
  std::string InfoText;
  std::string MakerNoteText;

  [[nodiscard]] int TagCount() const { return static_cast<int>(Tags.size()); }
  [[nodiscard]] ReaderContext& Context() const override { return context_; }

  /// Walks one directory at 1-based `start` of `Buffer`, the Exif data (TIFF offsets lie at position
  /// offset + `base`), and the directories it points to. A size that cannot fit sets `ErrorText` to
  /// "Illegally sized directory"; a bad read throws `ReaderError`, while a failure inside a sub-directory
  /// ends only that one. A value its special renderer cannot read is listed with its printable text and
  /// the walk goes on.
  void ProcessDirectory(int64_t start, int64_t base, DirectoryKind kind, int64_t limit);
  /// Walks a maker note's directory (`bytes`, laid out as `layout` says; `maker_offset` places TIFF
  /// offsets in the note) and lists its entries with `Origin` 1. A failure ends the note's walk only and
  /// sets `ErrorText` to "Error Detected = " and the failure's message.
  void ProcessMakerDirectory(std::string_view bytes, const MakerLayout& layout, int64_t maker_offset) override;
  /// Walks the directory at note byte `start` that an entry of the `layout.sub_directory_tag` points to,
  /// with `layout.sub_table`; nothing when `start` lies outside the note.
  void ProcessMakerSubDirectory(std::string_view bytes, const MakerLayout& layout, int64_t start, int64_t maker_offset);
  /// The maker-note step for a note kept apart from its Exif directory (Canon CR3): the bytes of `Buffer`
  /// from 1-based `position` to its end, read as if a MakerNote tag had pointed there.
  void ProcessMakerNoteAt(int64_t position);
  /// Lists a named entry (a value decoded from a maker record) when the build mode lists its name.
  void AddNamedTag(std::string_view name, std::string_view value) override;
  [[nodiscard]] bool ListsName(std::string_view name) const override { return Lists(name); }
  /// The tag list and texts given up as room for a later reader's; they are left empty.
  void GiveBackRoomTo(ReaderRoom& room);
  /// Appends a copy of `entry` unless its `Tag` is 0; returns `TagCount` - 1.
  int AddTag(TTagEntry entry);
  /// Adds a computed FocalLengthin35mmFilm entry from the focal length and the focal-plane resolution when
  /// the file has none. Throws `ReaderError` when a resolution numerator holds no pixel count.
  void CalcFocalLength35();

  // Lookups by name; letters a-z compare without regard to case; the first listed entry wins.
  [[nodiscard]] int TagIndex(std::string_view name) const;
  [[nodiscard]] std::string TagText(std::string_view name) const;
  [[nodiscard]] TTagEntry TagByName(std::string_view name) const;
  /// The entry's numeric value; 0 when the name is not listed.
  [[nodiscard]] double TagValue(std::string_view name) const;
  /// `TagValue` rounded, halves to even; throws `ReaderError` outside the 32-bit range.
  [[nodiscard]] int32_t TagInteger(std::string_view name) const;

 private:
  /// The tag-list modes list every entry; a selective read the selection's names and the inputs of the
  /// 35 mm step; the text listing none.
  [[nodiscard]] bool ListsEverything() const { return BuildMode == BuildTagList || BuildMode == BuildAll; }
  [[nodiscard]] bool BuildsText() const { return BuildMode == BuildInfoText || BuildMode == BuildAll; }
  [[nodiscard]] bool Lists(std::string_view name) const;
  /// `Lists` for a row of the tag tables, answered without comparing names.
  [[nodiscard]] bool ListsRow(const TTagEntry& row) const;
  /// The numeric value of the entry at `index` of `Tags`; 0 for -1 and for an entry without a tag number.
  [[nodiscard]] double ValueAt(int index) const;
  /// Where the selection holds the row's name, as an entry keeps it (selective reads with a selection only).
  [[nodiscard]] int16_t SelectionIndexOf(const TTagEntry& row) const;
  void ProcessEntry(int64_t position, int64_t base, DirectoryKind kind, int64_t limit, int depth);
  /// Where a directory entry's value is: its tag, its bytes and their 1-based position in `Buffer`.
  struct EntryAt {
    uint16_t tag;
    std::string_view raw;
    int64_t value_position;
  };
  /// What an entry does beyond its own listing: a sub-directory walked, the maker note read, the camera's
  /// make, model and Exif version kept (`text` is the entry's rendered value).
  void FollowEntry(const EntryAt& at, const std::string& text, int64_t base, int64_t limit, int depth);
  /// Lists a kept entry: the one staged for it (`staged`), or one appended now with `text_over_walk`, the text
  /// of an entry that led the walk further.
  void ListEntry(TTagEntry* staged, const TTagEntry& row, std::string&& text_over_walk, const EntryAt& at, int type);
  /// Where one maker-note entry lies: the note, the Exif data around it, the note's layout and offset, and
  /// the entry's index and 1-based note position.
  struct MakerEntrySite {
    std::string_view note;
    std::string_view exif;
    const MakerLayout& layout;
    int64_t maker_offset;
    int64_t index;
    int64_t position;
  };
  /// One entry of a maker directory: rendered, listed and written into the text as the build mode asks.
  /// False when the entry is broken, which ends the note's walk: `ErrorText` then says why.
  [[nodiscard]] bool ProcessMakerEntry(const MakerEntrySite& site);
  /// The bytes of a maker-note entry's value: from the note, or from the Exif data around it for a value
  /// that lies outside the note (`ReadPastEnd` is set when the part read does not hold it all).
  [[nodiscard]] std::string_view MakerEntryValue(const MakerEntrySite& site, const DirectoryEntry& field);
  /// Adds a listed maker-note entry of `row` to the tag list, with its value's type, bytes and text.
  void ListMakerEntry(const MakerRow& row, int type, std::string_view raw, const std::string& text);
  /// A selective read of a record entry (Canon's camera settings, ...) that lists its named entries from the
  /// record's numbers, without rendering the record to text and cutting it apart; false, having done
  /// nothing, for an entry that has to go through its text.
  [[nodiscard]] bool ListRecordElements(const MakerRow& row, const char* code_list, int type, std::string_view raw);
  void WalkDirectory(int64_t start, int64_t base, DirectoryKind kind, int64_t limit, int depth);
  void WalkSubDirectory(int64_t start, int64_t base, DirectoryKind kind, int64_t limit, int depth);
  /// The maker-note step for the MakerNote value just stored; true when the maker is known.
  bool ReadMakerNote();

  ReaderContext& context_;
  const TagSelection* selection_;
  /// Where a directory value that is rendered but not listed (a Make the selection does not hold, every
  /// value of the text listing alone) is written.
  std::string unlisted_text_;
};

}  // namespace lumetra
