#include "app/CropCommands.h"

#include <QCheckBox>

#include "app/Lumetra_main.h"
#include "crop/CropDataAll.h"
#include "crop/CropEditing.h"
#include "crop/CropNone.h"
#include "crop/CropStore.h"

namespace lumetra {
namespace {

// What follows a Save in either crop dialog: the store written to the crop file at once (whole, through
// a temporary file), then the photos recounted and shown when a result is shown.
void AfterCropSave(TForm_Exif& window) {
  const CropFileResult saved =
      SaveCropStore(window.Crops(), window.ProgramFolderPath() / kCropFileName, TForm_Exif::DecimalSeparator());
  if (!saved.ok()) window.ReportError(QString::fromStdString(saved.Message()));
  if (window.ResultShown()) window.RecountAndShow();
}

}  // namespace

void InstallCropDialogs(TForm_Exif& window) {
  auto* editor = new TForm_CropAll(&window);
  auto* unknown = new TForm_CropNo(&window);

  window.Commands().Bind("mmCrop", [&window, editor] {
    const CropEditorSession session{.store = &window.Crops(),
                                    .photos = &window.Survey().Photos,
                                    .language = window.UiLanguage(),
                                    .decimal_separator = TForm_Exif::DecimalSeparator(),
                                    .screen = window.ScreenSize()};
    // A Save recounts and redraws; closing without it changes nothing.
    if (editor->Edit(session)) AfterCropSave(window);
  });

  QObject::connect(&window, &TForm_Exif::unknownCamerasMet, unknown, [&window, unknown] {
    QCheckBox* cb_CF = window.CropFactorQuery();
    const UnknownCamerasSession session{.cameras = &window.Survey().UnknownCameras,
                                        .language = window.UiLanguage(),
                                        .decimal_separator = TForm_Exif::DecimalSeparator(),
                                        .screen = window.ScreenSize(),
                                        .uncheck_cb_CF = [cb_CF] { cb_CF->setChecked(false); }};
    if (!unknown->Ask(session)) return;
    SurveyState& survey = window.Survey();
    MergeUnknownCameras(window.Crops(), unknown->Cameras(), survey.Photos, survey.UnknownCameras);
    AfterCropSave(window);
  });
}

}  // namespace lumetra
