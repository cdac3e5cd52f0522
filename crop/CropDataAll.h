#pragma once

#include <QDialog>
#include <QSize>

#include "crop/CropGridModel.h"
#include "crop/CropStore.h"
#include "survey/Labels.h"
#include "survey/PhotoStore.h"

class QPushButton;
class QTableView;

namespace lumetra {

/// What the crop database editor edits at one opening and how it shows it.
struct CropEditorSession {
  /// The crop-factor store: sorted into camera order when the editor opens, replaced by Save.
  CropStore* store = nullptr;
  /// The photos of the last run, corrected by Save.
  PhotoStore* photos = nullptr;
  Language language = kEnglish;
  /// The regional decimal separator the factors are shown and typed with.
  char decimal_separator = '.';
  /// The screen the dialog is sized to and centred on.
  QSize screen{1024, 768};
};

/// The crop database editor `Form_CropAll` (F7): the store's cameras in camera order in the grid
/// `NG_All` (make, model, factor, delete word), factors edited in a copy, cameras deleted from it. Save
/// puts the copy into the store, corrects the stored photos and marks the store changed; Cancel, Escape
/// and the close button drop the copy. The caller recounts after a Save. Created once; each opening
/// rebuilds the grid from the store.
class TForm_CropAll : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_CropAll(QWidget* parent = nullptr);

  /// Prepares an opening: captions in the session's language, Save disabled, the store sorted into camera
  /// order (not marked changed), one grid row per camera, the dialog sized to the rows and centred.
  /// `exec()` or `show()` it afterwards.
  void FormActivate(const CropEditorSession& session);
  /// Opens the editor modally; true when the user saved.
  bool Edit(const CropEditorSession& session);
  /// The last opening ended with Save.
  [[nodiscard]] bool Saved() const { return saved_; }

  /// A click on the delete word of `row`: the row leaves the grid, Save is enabled, the dialog is sized
  /// again (not centred again).
  void DeleteRow(int row);
  void but_SaveClick();

 protected:
  /// The Delete key on the grid deletes the current row, as its delete word does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SizeToRows(bool centre);

  CropEditorSession session_;
  CropGridModel* model_ = nullptr;
  FactorDelegate* delegate_ = nullptr;
  QTableView* NG_All = nullptr;
  QPushButton* but_Save = nullptr;
  QPushButton* but_Cancel = nullptr;
  int row_count_ = 0;
  bool saved_ = false;
};

}  // namespace lumetra
