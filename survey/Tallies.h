#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "survey/ExtractPhoto.h"
#include "survey/FilterCriteria.h"
#include "survey/PhotoRecord.h"
#include "survey/PhotoStore.h"
#include "survey/PhotoView.h"

namespace lumetra {

/// One row of a tally: a category value as stored in the records, the number of filtered photos with it,
/// the label it stands for (kNone for a plain value) and, in the shutter tally, its time in 1/10000 s; in the
/// date tally its month (CaptureMonth), in the weekday tally 0 (Monday) to 6, in the hour tally the hour.
struct myRecord {
  std::string text;
  int32_t count = 0;
  LabelId label = LabelId::kNone;
  int64_t value = 0;
  /// Of a plain value's row made in a survey, the number of `text` among the stored photos' texts, by which the
  /// next photo with that value finds the row; PhotoStore::kNoTextId when not known.
  uint32_t text_id = PhotoStore::kNoTextId;
};
/// The shutter tally's rows carry `value` as well.
using myRecordSS = myRecord;

/// The ranges of the photos that passed: shutter and F-number in 1/10000, the rest whole numbers.
struct ValueRanges {
  int64_t shutter_min = 10000000;
  int64_t shutter_max = 0;
  int64_t fnumber_min = 10000000;
  int64_t fnumber_max = 0;
  int64_t focal_min = 100000;
  int64_t focal_max = 0;
  int64_t focal35_min = 100000;
  int64_t focal35_max = 0;
  int64_t iso_min = 1000000;
  int64_t iso_max = 0;
  /// Capture times (CaptureTime.h); kNoCaptureTime while no passing photo has one.
  int64_t taken_min = kNoCaptureTime;
  int64_t taken_max = kNoCaptureTime;
  /// Hours of the day, 0..23; -1 while no passing photo has a capture time.
  int64_t hour_min = -1;
  int64_t hour_max = -1;
};

/// The eighteen tallies, in display order.
enum class TallyId : uint8_t {
  kShutter,
  kFNumber,
  kFocal,
  kFocal35,
  kIso,
  kMake,
  kModel,
  kLens,
  kCrop,
  kProgram,
  kMetering,
  kFlash,
  kOrientation,
  kDrive,
  kFocus,
  kDate,
  kWeekday,
  kHour,
};
inline constexpr int kTallyCount = 18;

/// The result of a survey and everything kept to recount it: the stored records, the eighteen tallies in
/// display order, the counters, the paths of the filtered photos, the ranges and the unknown cameras.
/// Owned by the main window or the command line; nothing of it is global.
class SurveyState {
 public:
  explicit SurveyState(Language language = kEnglish);

  PhotoStore Photos;
  std::vector<myRecordSS> tallyShutter;
  std::vector<myRecord> tallyFNumber, tallyFocal, tallyFocal35, tallyIso, tallyMake, tallyModel, tallyLens, tallyCrop;
  std::vector<myRecord> tallyProgram, tallyMetering, tallyFlash, tallyOrientation, tallyDrive, tallyFocus;
  /// When the photos were taken. Date: one row per calendar month that has photos ("2019-03"), in time
  /// order. Weekday: Monday to Sunday, all seven. Hour: "0" to "23", all twenty-four. Each ends with the
  /// undetermined row ("n/a") of the photos without a capture time; the date tally has it only when one
  /// passed.
  std::vector<myRecord> tallyDate, tallyWeekday, tallyHour;
  int32_t processedCount = 0;
  int32_t filteredCount = 0;
  /// The photos that passed, in tally order, as their row numbers in `Photos`: each path is kept once, in
  /// the store (see FilteredPath).
  std::vector<uint32_t> filteredPaths;
  ValueRanges CurrentRanges;
  std::vector<UnknownCamera> UnknownCameras;

