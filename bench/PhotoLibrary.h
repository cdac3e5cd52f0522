#pragma once

// A photo library of 100,000 photos without files: the records ExtractPhoto gives for the corpus photos,
// each under a path of its own. The benchmarks of the stored survey and of the filter work on it.

#include <filesystem>
#include <vector>

#include "survey/FilterCriteria.h"
#include "survey/PhotoRecord.h"
#include "survey/Tallies.h"

namespace lumetra::bench {

inline constexpr int kPhotoCount = 100000;

/// $LUMETRA_CORPUS, else the corpus beside the project.
std::filesystem::path CorpusFolder();

/// The records of the corpus photos that count, in path order, read as a survey reads them (English, no crop
/// factor known, unknown cameras collected); read on first use. Empty when the corpus is missing.
const std::vector<PhotoRecord>& CorpusRecords();

/// Photo `index` of the library: the corpus records in turn, as a camera numbers them, a thousand to a
/// folder: "/photos/folder000/IMG_0000.JPG" ... "/photos/folder099/IMG_9999.JPG".
void MakePhoto(int index, PhotoRecord& record);

/// Stores and tallies the library's `count` photos in `survey`, real focal lengths.
void FillSurvey(SurveyState& survey, FilterCriteria& criteria, int count = kPhotoCount);

}  // namespace lumetra::bench
