#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumetra::testing {

/// The shared folder of real camera photos: $LUMETRA_CORPUS, else the one beside the project.
/// Empty when neither exists; tests that need it skip then.
[[nodiscard]] std::optional<std::filesystem::path> CorpusFolder();

/// One row of the corpus manifest: the file (relative to the corpus folder) and its IFD0 Make and Model
/// (both empty for a photo without Exif).
struct CorpusPhoto {
  std::string file;
  std::string make;
  std::string model;
};

/// The rows of a tab-separated manifest after its header line, each cut into its columns.
[[nodiscard]] std::vector<std::vector<std::string>> ManifestRows(const std::filesystem::path& manifest_file);

/// The rows of the corpus manifest; empty when the corpus is absent.
[[nodiscard]] std::vector<CorpusPhoto> CorpusPhotos();

/// The shared folder of HEIF, AVIF and RAW files: $LUMETRA_FORMATS_CORPUS, else the one beside the project.
/// Empty when neither exists; tests that need it skip then.
[[nodiscard]] std::optional<std::filesystem::path> FormatsCorpusFolder();

/// Why a test that needs the corpus was skipped.
inline constexpr const char* kNoCorpus = "the photo corpus folder (../shared/corpus or $LUMETRA_CORPUS) is not there";

/// Why a test that needs the formats corpus was skipped.
inline constexpr const char* kNoFormatsCorpus =
    "the formats corpus folder (../shared/formats-corpus or $LUMETRA_FORMATS_CORPUS) is not there";

}  // namespace lumetra::testing

/// In a test body: `variable` := the corpus folder, or the test is skipped, saying why.
#define LUMETRA_CORPUS_OR_SKIP(variable)                                                    \
  const std::optional<std::filesystem::path> variable = ::lumetra::testing::CorpusFolder(); \
  if (!variable) GTEST_SKIP() << ::lumetra::testing::kNoCorpus
