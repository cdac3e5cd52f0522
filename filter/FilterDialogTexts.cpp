#include "filter/FilterDialogTexts.h"

namespace lumetra {

const std::array<FilterCaption, 41> kFilterCaptions = {{
    {"but_OK", {"Применить", "Apply"}},
    {"but_Clear", {"Очистить", "Clear"}},
    {"but_Flash", {"Очистить", "Clear"}},
    {"but_Orientation", {"Очистить", "Clear"}},
    {"but_Close", {"Отменить", "Cancel"}},
    {"Box_ShutterSpeed", {" Выдержка, сек ", " Shutter Speed, sec "}},
    {"Box_Fnumber", {" Диафрагма ", " F Number "}},
    {"Box_FocalLength", {" Фокусное растояние, мм ", " Focal Length, mm "}},
    {"Box_ISO", {" ИСО ", " ISO "}},
    {"Box_Program", {" Режим съемки ", " Program "}},
    {"Box_Meter", {" Замер экспозициии ", " Metering mode "}},
    {"Box_Flash", {" Вспышка ", " Flash "}},
    {"Box_Orientation", {" Ориентация ", " Orientation "}},
    {"Box_Model", {" Фотоаппарат ", " Model "}},
    {"Box_Lens", {" Объектив ", " Lens "}},
    {"rb_Flash_Yes", {"Да", "Yes"}},
    {"rb_Flash_No", {"Нет", "No"}},
    {"rb_Orientation_H", {"Горизонтальная", "Horizontal"}},
    {"rb_Orientation_V", {"Вертикальная", "Vertical"}},
    {"lb_from1", {"от", "from"}},
    {"lb_from2", {"от F/", "from F/"}},
    {"lb_from3", {"от", "from"}},
    {"lb_from4", {"от", "from"}},
    {"lb_to1", {"до", "to"}},
    {"lb_to2", {"до F/", "to F/"}},
    {"lb_to3", {"до", "to"}},
    {"lb_to4", {"до", "to"}},
    {"cb_Manual", {"Ручной", "Manual"}},
    {"cb_Aperture", {"Приоритет диафрагмы", "Aperture priority"}},
    {"cb_Shutter", {"Приоритет выдержки", "Shutter priority"}},
    {"cb_Normal", {"Програмный/Зеленая зона", "Normal"}},
    {"cb_Action", {"Спорт", "Sport"}},
    {"cb_Portrait", {"Портрет", "Portrait"}},
    {"cb_Landscape", {"Пейзаж", "Landscape"}},
    {"cb_OtherP", {"Другие", "Other"}},
    {"cb_Average", {"Центровзвешенный", "Average"}},
    {"cb_Multi_Segment", {"Матричный", "Multi-Segment"}},
    {"cb_Partial", {"Частичный", "Partial"}},
    {"cb_Spot", {"Точечный", "Spot"}},
    {"cb_Multi_Spot", {"Многоточечный", "Multi-Spot"}},
    {"cb_OtherE", {"Другие", "Other"}},
}};

const std::array<FilterCaption, 6> kTimeFilterCaptions = {{
    {"Box_Date", {" Дата, ГГГГ-ММ-ДД ", " Date, YYYY-MM-DD "}},
    {"Box_Hours", {" Часы, 0-23 ", " Hours, 0-23 "}},
    {"lb_from5", {"от", "from"}},
    {"lb_to5", {"до", "to"}},
    {"lb_from6", {"от", "from"}},
    {"lb_to6", {"до", "to"}},
}};

BoundLabelLefts BoundLabelLeftsIn(Language language) {
  if (language == kRussian) return {.from = 42, .to = 176, .to_fnumber = 177};
  return {.from = 30, .to = 185, .to_fnumber = 187};
}

}  // namespace lumetra
