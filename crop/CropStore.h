#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

/// One camera of the crop-factor database; also the entry type of the unknown-cameras list.
struct CropRecord {
  /// The maker exactly as the photo's Exif make tag gives it ("Canon"), at most 255 characters.
  std::string Make;
  /// The model exactly as the photo's Exif model tag gives it ("Canon EOS 5D"), at most 255 characters.
  std::string Model;
  /// The crop factor in 1/10000 (16000 for 1.6); 0 when no factor is known.
  int64_t Factor = 0;

  friend bool operator==(const CropRecord&, const CropRecord&) = default;
};

/// The crop file's name, in the program's folder.
inline constexpr std::string_view kCropFileName = "Lumetra_Crop.ini";
/// Make and model texts are cut to this many characters (code points) when a record is filled.
inline constexpr size_t kCropTextLimit = 255;
/// The largest crop factor accepted from the file or from the user, in 1/10000 (100).
inline constexpr int64_t kMaxCropFactor = 1'000'000;

/// One row of the built-in camera list, as literal texts ("Canon", "Canon EOS 7D", "1.6").
struct CropTableRow {
  std::string_view Make;
  std::string_view Model;
  std::string_view Factor;
};

/// The cameras a new crop file is seeded with, in file order; factor texts always with a point.
extern const std::array<CropTableRow, 89> DefaultCropTable;

/// The outcome of loading or saving the crop file. Nothing throws: failures are reported here.
struct CropFileResult {
  /// The file concerned, as given.
  std::string file;
  /// Why the operation failed ("cannot be read: Is a directory"); empty on success.
  std::string reason;
  /// The file was written: seeded from the built-in list by a load, or replaced by a save.
  bool written = false;
  /// 1-based numbers of the non-empty lines that were not loaded: fewer than two TABs, or a factor text
  /// that is not a number under either separator or lies outside (0, 100].
  std::vector<size_t> skipped_lines;

  [[nodiscard]] bool ok() const { return reason.empty(); }
  /// "<file>: <reason>", for an error message; empty on success.
  [[nodiscard]] std::string Message() const;
};

class CropStore;

/// Fills `store` from the crop file `file` (the program folder's "Lumetra_Crop.ini"), replacing what it
/// held, and clears `CropStoreChanged`. Lines end in CR LF or LF; empty lines are skipped; each line is
/// make TAB model TAB factor, optionally followed by a TAB and anything; a UTF-8 byte order mark is
/// ignored, and fields that are not UTF-8 are read as Latin-1. Bad lines are skipped and listed.
/// Only when the file does not exist is it created from `DefaultCropTable` (lines ending in a TAB), and
/// the store gets those 89 cameras, even when the new file cannot be written. When the file exists but
/// cannot be read (in full), the store keeps the complete lines read before the failure and refuses to
/// be saved over that file. Something else under the name (a FIFO, a device, a file larger than
/// kOwnFileSizeLimit) is not read: the store gets the built-in cameras and refuses to be saved over it.
[[nodiscard]] CropFileResult LoadCropStore(CropStore& store, const std::filesystem::path& file, char decimal_separator);

/// Appends the cameras of crop-file content `bytes` to `records`, read as `LoadCropStore` reads its file,
/// and the 1-based numbers of the non-empty lines it skips to `skipped_lines`. Any bytes are accepted.
void ReadCropLines(std::string_view bytes, char decimal_separator, std::vector<CropRecord>& records,
                   std::vector<size_t>& skipped_lines);

/// The crop-factor database in memory: the cameras in file order (the editor re-sorts them, the
/// unknown-cameras dialog appends), and whether a dialog changed them since the load.
class CropStore {
 public:
  /// The cameras; the list may hold one camera twice (lookups find the first usable one).
  std::vector<CropRecord> records;
  /// Set by the crop dialogs' Save; the file is rewritten by `SaveCropStore` only when it is set.
  bool CropStoreChanged = false;

  /// The last load found the file but could not read it in full: `SaveCropStore` will not replace it.
  [[nodiscard]] bool load_failed() const { return load_failed_; }

