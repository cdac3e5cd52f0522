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

/// What a run passed over: the status bar's note (%1 the count, a button that opens the list) and the
/// list's dialog.
inline constexpr TextPair kSkippedNote{"Не прочитано: %1", "Not read: %1"};
inline constexpr TextPair kSkippedNoteTip{"Какие папки и файлы не прочитаны и почему (F9)",
                                          "Which folders and files were not read, and why (F9)"};
inline constexpr TextPair kSkippedTitle{"Не прочитано", "Not read"};
inline constexpr TextPair kSkippedSummary{"Папки и файлы, которые запуск пропустил (%1), и причины:",
                                          "Folders and files the run passed over (%1), and why:"};
inline constexpr TextPair kSkippedPathColumn{"Папка или файл", "Folder or file"};
inline constexpr TextPair kSkippedReasonColumn{"Причина", "Reason"};
inline constexpr TextPair kSkippedClose{"Закрыть", "Close"};

/// Status panel 2.
/// Before the records cache's own line (English, naming the file) when a run could not use it.
inline constexpr TextPair kRecordsNotUsed{"Память прочитанного: ", "Photos already read: "};
inline constexpr TextPair kCreditLine{"Lumetra: как сняты ваши фотографии", "Lumetra: how your photos were taken"};

}  // namespace lumetra
