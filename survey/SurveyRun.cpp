#include "survey/SurveyRun.h"

#include "survey/ExtractPhoto.h"

namespace lumetra {

WalkResult RunSurvey(const std::string& folder, const SurveyOptions& options, SurveyState& state,
                     FilterCriteria& criteria,
                     const std::function<int64_t(const std::string& make, const std::string& model)>& crop_factor,
                     WalkHooks hooks, const std::atomic<bool>& stopRequested) {
  state.ResetTallies(true, criteria);
  const ExtractionContext context{options.language, crop_factor, options.cb_CF, &state.UnknownCameras};
  hooks.photo = [&](const std::string& path) {
    if (std::optional<PhotoRecord> record = ExtractPhoto(path, context)) {
      state.AddPhoto(*record, criteria, options.rb_Real);
    }
  };
  WalkOptions walk;
  walk.cb_SubFolders = options.cb_SubFolders;
  walk.trace_path = options.trace_path;
  return WalkFolder(folder, walk, hooks, stopRequested);
}

}  // namespace lumetra