 private:
  friend CropFileResult LoadCropStore(CropStore& store, const std::filesystem::path& file, char decimal_separator);
  friend CropFileResult SaveCropStore(CropStore& store, const std::filesystem::path& file, char decimal_separator);
  bool load_failed_ = false;
  /// The file as it was last loaded or saved, so that a save changes only the lines of changed cameras.
  std::string loaded_bytes_;
};

/// Writes the store to `file` when `CropStoreChanged` is set. The file as it was loaded keeps every line it
/// did not change byte for byte in its place (lines that are no camera, cameras whose record is unchanged,
/// names in any encoding); an edited camera's line gets its new factor (`CropFactorText`) and nothing
/// else, a deleted camera's line goes, and cameras the file did not have are appended as make TAB model
/// TAB factor CR LF, in store order. A store emptied of the cameras of a file that held nothing else
/// gives an empty file. The file
/// is replaced whole through a temporary file in the same folder, so a failed save leaves the old file
/// as it was. Clears `CropStoreChanged` once written. Does nothing when the flag is clear; refuses (with
/// a reason) when the last load could not read the file in full.
[[nodiscard]] CropFileResult SaveCropStore(CropStore& store, const std::filesystem::path& file, char decimal_separator);

/// A factor text in 1/10000, ties to even: read with `decimal_separator` and, failing that, with the
/// first "." or "," taken for it, so "1.6" and "1,6" both give 16000 under either separator. Blanks
/// around the number, a sign and an exponent are accepted. nullopt for a text that is not a number
/// either way or whose value does not fit. The range is not checked here (see `IsValidCropFactor`).
[[nodiscard]] std::optional<int64_t> ParseCropFactor(std::string_view text, char decimal_separator);

/// True for factors the store may hold and use: greater than 0 and at most 100 (1 to `kMaxCropFactor`).
/// 0 means unknown.
[[nodiscard]] bool IsValidCropFactor(int64_t factor);

/// A factor as the crop file holds it: the shortest decimal text, up to 15 significant digits, with
/// `decimal_separator` (16000 gives "1.6" or "1,6"; 10000 gives "1"; 200000 gives "20").
[[nodiscard]] std::string CropFactorText(int64_t factor, char decimal_separator);

/// `text` cut to its first `kCropTextLimit` characters (UTF-8 code points; a stray byte counts as one).
[[nodiscard]] std::string CutCropText(std::string_view text);

/// The first record, in store order, whose `Model` and `Make` equal `model` and `make` exactly
/// (case-sensitive, whole texts) and whose factor is valid; records with factor 0 (unknown) are passed
/// over. nullptr when there is none. The pointer is valid until `store.records` changes.
[[nodiscard]] const CropRecord* FindCropFactor(const CropStore& store, std::string_view make, std::string_view model);

/// The factor `FindCropFactor` finds for the camera, in 1/10000; 0 when the store has none: the lookup a
/// survey reads its photos with.
[[nodiscard]] int64_t StoredCropFactor(const CropStore& store, std::string_view make, std::string_view model);

/// The sort rank of one character: space 1, "-" 2, "_" 3, "," 4, "." 5, letters a to z 6 to 31 (A to Z
/// as a to z), digits 32 to 41, any other character (Cyrillic, "/", "<", ...) 22, the rank of q.
[[nodiscard]] int CameraSortRank(char32_t character);

/// The sort key of a camera: make, one space, model.
[[nodiscard]] std::string CameraKey(const CropRecord& record);

/// True when key `a` sorts after key `b`: the first character (UTF-8 code point) whose ranks differ
/// decides; when one key is a rank-wise prefix of the other, the longer sorts after; equal keys never
/// sort after each other.
[[nodiscard]] bool CameraKeyAfter(std::string_view a, std::string_view b);

/// Sorts `records` in place into ascending camera order by `CameraKey`; equal keys keep their order.
void SortCameras(std::vector<CropRecord>& records);

}  // namespace lumetra
