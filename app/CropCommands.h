#pragma once

namespace lumetra {

class TForm_Exif;

/// Creates the crop database editor `Form_CropAll` and the unknown-cameras dialog `Form_CropNo` once, as
/// dialogs of `window` that keep their state between showings, and binds them to the window: its command
/// F7 (`mmCrop`) opens the editor; its `unknownCamerasMet` (the end of a run that met cameras without a
/// factor, or ticking `cb_CF` while a result is shown) opens the unknown-cameras dialog. After a Save in either, the
/// crop file is rewritten whole and the stored photos are recounted and shown (counters and all charts) as after an
/// Apply of the filter; closing without Save changes nothing.
void InstallCropDialogs(TForm_Exif& window);

}  // namespace lumetra
