// Writes pictures of the two crop dialogs as a person sees them, for looking at by eye: the database
// editor with the 89 built-in cameras (English, with a factor being typed, and Russian), and the
// unknown-cameras dialog with three cameras in both languages. Run under an X server.
//
//   crop_dialog_screenshots OUTPUT_FOLDER

#include <cstdio>
#include <filesystem>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "crop/CropDataAll.h"
#include "crop/CropGridModel.h"
#include "crop/CropNone.h"
#include "crop/CropStore.h"
#include "tests/support/WindowHelpers.h"

namespace {

using lumetra::testing::SaveScreenshot;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: crop_dialog_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(output);
  QTemporaryDir home;
  lumetra::CropStore store;
  (void)lumetra::LoadCropStore(store, std::filesystem::path(home.path().toStdString()) / "Lumetra_Crop.ini", '.');
  lumetra::PhotoStore photos;

  lumetra::TForm_CropAll editor;
  for (const lumetra::Language language : {lumetra::kEnglish, lumetra::kRussian}) {
    editor.FormActivate(lumetra::CropEditorSession{
        .store = &store, .photos = &photos, .language = language, .decimal_separator = ',', .screen = {1024, 768}});
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) return 1;
    auto* grid = editor.findChild<QTableView*>(QStringLiteral("NG_All"));
    grid->selectRow(2);
    if (language == lumetra::kEnglish) {
      grid->edit(grid->model()->index(4, lumetra::CropGridModel::kFactorColumn));
      QApplication::processEvents();
    }
    SaveScreenshot(editor, output,
                   language == lumetra::kEnglish ? QStringLiteral("crop-editor") : QStringLiteral("crop-editor-ru"));
    editor.hide();
  }

  lumetra::TForm_CropNo unknown;
  for (const lumetra::Language language : {lumetra::kEnglish, lumetra::kRussian}) {
    std::vector<lumetra::UnknownCamera> cameras = {{"Apple", "iPhone 5"}, {"SAMSUNG", "GT-I9300"}, {"LGE", "Nexus 4"}};
    unknown.FormActivate(lumetra::UnknownCamerasSession{.cameras = &cameras,
                                                        .language = language,
                                                        .decimal_separator = '.',
                                                        .screen = {1024, 768},
                                                        .uncheck_cb_CF = {}});
    unknown.show();
    if (!QTest::qWaitForWindowExposed(&unknown)) return 1;
    SaveScreenshot(
        unknown, output,
        language == lumetra::kEnglish ? QStringLiteral("unknown-cameras") : QStringLiteral("unknown-cameras-ru"));
    unknown.hide();
  }
  return 0;
}
