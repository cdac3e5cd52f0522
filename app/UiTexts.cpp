#include "app/UiTexts.h"

#include "filter/FilterDialogTexts.h"

namespace lumetra {

namespace {

constexpr ControlText kControlCaptionRows[] = {
    {"but_Run", {"Запуск", "Run"}},
    {"but_Exit", {"Выход", "Exit"}},
    {"Filter_Box", {" Фильтр ", " Filter "}},
    {"lb_Filter", {"Фильтр Отсутствует", "No Filter"}},
    {"Box_Settings", {" Настройки ", " Settings "}},
    {"lb_Lang", {"Язык", "Language"}},
    {"lb_FL", {"Фокусное", "Focal"}},
    {"rb_Real", {"Реальное", "Real"}},
    {"rb_Equivalent", {"Эквивалентное в 35мм", "Equivalent in 35mm"}},
    {"lb_Axis", {"Шкала по оси OX", "Scale on the axis OX"}},
    {"rb_Text", {"Текстовая", "Text"}},
    {"rb_Linear", {"Линейная", "Linear"}},
    {"cb_CF", {"Вводить кроп-факторы неизвестных ф/а", "Enter crop-factors unknown cameras"}},
    {"cb_SubFolders", {"Искать в подпапках", "Search in subfolders"}},
    {"cb_HideLeft", {"Разворачивать диаграммы при запуске (F4)", "Expand the charts at startup (F4)"}},
};

constexpr ControlText kMenuCaptionRows[] = {
    {"mSettings", {"Настройки", "Settings"}},
    {"mmHideLeft", {"Свернуть/развернуть левую панель", "Expand/collapse the left panel"}},
    {"mmRun", {"Запуск программы", "Run the program"}},
    {"mmShortcut", {"Создание списка ярлыков фотографий", "Create a list of shortcuts photos"}},
    {"mmCrop", {"Редактировать базу данных кроп-фактора", "Edit the database crop factor"}},
    {"mmAllFormats", {"Учитывать файлы RAW и HEIC", "Include RAW and HEIC files"}},
    {"mmRememberPhotos", {"Запоминать прочитанные фотографии", "Remember photos already read"}},
    {"mmPreviousFilter", kPreviousFilterCommand},
    {"mmSkipped", {"Непрочитанные папки и файлы", "Folders and files not read"}},
    {"mmExit", {"Выход из программы", "Exit from the program"}},
    {"mSaveJPEG", {"Сохранить диаграмму в JPEG", "Save the diagram as JPEG"}},
    {"mSaveTXT", {"Сохранить диаграмму в TXT", "Save the chart as TXT"}},
    {"mChangeType", {"Сменить тип диаграммы", "Change the chart type"}},
};

}  // namespace

const std::span<const ControlText> kControlCaptions = kControlCaptionRows;
const std::span<const ControlText> kMenuCaptions = kMenuCaptionRows;

}  // namespace lumetra
