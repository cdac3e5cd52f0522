#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "charts/ChartCatalog.h"
#include "survey/Labels.h"

namespace lumetra {

/// The caption of a control or menu item, found by the control's object name.
struct ControlText {
  std::string_view control;
  TextPair text;
};

/// The control captions of the main window the language switch sets.
extern const std::span<const ControlText> kControlCaptions;
/// The main menu's items and the chart pop-up menu's; a command's caption is found by its name.
extern const std::span<const ControlText> kMenuCaptions;
/// The tab captions, in tab order, from the chart table; tab 8 in its short form.
inline constexpr std::array<TextPair, kTabCount> kTabCaptions = TabCaptions();
/// Tab 8 while the left panel is hidden: there is room for the whole word.
inline constexpr TextPair kAdditionalTabLong{"ДОПОЛНИТЕЛЬНЫЕ", "ADDITIONAL"};

/// Captions that read the same in both languages.
inline constexpr std::string_view kStopCaption = "Стоп";
inline constexpr std::string_view kEnglishCaption = "English";
inline constexpr std::string_view kRussianCaption = "Русский";

/// What a run says when its folder is gone or cannot be listed, after the folder's path and ": ".
inline constexpr TextPair kFolderCannotBeOpened{"папку нельзя открыть", "the folder cannot be opened"};
inline constexpr TextPair kFolderCannotBeRead{"папку нельзя прочитать", "the folder cannot be read"};

/// Status panel 2.
/// Before the records cache's own line (English, naming the file) when a run could not use it.
inline constexpr TextPair kRecordsNotUsed{"Память прочитанного: ", "Photos already read: "};
inline constexpr TextPair kCreditLine{"Lumetra: как сняты ваши фотографии", "Lumetra: how your photos were taken"};

}  // namespace lumetra
