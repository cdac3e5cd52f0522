#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crop/CropStore.h"
#include "survey/ExtractPhoto.h"
#include "survey/PhotoStore.h"

namespace lumetra {

// The rules both crop dialogs edit factors by, and what their Save does to the store and to the photos
// of the last run. Plain logic: the dialogs only call it.

/// A factor as the editor's grid shows it: general number format with 3 significant digits and
/// `decimal_separator` (16000 gives "1.6", 200000 "20", 147000 "14.7", 15384 "1.54").
[[nodiscard]] std::string CropCellText(int64_t factor, char decimal_separator);

/// A factor as a photo's `crop` text: general number format with 4 significant digits and a point
/// whatever the regional separator (16000 gives "1.6", 15384 "1.538", 200000 "20").
[[nodiscard]] std::string PhotoCropText(int64_t factor);

/// What a key typed into a factor cell puts there: a digit itself, "." and "," the regional
/// `decimal_separator`; nullopt for any other character, which is dropped. Keys without a character
/// (Backspace, Enter, arrows) are not this function's business.
[[nodiscard]] std::optional<char> FactorKeyCharacter(char32_t key, char decimal_separator);

/// A factor cell's text after a change: while "0" followed by the text is not a decimal number (digits
/// with at most one `decimal_separator`), its last character goes, so a second separator cannot be typed.
[[nodiscard]] std::string TrimFactorTyping(std::string_view text, char decimal_separator);

/// Whether a factor cell may be left empty when its edit ends: the editor puts the previous text back,
/// the unknown-cameras dialog keeps the cell empty (the camera still has no factor).
enum class EmptyFactor { kRefused, kKept };

/// A factor cell's text when its edit ends, given the text before the edit (`remembered`): a value of 0,
/// outside (0, 100] or not a number puts `remembered` back; a text ending in "." or "," gets a "0"
/// ("1." becomes "1.0"); an empty text is refused or kept by `empty`.
[[nodiscard]] std::string FinishFactorEdit(std::string_view text, std::string_view remembered, char decimal_separator,
                                           EmptyFactor empty);

/// The factor of a cell text in 1/10000 (read with either separator, ties to even); nullopt for an empty
/// text, a text that is not a number and a value outside (0, 100].
[[nodiscard]] std::optional<int64_t> CellCropFactor(std::string_view text, char decimal_separator);

/// One row of a crop dialog's grid: the texts it shows, and the factor its camera had when the grid was
/// filled (0 for none).
struct CropGridRow {
  std::string Make;
  std::string Model;
  std::string FactorText;
  int64_t Factor = 0;

  friend bool operator==(const CropGridRow&, const CropGridRow&) = default;
};

/// The editor's rows for the store's records, in store order.
[[nodiscard]] std::vector<CropGridRow> CropGridRows(const std::vector<CropRecord>& records, char decimal_separator);

/// The records a saved editor grid gives, in grid order: make and model cut to 255 characters, the
/// factor the cell's value (0 for an empty or unreadable cell). A cell that still shows its camera's own
/// factor keeps that factor whole: the grid shows three digits, and saving must not round 1.5384 to 1.54
/// for a camera the user did not touch.
[[nodiscard]] std::vector<CropRecord> CropRecordsFromGrid(const std::vector<CropGridRow>& rows, char decimal_separator);

/// Corrects the stored photos of the cameras in `records`: for every photo and every record with a valid
/// factor whose make and model equal the photo's (exactly; photos whose make or model is unknown are left
/// alone), `crop` becomes `PhotoCropText` of the factor and, when the photo's real focal length is
/// known, `focal35` the focal length times the factor, rounded. A later record of the same camera
/// decides. Returns the number of photos changed.
size_t ApplyCropFactors(PhotoStore& photos, const std::vector<CropRecord>& records);

/// The unknown cameras as crop records with factor 0, sorted into camera order; `cameras` itself is put in
/// the same order.
[[nodiscard]] std::vector<CropRecord> SortUnknownCameras(std::vector<UnknownCamera>& cameras);

/// After the unknown-cameras dialog's Save: appends `cameras` (with their factors) to the store in their
/// order, marks the store changed, corrects the stored photos of those cameras (`ApplyCropFactors`) and
/// empties `unknown`. The caller recounts the photos.
void MergeUnknownCameras(CropStore& store, const std::vector<CropRecord>& cameras, PhotoStore& photos,
                         std::vector<UnknownCamera>& unknown);

}  // namespace lumetra

namespace lumetra {

/// The places of a crop dialog sized to its rows, in pixels (both dialogs use the same steps).
struct CropDialogSizes {
  /// The first height: the smaller of round(0.9 × screen height) and 26 × rows + button height + 125.
  int first_height = 0;
  /// The grid: as many whole rows of 26 as the first height leaves room for, plus 46 (header, frame).
  int grid_height = 0;
  /// The buttons' top: 20 below the grid.
  int button_top = 0;
  /// The final height of the dialog: 50 below the buttons.
  int height = 0;
};

/// Sizes a crop dialog of outer height first_height, whose title bar and borders take
/// `non_client_height` of it, to `rows` rows: the steps of the dialogs' activation.
[[nodiscard]] CropDialogSizes SizeCropDialog(int rows, int button_height, int screen_height, int grid_top,
                                             int non_client_height);

}  // namespace lumetra
