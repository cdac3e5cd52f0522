#pragma once

#include <string>

#include "survey/PhotoRecord.h"

namespace lumetra::testing {

/// A photo record with sensible known values (English labels), changed field by field in tests.
inline PhotoRecord SamplePhoto(const std::string& path = "/photos/a.jpg") {
  PhotoRecord record;
  record.path = path;
  record.exposure = "1/125";
  record.fNumber = "5.6";
  record.focal = "50";
  record.focal35 = "80";
  record.iso = "100";
  record.SetLabel(kProgram, LabelId::LabelNormal, kEnglish);
  record.SetLabel(kMetering, LabelId::LabelMultiSegment, kEnglish);
  record.SetLabel(kFlash, LabelId::LabelFlashOff, kEnglish);
  record.SetLabel(kOrientation, LabelId::LabelHorizontal, kEnglish);
  record.model = "Canon EOS 40D";
  record.lens = "18-55 mm";
  record.make = "Canon";
  record.crop = "1.6";
  record.SetLabel(kDrive, LabelId::LabelSingle, kEnglish);
  record.SetLabel(kFocus, LabelId::FocusOneShot, kEnglish);
  return record;
}

/// `record` with `field` undetermined (its label in `language`).
inline PhotoRecord Undetermined(PhotoRecord record, int field, LabelId label, Language language = kEnglish) {
  record.SetLabel(field, label, language);
  return record;
}

}  // namespace lumetra::testing
