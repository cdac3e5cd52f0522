// The crop database editor Form_CropAll and the unknown-cameras dialog Form_CropNo on the off-screen
// platform, driven through their object names: the editor alone (camera order, editing under both
// separators, refused values, delete, sizing, Save and Cancel), then both through the main window after
// a run of photos written for the test (F7 and Save writing the crop file and recounting the crop-factor
// and 35 mm focal charts; the unknown-cameras dialog at the end of a run, Save enabled only when complete,
// Auto, the close button unticking cb_CF, ticking cb_CF asking again).

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>

#include "app/CropCommands.h"
#include "app/Lumetra_main.h"
#include "charts/ChartModel.h"
#include "crop/CropDataAll.h"
#include "crop/CropEditing.h"
#include "crop/CropGridModel.h"
#include "crop/CropNone.h"
#include "crop/CropStore.h"
#include "survey/PhotoRecord.h"
#include "testing/DemoFolder.h"
#include "testing/JpegWriter.h"
#include "tests/support/FileBytes.h"
#include "tests/support/WindowHelpers.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using testing::Find;
using testing::ReadFileBytes;

QString Cell(QTableView& grid, int row, int column) { return grid.model()->index(row, column).data().toString(); }

// Types `keys` into the factor cell of `row` and ends the edit with Enter (or leaves it open).
void TypeFactor(QTableView& grid, int row, const QString& keys, bool finish = true) {
  const QModelIndex index = grid.model()->index(row, CropGridModel::kFactorColumn);
  grid.setCurrentIndex(index);
  grid.edit(index);
  QLineEdit* editor = nullptr;
  for (QLineEdit* candidate : grid.viewport()->findChildren<QLineEdit*>(QString::fromLatin1(kFactorEditorName))) {
    if (!candidate->isHidden()) editor = candidate;
  }
  if (editor == nullptr) qFatal("no factor editor open");
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Backspace);
  QTest::keyClicks(editor, keys);
  if (!finish) return;
  QTest::keyClick(editor, Qt::Key_Return);
  // The delegate commits Enter through a queued call.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

// The text of the open factor editor of `grid`, "" when none is open.
QString OpenEditorText(QTableView& grid) {
  for (QLineEdit* candidate : grid.viewport()->findChildren<QLineEdit*>(QString::fromLatin1(kFactorEditorName))) {
    if (!candidate->isHidden()) return candidate->text();
  }
  return {};
}

// Runs `action` once the top-level dialog named `name` is shown (polled, as a modal dialog runs its own
// loop); the poll ends with the returned timer.
std::unique_ptr<QTimer> WhenShown(const char* name, std::function<void(QWidget&)> action) {
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(10);
  QTimer* poll = timer.get();
  QObject::connect(poll, &QTimer::timeout, [poll, name, action = std::move(action)] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
        poll->stop();
        action(*widget);
        return;
      }
    }
  });
  timer->start();
  return timer;
}