  /// Stores a counted photo and tallies it.
  void AddPhoto(const PhotoRecord& record, FilterCriteria& criteria, bool rb_Real);
  /// Adds row `row` of `Photos` to the tallies when it passes `criteria`; the model and lens check lists
  /// of `criteria` are rebuilt when a new model or lens appears.
  void TallyPhoto(size_t row, FilterCriteria& criteria, bool rb_Real);
  /// The same for `record`, the texts of row `row` of `Photos`, matched by their texts alone rather than
  /// by the store's text numbers.
  void TallyPhoto(const PhotoRecord& record, size_t row, FilterCriteria& criteria, bool rb_Real);
  /// The path of the `index`th photo that passed.
  [[nodiscard]] std::string FilteredPath(size_t index) const { return Photos.Path(filteredPaths[index]); }
  /// The paths of all the photos that passed, in tally order.
  [[nodiscard]] std::vector<std::string> FilteredPathList() const;
  /// Empties the tallies (keeping the model and lens rows, at count 0, while `keepChecks` is set); with
  /// `full` also the stored photos. The unknown cameras stay.
  void ResetTallies(bool full, FilterCriteria& criteria);
  /// Rebuilds every tally from the stored photos, without reading a file.
  void Retally(FilterCriteria& criteria, bool rb_Real);
  /// Puts the fixed rows and every label row in `language`, and the check lists with them.
  void RelabelTallies(Language language, FilterCriteria& criteria);

  /// The rows of tally `id`.
  [[nodiscard]] const std::vector<myRecord>& Tally(TallyId id) const;
  /// The eighteen tallies with their names ("shutter", "fNumber", ..., "date", "weekday", "hour"), in display
  /// order.
  [[nodiscard]] std::vector<std::pair<const char*, const std::vector<myRecord>*>> AllTallies() const;

 private:
  // For each field, the tally row that each numbered text of the store was last found in: a hint that
  // spares the scan as long as the row still holds that text. While a field's hints are complete (every
  // row of its tally was made from a numbered text and hinted), a text never hinted has no row, so a new
  // value costs no scan either: thousands of distinct values once cost a scan each, growing with their square.
  struct RowHints {
    enum class Match : uint8_t { kExact, kUpperCase };
    struct LabelRow {
      LabelId label = LabelId::kNone;
      uint32_t row = 0;
    };
    std::array<std::vector<uint32_t>, PhotoRecord::kFieldCount> row_of_text;
    // For each field, the row its label was last found in or made for: an undetermined value is counted
    // without a scan of the rows before it.
    std::array<LabelRow, PhotoRecord::kFieldCount> label_rows{};
    std::array<bool, PhotoRecord::kFieldCount> complete = [] {
      std::array<bool, PhotoRecord::kFieldCount> all{};
      all.fill(true);
      return all;
    }();
    /// The row of `rows` that field `field` of `photo` falls in, as a scan from the first row finds it.
    myRecord* Find(std::vector<myRecord>& rows, const PhotoView& photo, int field, Match match);
    /// Row `row` was made for field `field` of `photo`.
    void Made(const PhotoView& photo, int field, size_t row);
    /// The tally of `field` was emptied (`rows_kept` false) or keeps rows the hints may not name.
    void Reset(int field, bool rows_kept);
  };

  void SetFixedRows(Language language);
  void TallyPhoto(const PhotoView& photo, size_t row, FilterCriteria& criteria, bool rb_Real);
  // The steps of TallyPhoto.
  void CountExposureAndFNumber(const PhotoView& photo);
  void CountFocalAndIso(const PhotoView& photo);
  void CountCamera(const PhotoView& photo, FilterCriteria& criteria);
  void CountTime(const PhotoView& photo);
  // Counts the photo in the row of `rows` its field falls in; otherwise appends a row and says so.
  bool CountIn(std::vector<myRecord>& rows, const PhotoView& photo, int field,
               RowHints::Match match = RowHints::Match::kExact);

  Language language_;
  RowHints hints_;
};

}  // namespace lumetra
