#pragma once

#include <string>
#include <string_view>

#include "survey/Labels.h"

namespace lumetra {

/// Why a run passed over a folder or file, in `language`. The survey gives its reasons in English, as the
/// command line prints them (the system's own error texts and a few of its own); the window shows those it
/// knows in Russian too, and any other as it is.
[[nodiscard]] std::string SkippedReasonIn(std::string_view reason, Language language);

}  // namespace lumetra
