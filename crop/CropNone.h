#pragma once

#include <functional>
#include <vector>

#include <QDialog>
#include <QSize>

#include "crop/CropGridModel.h"
#include "crop/CropStore.h"
#include "survey/ExtractPhoto.h"
#include "survey/Labels.h"

class QPushButton;
class QTableView;

namespace lumetra {

/// What the unknown-cameras dialog shows at one opening and how.
struct UnknownCamerasSession {
  /// The cameras a run met without a factor: put in camera order when the dialog opens.
  std::vector<UnknownCamera>* cameras = nullptr;
  Language language = kEnglish;
  /// The regional decimal separator the factors are typed with.
  char decimal_separator = '.';
  /// The screen the dialog is sized to and centred on.
  QSize screen{1024, 768};
  /// Unticks the main window's `cb_CF` (without showing the dialog again).
  std::function<void()> uncheck_cb_CF;
};

/// The unknown-cameras dialog `Form_CropNo`: one row per camera in the grid `NG_no` (make, model, an
/// empty factor cell to type in). Save is enabled once every camera has a factor and closes the dialog
/// with the cameras and their factors (`Cameras()`) for `MergeUnknownCameras`; `but_Auto` and the close
/// button keep the automatic factors: nothing is saved, the typed factors are dropped and `cb_CF` is
/// unticked. Escape does not close it. Created once; each opening rebuilds the grid from the list.
class TForm_CropNo : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_CropNo(QWidget* parent = nullptr);

  /// Prepares an opening: both flags cleared, captions in the session's language, Save disabled, the
  /// cameras sorted into camera order, one row per camera with an empty factor, the dialog sized to the
  /// rows and centred. `exec()` or `show()` it afterwards.
  void FormActivate(const UnknownCamerasSession& session);
  /// Opens the dialog modally; true when the user saved.
  bool Ask(const UnknownCamerasSession& session);

  /// The last opening ended with Save.
  [[nodiscard]] bool Saved() const { return saved_; }
  /// The last opening ended with `but_Auto`.
  [[nodiscard]] bool Automatic() const { return automatic_; }
  /// The cameras in the grid's order with the factors typed for them (0 where none was).
  [[nodiscard]] const std::vector<CropRecord>& Cameras() const { return cameras_; }

  void but_SaveClick();
  void but_AutoClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FactorEdited(int row);
  // Automatic factors: every typed factor dropped, cb_CF unticked.
  void DropFactors();

  UnknownCamerasSession session_;
  std::vector<CropRecord> cameras_;
  CropGridModel* model_ = nullptr;
  FactorDelegate* delegate_ = nullptr;
  QTableView* NG_no = nullptr;
  QPushButton* but_Auto = nullptr;
  QPushButton* but_Save = nullptr;
  bool saved_ = false;
  bool automatic_ = false;
};

}  // namespace lumetra