// Ends the open edit of `grid` with Enter.
void FinishOpenEdit(QTableView& grid) {
  for (QLineEdit* candidate : grid.viewport()->findChildren<QLineEdit*>(QString::fromLatin1(kFactorEditorName))) {
    if (!candidate->isHidden()) QTest::keyClick(candidate, Qt::Key_Return);
  }
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

std::vector<std::string> Labels(const ChartSeries& series) {
  std::vector<std::string> labels;
  for (const ChartPoint& point : series.Points()) labels.push_back(point.label);
  return labels;
}

std::vector<std::string> TallyTexts(const std::vector<myRecord>& tally) {
  std::vector<std::string> texts;
  for (const myRecord& row : tally) {
    if (row.count > 0) texts.push_back(row.text);
  }
  return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A photo of `make` `model` at `focal` mm, with the camera's own 35 mm focal length when given.
testing::DemoPhoto Shot(std::string make, std::string model, int focal, int focal_35mm, uint32_t seed) {
  testing::DemoPhoto photo;
  photo.path = model + "_" + std::to_string(seed) + ".jpg";
  photo.seed = seed;
  photo.make = std::move(make);
  photo.model = std::move(model);
  photo.exif_version = "0230";
  photo.date_time = "2013:05:01 10:00:00";
  photo.exposure = {1, 125};
  photo.f_number = {56, 10};
  photo.focal_length = {focal, 1};
  photo.focal_35mm = static_cast<uint16_t>(focal_35mm);
  photo.iso = 100;
  photo.program = 2;
  photo.metering = 5;
  return photo;
}

void WritePhotos(const fs::path& folder, const std::vector<testing::DemoPhoto>& photos) {
  fs::create_directories(folder);
  for (const testing::DemoPhoto& photo : photos) {
    testing::WriteFileBytes(folder / photo.path, testing::DemoPhotoBytes(photo));
  }
}

}  // namespace

class CropDialogsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  fs::path Home() const { return home_.path().toStdString(); }
  fs::path CropFile() const { return Home() / std::string(kCropFileName); }
  fs::path known_;    // Canon EOS 7D (1.6 in the built-in list) and NIKON D90 (1.5)
  fs::path unknown_;  // two cameras the store does not know, and a Canon EOS 7D
  QStringList errors_;

  std::unique_ptr<TForm_Exif> Open() {
    auto window = std::make_unique<TForm_Exif>(
        WindowStart{{}, QSize(1024, 768), Home(), [this](const QString& message) { errors_ << message; }});
    InstallCropDialogs(*window);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

  static void Run(TForm_Exif& window, const fs::path& folder) {
    window.myTreeChange(QString::fromStdString(folder.string()));
    Find<QAbstractButton>(window, "but_Run")->click();
  }

  // A store of three cameras out of camera order, and photos of two of them.
  static CropStore SmallStore() {
    CropStore store;
    store.records = {{"Nokia", "N8-00", 200000}, {"Canon", "Canon EOS-1D", 13000}, {"Canon", "Canon EOS 10D", 16000}};
    return store;
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    known_ = Home() / "known";
    WritePhotos(known_, {Shot("Canon", "Canon EOS 7D", 35, 56, 1), Shot("Canon", "Canon EOS 7D", 50, 80, 2),
                         Shot("NIKON CORPORATION", "NIKON D90", 50, 75, 3)});
    unknown_ = Home() / "unknown";
    WritePhotos(unknown_, {Shot("Zeta", "Zeta Z", 20, 30, 11), Shot("Acme", "Acme X1", 10, 55, 12),
                           Shot("Acme", "Acme X1", 12, 66, 13), Shot("Canon", "Canon EOS 7D", 35, 56, 14)});
  }

  void init() {
    errors_.clear();
    fs::remove(Home() / "Lumetra.ini");
    fs::remove(CropFile());
  }

  void cleanup() { QCOMPARE(errors_, QStringList()); }

  // ---------------------------------------------------------------------------------------------
  // The editor alone

  void editorShowsTheStoreInCameraOrderWithSaveDisabled() {
    for (const char separator : {'.', ','}) {
      CropStore store = SmallStore();
      PhotoStore photos;
      TForm_CropAll dialog;
      dialog.FormActivate({&store, &photos, kEnglish, separator, QSize(1024, 768)});
      auto& grid = *Find<QTableView>(dialog, "NG_All");
      QCOMPARE(grid.model()->rowCount(), 3);
      QCOMPARE(grid.model()->columnCount(), 4);
      QCOMPARE(Cell(grid, 0, 1), QStringLiteral("Canon EOS 10D"));
      QCOMPARE(Cell(grid, 1, 1), QStringLiteral("Canon EOS-1D"));
      QCOMPARE(Cell(grid, 2, 0), QStringLiteral("Nokia"));
      QCOMPARE(Cell(grid, 0, 2), separator == '.' ? QStringLiteral("1.6") : QStringLiteral("1,6"));
      QCOMPARE(Cell(grid, 2, 2), QStringLiteral("20"));
      QCOMPARE(Cell(grid, 1, 3), QStringLiteral("Delete"));
      QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Crop-factor"));
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Database crop factors cameras"));
      QVERIFY(!Find<QPushButton>(dialog, "but_Save")->isEnabled());
      QCOMPARE(Find<QPushButton>(dialog, "but_Cancel")->text(), QStringLiteral("Cancel"));
      // The store itself is sorted, but a viewing does not mark it changed.
      QCOMPARE(store.records[0].Model, std::string("Canon EOS 10D"));
      QVERIFY(!store.CropStoreChanged);
    }
  }

  void editorCaptionsInRussian() {
    CropStore store = SmallStore();
    PhotoStore photos;
    TForm_CropAll dialog;
    dialog.FormActivate({&store, &photos, kRussian, '.', QSize(1024, 768)});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("База данных кроп-факторов фотоаппаратов"));
    QCOMPARE(Find<QPushButton>(dialog, "but_Save")->text(), QStringLiteral("Сохранить"));
    QCOMPARE(Find<QPushButton>(dialog, "but_Cancel")->text(), QStringLiteral("Отменить"));
    auto& grid = *Find<QTableView>(dialog, "NG_All");
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Фотоаппарат"));
    QCOMPARE(Cell(grid, 0, 3), QStringLiteral("Удалить"));
  }

  void editorEditsFactorsUnderEitherSeparator() {
    for (const char separator : {'.', ','}) {
      const QString sep(QChar::fromLatin1(separator));
      CropStore store = SmallStore();
      PhotoStore photos;
      TForm_CropAll dialog;
      dialog.FormActivate({&store, &photos, kEnglish, separator, QSize(1024, 768)});
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      auto& grid = *Find<QTableView>(dialog, "NG_All");
      auto& save = *Find<QPushButton>(dialog, "but_Save");
      // "1" and a point (or a comma) give "1,0" or "1.0" with the regional separator.
      TypeFactor(grid, 0, QStringLiteral("1."));
      QCOMPARE(Cell(grid, 0, 2), "1" + sep + "0");
      QVERIFY(save.isEnabled());
      TypeFactor(grid, 0, QStringLiteral("1,5"));
      QCOMPARE(Cell(grid, 0, 2), "1" + sep + "5");
      // Letters, signs and a second separator are dropped while typing.
      TypeFactor(grid, 0, QStringLiteral("2a-+e.5.3"), /*finish=*/false);
      QCOMPARE(OpenEditorText(grid), "2" + sep + "53");
      FinishOpenEdit(grid);
      QCOMPARE(Cell(grid, 0, 2), "2" + sep + "53");
      // Refused: 0, beyond 100, empty. The previous text comes back.
      TypeFactor(grid, 2, QStringLiteral("0"));
      QCOMPARE(Cell(grid, 2, 2), QStringLiteral("20"));
      TypeFactor(grid, 2, QStringLiteral("0.0"));
      QCOMPARE(Cell(grid, 2, 2), QStringLiteral("20"));
      TypeFactor(grid, 2, QStringLiteral("250"));
      QCOMPARE(Cell(grid, 2, 2), QStringLiteral("20"));
      TypeFactor(grid, 2, QString());
      QCOMPARE(Cell(grid, 2, 2), QStringLiteral("20"));
      TypeFactor(grid, 2, QStringLiteral("100"));
      QCOMPARE(Cell(grid, 2, 2), QStringLiteral("100"));
      // Nothing reached the store before Save.
      QCOMPARE(store.records[0].Factor, 16000);
      dialog.but_SaveClick();
      QVERIFY(dialog.Saved());
      QVERIFY(dialog.isHidden());
      QCOMPARE(store.records[0].Factor, 25300);
      QCOMPARE(store.records[2].Factor, 1000000);
      QVERIFY(store.CropStoreChanged);
    }
  }

  void editorDeletesRowsAndShrinks() {
    CropStore store = SmallStore();
    PhotoStore photos;
    TForm_CropAll dialog;
    dialog.FormActivate({&store, &photos, kEnglish, '.', QSize(1024, 768)});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto& grid = *Find<QTableView>(dialog, "NG_All");
    auto& save = *Find<QPushButton>(dialog, "but_Save");
    const int height = dialog.height();
    const QPoint place = dialog.pos();
    // A click on the delete word of the second row.
    const QRect cell = grid.visualRect(grid.model()->index(1, CropGridModel::kDeleteColumn));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid.model()->rowCount(), 2);
    QCOMPARE(Cell(grid, 1, 1), QStringLiteral("N8-00"));
    QVERIFY(save.isEnabled());
    QCOMPARE(dialog.height(), height - 26);
    QCOMPARE(dialog.pos(), place);
    // A click elsewhere deletes nothing.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(0, CropGridModel::kModelColumn)).center());
    QCOMPARE(grid.model()->rowCount(), 2);
    // The Delete key deletes the current row too.
    grid.setCurrentIndex(grid.model()->index(0, CropGridModel::kMakeColumn));
    QTest::keyClick(&grid, Qt::Key_Delete);
    QCOMPARE(grid.model()->rowCount(), 1);
    Find<QPushButton>(dialog, "but_Save")->click();
    QCOMPARE(store.records.size(), size_t{1});
    QCOMPARE(store.records[0].Model, std::string("N8-00"));
  }

  void editorCancelKeepsTheStoreAndTheNextOpeningStartsAfresh() {
    CropStore store = SmallStore();
    PhotoStore photos;
    TForm_CropAll dialog;
    const CropEditorSession session{&store, &photos, kEnglish, '.', QSize(1024, 768)};
    dialog.FormActivate(session);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto& grid = *Find<QTableView>(dialog, "NG_All");
    TypeFactor(grid, 0, QStringLiteral("3"));
    dialog.DeleteRow(2);
    Find<QPushButton>(dialog, "but_Cancel")->click();
    QVERIFY(!dialog.Saved());
    QCOMPARE(store.records.size(), size_t{3});
    QCOMPARE(store.records[0].Factor, 16000);
    QVERIFY(!store.CropStoreChanged);
    // Escape closes it too; every opening shows the store again with Save disabled.
    dialog.FormActivate(session);
    dialog.show();
    QCOMPARE(grid.model()->rowCount(), 3);
    QCOMPARE(Cell(grid, 0, 2), QStringLiteral("1.6"));
    QVERIFY(!Find<QPushButton>(dialog, "but_Save")->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isHidden());
    QVERIFY(!dialog.Saved());
  }

  void editorSavesTheGridAndCorrectsThePhotos() {
    CropStore store = SmallStore();
    // Shown as 1.54, but saved whole when the user leaves it alone.
    store.records[0].Factor = 15384;
    PhotoStore photos;
    PhotoRecord record;
    record.make = "Canon";
    record.model = "Canon EOS 10D";
    record.focal = "35";
    record.crop = "1.6";
    record.focal35 = "56";
    photos.Append(record);
    TForm_CropAll dialog;
    dialog.FormActivate({&store, &photos, kEnglish, '.', QSize(1024, 768)});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    TypeFactor(*Find<QTableView>(dialog, "NG_All"), 0, QStringLiteral("1.5"));
    dialog.but_SaveClick();
    QCOMPARE(photos.Text(0, kCrop), std::string("1.5"));
    QCOMPARE(photos.Text(0, kFocal35), std::string("52"));
    QCOMPARE(store.records[0], (CropRecord{"Canon", "Canon EOS 10D", 15000}));
    QCOMPARE(store.records[2], (CropRecord{"Nokia", "N8-00", 15384}));
  }

  void editorSavesAnEmptyStoreWhenEveryCameraIsDeleted() {
    CropStore store = SmallStore();
    PhotoStore photos;
    TForm_CropAll dialog;
    dialog.FormActivate({&store, &photos, kEnglish, '.', QSize(1024, 768)});
    for (int row = 2; row >= 0; --row) dialog.DeleteRow(row);
    QCOMPARE(Find<QTableView>(dialog, "NG_All")->model()->rowCount(), 0);
    dialog.but_SaveClick();
    QVERIFY(dialog.Saved());
    QVERIFY(store.records.empty());
    QVERIFY(store.CropStoreChanged);
  }

  void editorSizesItselfToTheScreen() {
    // The 89 built-in cameras on a 768-pixel-high screen: whole rows within round(0.9 × 768) = 691.
    CropStore store;
    (void)LoadCropStore(store, CropFile(), '.');
    QCOMPARE(store.records.size(), size_t{89});
    PhotoStore photos;
    TForm_CropAll dialog;
    dialog.FormActivate({&store, &photos, kEnglish, '.', QSize(1024, 768)});
    const CropDialogSizes sizes = SizeCropDialog(89, 40, 768, 20, kCropDialogNonClientHeight);
    auto& grid = *Find<QTableView>(dialog, "NG_All");
    QCOMPARE(grid.height(), sizes.grid_height);
    QCOMPARE(Find<QPushButton>(dialog, "but_Save")->y(), sizes.button_top);
    QCOMPARE(Find<QPushButton>(dialog, "but_Cancel")->y(), sizes.button_top);
    QCOMPARE(dialog.height(), sizes.height - kCropDialogNonClientHeight);
    QCOMPARE(dialog.width(), 639 - kCropDialogNonClientWidth);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Whole rows show: the viewport holds a multiple of 26 pixels.
    QCOMPARE(grid.viewport()->height() % 26, 0);
    QCOMPARE(grid.viewport()->height() / 26, (sizes.grid_height - 46) / 26);
    // Centred on the screen by its design size.
    QCOMPARE(dialog.x(), (1024 - 639) / 2);
    QCOMPARE(dialog.y(), (768 - sizes.height) / 2);
  }

  // ---------------------------------------------------------------------------------------------
  // The editor through the window

  void f7SaveWritesTheFileAndRecountsTheCropCharts() {
    auto window = Open();
    QVERIFY(window);
    const std::string seeded = ReadFileBytes(CropFile());
    QVERIFY(seeded.find("Canon\tCanon EOS 7D\t1.6\t\r\n") != std::string::npos);
    Find<QRadioButton>(*window, "rb_Equivalent")->setChecked(true);
    Run(*window, known_);
    QVERIFY(window->ResultShown());
    QVERIFY(Contains(TallyTexts(window->Survey().tallyCrop), "1.6"));
    QVERIFY(Contains(TallyTexts(window->Survey().tallyFocal35), "56"));

    bool shown = false;
    auto poll1 = WhenShown("Form_CropAll", [&shown](QWidget& dialog) {
      shown = true;
      auto& grid = *Find<QTableView>(dialog, "NG_All");
      int row = -1;
      for (int r = 0; r < grid.model()->rowCount(); ++r) {
        if (Cell(grid, r, 1) == QStringLiteral("Canon EOS 7D")) row = r;
      }
      QVERIFY(row >= 0);
      TypeFactor(grid, row, QStringLiteral("1.5"));
      Find<QPushButton>(dialog, "but_Save")->click();
    });
    Find<QAction>(*window, "mmCrop")->trigger();
    QVERIFY(shown);

    // Only the edited camera's factor changes, under the regional separator; every other line of the file
    // stays as it was, in its place.
    const std::string saved = ReadFileBytes(CropFile());
    const char separator = TForm_Exif::DecimalSeparator();
    std::string expected = seeded;
    const std::string edited_line = "Canon\tCanon EOS 7D\t1.6\t\r\n";
    expected.replace(expected.find(edited_line), edited_line.size(),
                     std::string("Canon\tCanon EOS 7D\t1") + separator + "5\t\r\n");
    QCOMPARE(saved, expected);
    QVERIFY(!window->Crops().CropStoreChanged);

    // The photos of that camera: crop 1.5, 35 mm focal round(1.5 × 35) = 52 and 75; NIKON unchanged.
    const SurveyState& survey = window->Survey();
    const std::vector<std::string> crops = TallyTexts(survey.tallyCrop);
    QVERIFY(Contains(crops, "1.5"));
    QVERIFY(!Contains(crops, "1.6"));
    const std::vector<std::string> focal35 = TallyTexts(survey.tallyFocal35);
    QVERIFY(Contains(focal35, "52"));
    QVERIFY(Contains(focal35, "75"));
    QVERIFY(!Contains(focal35, "56"));
    QCOMPARE(survey.filteredCount, 3);
    // The charts follow: the crop-factor pie and the focal-length bars (35 mm equivalent).
    const std::vector<std::string> crop_chart = Labels(window->Charts()[ChartId::Chart_Crop].Shown());
    QVERIFY(Contains(crop_chart, "1.5"));
    QVERIFY(!Contains(crop_chart, "1.6"));
    const std::vector<std::string> focal_chart = Labels(window->Charts()[ChartId::Chart_FocalLength].Shown());
    QVERIFY(Contains(focal_chart, "52"));
    QVERIFY(!Contains(focal_chart, "56"));
  }

  void f7ClosedWithoutSaveChangesNothing() {
    auto window = Open();
    QVERIFY(window);
    const std::string seeded = ReadFileBytes(CropFile());
    Run(*window, known_);
    const std::vector<std::string> crops = TallyTexts(window->Survey().tallyCrop);
    bool shown = false;
    auto poll2 = WhenShown("Form_CropAll", [&shown](QWidget& dialog) {
      shown = true;
      auto& editor = static_cast<TForm_CropAll&>(dialog);
      TypeFactor(*Find<QTableView>(dialog, "NG_All"), 0, QStringLiteral("9"));
      editor.DeleteRow(1);
      Find<QPushButton>(dialog, "but_Cancel")->click();
    });
    Find<QAction>(*window, "mmCrop")->trigger();
    QVERIFY(shown);
    QCOMPARE(ReadFileBytes(CropFile()), seeded);
    QCOMPARE(window->Crops().records.size(), size_t{89});
    QVERIFY(!window->Crops().CropStoreChanged);
    QVERIFY(TallyTexts(window->Survey().tallyCrop) == crops);
    // Before any run F7 opens the editor too; closing it leaves the window as it was.
    auto fresh = Open();
    auto poll3 = WhenShown("Form_CropAll", [](QWidget& dialog) { dialog.close(); });
    Find<QAction>(*fresh, "mmCrop")->trigger();
    QVERIFY(!fresh->ResultShown());
    QVERIFY(!Find<QWidget>(*fresh, "im_NoPhotoEng")->isVisible());
  }

  // ---------------------------------------------------------------------------------------------
  // The unknown-cameras dialog

  void unknownCamerasSaveOnceEveryCameraHasAFactor() {
    auto window = Open();
    QVERIFY(window);
    Find<QRadioButton>(*window, "rb_Equivalent")->setChecked(true);
    bool shown = false;
    auto poll4 = WhenShown("Form_CropNo", [&shown](QWidget& dialog) {
      shown = true;
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Unknown crop factors cameras"));
      auto& grid = *Find<QTableView>(dialog, "NG_no");
      auto& save = *Find<QPushButton>(dialog, "but_Save");
      // Each camera once, in camera order, with an empty factor.
      QCOMPARE(grid.model()->rowCount(), 2);
      QCOMPARE(grid.model()->columnCount(), 3);
      QCOMPARE(Cell(grid, 0, 1), QStringLiteral("Acme X1"));
      QCOMPARE(Cell(grid, 1, 1), QStringLiteral("Zeta Z"));
      QCOMPARE(Cell(grid, 0, 2), QString());
      QVERIFY(!save.isEnabled());
      // A zero leaves the cell empty; Save stays disabled.
      TypeFactor(grid, 0, QStringLiteral("0"));
      QCOMPARE(Cell(grid, 0, 2), QString());
      QVERIFY(!save.isEnabled());
      TypeFactor(grid, 0, QStringLiteral("5,"));
      QCOMPARE(Cell(grid, 0, 2), QStringLiteral("5") + QChar::fromLatin1(TForm_Exif::DecimalSeparator()) + "0");
      QVERIFY(!save.isEnabled());
      // Escape does not close this dialog.
      QTest::keyClick(&dialog, Qt::Key_Escape);
      QVERIFY(dialog.isVisible());
      TypeFactor(grid, 1, QStringLiteral("1.5"));
      QVERIFY(save.isEnabled());
      save.click();
    });
    Run(*window, unknown_);
    QVERIFY(shown);
    QVERIFY(window->ResultShown());
    // Appended in camera order, written at once; the list is empty.
    const std::vector<CropRecord>& records = window->Crops().records;
    QCOMPARE(records.size(), size_t{91});
    QCOMPARE(records[89], (CropRecord{"Acme", "Acme X1", 50000}));
    QCOMPARE(records[90], (CropRecord{"Zeta", "Zeta Z", 15000}));
    QVERIFY(window->Survey().UnknownCameras.empty());
    const std::string saved = ReadFileBytes(CropFile());
    QVERIFY(saved.find("Acme\tAcme X1\t5\r\n") != std::string::npos);
    QVERIFY(saved.find(std::string("Zeta\tZeta Z\t1") + TForm_Exif::DecimalSeparator() + "5\r\n") != std::string::npos);
    QVERIFY(Find<QCheckBox>(*window, "cb_CF")->isChecked());
    // The photos recounted: Acme 10 mm and 12 mm × 5 give 50 and 60, Zeta 20 mm × 1.5 gives 30.
    const std::vector<std::string> crops = TallyTexts(window->Survey().tallyCrop);
    QVERIFY(Contains(crops, "5"));
    QVERIFY(Contains(crops, "1.5"));
    QVERIFY(!Contains(crops, "5.5"));
    const std::vector<std::string> focal35 = TallyTexts(window->Survey().tallyFocal35);
    QVERIFY(Contains(focal35, "50"));
    QVERIFY(Contains(focal35, "60"));
    QVERIFY(Contains(focal35, "30"));
    QVERIFY(Contains(Labels(window->Charts()[ChartId::Chart_FocalLength].Shown()), "60"));
    // A second run of the same folder asks nothing.
    bool asked_again = false;
    auto poll5 = WhenShown("Form_CropNo", [&asked_again](QWidget& dialog) {
      asked_again = true;
      dialog.close();
    });
    Run(*window, unknown_);
    QCoreApplication::processEvents();
    QVERIFY(!asked_again);
  }

  void unknownCamerasAutoKeepsTheAutomaticFactorsAndUnticksTheOption() {
    auto window = Open();
    QVERIFY(window);
    bool shown = false;
    auto poll6 = WhenShown("Form_CropNo", [&shown](QWidget& dialog) {
      shown = true;
      auto& grid = *Find<QTableView>(dialog, "NG_no");
      TypeFactor(grid, 0, QStringLiteral("4"));
      // Too long for one line of the button: broken in two.
      QCOMPARE(Find<QPushButton>(dialog, "but_Auto")->text().replace(QLatin1Char('\n'), QLatin1Char(' ')),
               QStringLiteral("Use automatic values of crop factors"));
      Find<QPushButton>(dialog, "but_Auto")->click();
      QCOMPARE(Cell(grid, 0, 2), QString());
    });
    Run(*window, unknown_);
    QVERIFY(shown);
    auto* cb_CF = Find<QCheckBox>(*window, "cb_CF");
    QVERIFY(!cb_CF->isChecked());
    auto& dialog = *Find<TForm_CropNo>(*window, "Form_CropNo");
    QVERIFY(dialog.Automatic());
    QVERIFY(!dialog.Saved());
    QCOMPARE(window->Crops().records.size(), size_t{89});
    QVERIFY(!window->Crops().CropStoreChanged);
    // The automatic factors stay: 55 / 10 gives 5.5, 66 / 12 gives 5.5, 30 / 20 gives 1.5.
    QVERIFY(Contains(TallyTexts(window->Survey().tallyCrop), "5.5"));
    QCOMPARE(window->Survey().UnknownCameras.size(), size_t{2});

    // Ticking cb_CF after the run asks at once for the cameras still listed, their factors empty again.
    bool asked = false;
    auto poll7 = WhenShown("Form_CropNo", [&asked](QWidget& shown_dialog) {
      asked = true;
      auto& grid = *Find<QTableView>(shown_dialog, "NG_no");
      QCOMPARE(grid.model()->rowCount(), 2);
      QCOMPARE(Cell(grid, 0, 2), QString());
      QVERIFY(!Find<QPushButton>(shown_dialog, "but_Save")->isEnabled());
      // The close button: as Auto, without its flag.
      shown_dialog.close();
    });
    cb_CF->setChecked(true);
    QVERIFY(asked);
    QVERIFY(!cb_CF->isChecked());
    QVERIFY(!dialog.Automatic());
    QVERIFY(!dialog.Saved());
    QCOMPARE(window->Crops().records.size(), size_t{89});
    // With cb_CF off a run asks nothing.
    bool asked_again = false;
    auto poll8 = WhenShown("Form_CropNo", [&asked_again](QWidget& again) {
      asked_again = true;
      again.close();
    });
    Run(*window, unknown_);
    QCoreApplication::processEvents();
    QVERIFY(!asked_again);
  }

  void unknownCamerasCaptionsInRussianAndSizing() {
    std::vector<UnknownCamera> cameras = {{"Zeta", "Zeta Z"}, {"Acme", "Acme X1"}, {"Acme", "Acme X2"}};
    bool unticked = false;
    TForm_CropNo dialog;
    dialog.FormActivate({&cameras, kRussian, ',', QSize(1280, 1024), [&unticked] { unticked = true; }});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Неизвестные кроп-факторы фотоаппаратов"));
    QCOMPARE(Find<QPushButton>(dialog, "but_Save")->text(),
             QStringLiteral("Сохранить введенные\nзначения кроп-факторов"));
    auto& grid = *Find<QTableView>(dialog, "NG_no");
    QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Кроп-фактор"));
    QCOMPARE(cameras[0].model, std::string("Acme X1"));
    const CropDialogSizes sizes = SizeCropDialog(3, 40, 1024, 20, kCropDialogNonClientHeight);
    QCOMPARE(grid.height(), sizes.grid_height);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(grid.viewport()->height(), 3 * 26);
    QCOMPARE(Find<QPushButton>(dialog, "but_Auto")->y(), sizes.button_top);
    QCOMPARE(dialog.width(), 560 - kCropDialogNonClientWidth);
    // Three cameras: Save only after the third factor, typed with a comma separator.
    TypeFactor(grid, 0, QStringLiteral("2.5"));
    TypeFactor(grid, 1, QStringLiteral("3"));
    QVERIFY(!Find<QPushButton>(dialog, "but_Save")->isEnabled());
    TypeFactor(grid, 2, QStringLiteral("4,"));
    QCOMPARE(Cell(grid, 2, 2), QStringLiteral("4,0"));
    QCOMPARE(Cell(grid, 0, 2), QStringLiteral("2,5"));
    QVERIFY(Find<QPushButton>(dialog, "but_Save")->isEnabled());
    dialog.but_SaveClick();
    QVERIFY(dialog.Saved());
    QVERIFY(!unticked);
    QCOMPARE(dialog.Cameras()[0], (CropRecord{"Acme", "Acme X1", 25000}));
    QCOMPARE(dialog.Cameras()[2], (CropRecord{"Zeta", "Zeta Z", 40000}));
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::CropDialogsTest)
#include "CropDialogsTest.moc"
