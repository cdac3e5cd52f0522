#include "filter/FilterSummary.h"

#include "numbers/FixedPoint.h"

namespace lumetra {
namespace {

constexpr TextPair kFrom{"от", "from"};
constexpr TextPair kTo{"до", "to"};

// The item texts of the category lists, in the order of the category boxes.
constexpr std::array<TextPair, 14> kCategoryItems = {{
    {"Ручной", "Manual"},
    {"Приоритет диафрагмы", "Aperture priority"},
    {"Приоритет выдержки", "Shutter priority"},
    {"Програмный / Зеленая зона", "Normal"},
    {"Спорт", "Sport"},
    {"Портрет", "Portrait"},
    {"Пейзаж", "Landscape"},
    {"Другой", "Other"},
    {"Центровзвешенный", "Average"},
    {"Точечный", "Spot"},
    {"Частичный", "Partial"},
    {"Матричный", "Multi-Segment"},
    {"Многоточечный", "Multi-Spot"},
    {"Другой", "Other"},
}};

constexpr int kTopOfFirstRow = 5;
constexpr int kRowStep = 20;
constexpr int kListLineStep = 13;
constexpr int kBoxMargin = 10;
constexpr int kScrollBoxInset = 14;
constexpr double kLargestShareOfPanel = 0.4;

// A bound row: the head, then " from <prefix><bound><unit>" and " to ..." for the bounds that are set.
struct BoundRow {
  std::string_view control;
  TextPair head;
  const std::string FilterCriteria::*from;
  const std::string FilterCriteria::*to;
  std::string_view prefix;
  TextPair unit;
};

const BoundRow kBoundRows[] = {
    {"lb_ShutterSpeed",
     {"Выдержка", "Exposure"},
     &FilterCriteria::ed_from1,
     &FilterCriteria::ed_to1,
     " ",
     {"с", "sec"}},
    {"lb_Fnumber", {"Диафрагма", "F Number"}, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2, " F/", {"", ""}},
    {"lb_FocalLength",
     {"Фокусное расстояние", "Focal Length"},
     &FilterCriteria::ed_from3,
     &FilterCriteria::ed_to3,
     " ",
     {"мм", "mm"}},
    {"lb_ISO", {"ИСО", "ISO"}, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4, " ", {"", ""}},
    {"lb_Date", {"Дата", "Date"}, &FilterCriteria::ed_from5, &FilterCriteria::ed_to5, " ", {"", ""}},
    {"lb_Hours", {"Часы", "Hours"}, &FilterCriteria::ed_from6, &FilterCriteria::ed_to6, " ", {"", ""}},
};

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) text.append(part);
  return text;
}

std::optional<SummaryLabel> BoundLabel(const BoundRow& row, const FilterCriteria& criteria, Language language) {
  const std::string& from = criteria.*row.from;
  const std::string& to = criteria.*row.to;
  if (from.empty() && to.empty()) return std::nullopt;
  std::string text(row.head.In(language));
  for (const auto& [bound, word] : {std::pair{&from, kFrom}, std::pair{&to, kTo}}) {
    if (!bound->empty()) text += Join({" ", word.In(language), row.prefix, *bound, row.unit.In(language)});
  }
  return SummaryLabel{.control = row.control, .text = std::move(text), .list_lines = 0};
}

// A head followed by one "\r   - item" line per item admitted; shown only when something is left out.
class ListLabel {
 public:
  ListLabel(std::string_view control, std::string_view head) : label_{.control = control, .text = std::string(head)} {}
  void Add(bool admitted, std::string_view item) {
    if (!admitted) {
      something_left_out_ = true;
      return;
    }
    label_.text += Join({"\r   - ", item});
    ++label_.list_lines;
  }
  void AddTo(std::vector<SummaryLabel>& labels) && {
    if (something_left_out_) labels.push_back(std::move(label_));
  }

 private:
  SummaryLabel label_;
  bool something_left_out_ = false;
};

void AddCategoryList(BoxGroup group, std::string_view control, TextPair head, const FilterCriteria& criteria,
                     Language language, std::vector<SummaryLabel>& labels) {
  ListLabel list(control, Join({head.In(language), ":"}));
  for (size_t i = 0; i < kCategoryBoxes.size(); ++i) {
    if (kCategoryBoxes[i].group == group) list.Add(criteria.*kCategoryBoxes[i].box, kCategoryItems[i].In(language));
  }
  std::move(list).AddTo(labels);
}

void AddCheckList(const std::vector<CheckEntry>& entries, std::string_view control, TextPair head, Language language,
                  std::vector<SummaryLabel>& labels) {
  ListLabel list(control, head.In(language));
  for (const CheckEntry& entry : entries) list.Add(entry.checked, entry.text);
  std::move(list).AddTo(labels);
}

void AddChoice(bool first, bool second, std::string_view control, std::string_view prefix, TextPair first_text,
               TextPair second_text, Language language, std::vector<SummaryLabel>& labels) {
  if (!first && !second) return;
  labels.push_back(SummaryLabel{
      .control = control, .text = Join({prefix, (first ? first_text : second_text).In(language)}), .list_lines = 0});
}

}  // namespace

const std::array<std::string_view, 12> kSummaryLabelNames = {
    "lb_ShutterSpeed", "lb_Fnumber", "lb_FocalLength", "lb_ISO",   "lb_Date", "lb_Hours",
    "lb_Program",      "lb_Flash",   "lb_Orientation", "lb_Model", "lb_Lens", "lb_Meter",
};

std::vector<SummaryLabel> BuildFilterSummary(const FilterCriteria& criteria, Language language) {
  std::vector<SummaryLabel> labels;
  for (const BoundRow& row : kBoundRows) {
    if (std::optional<SummaryLabel> label = BoundLabel(row, criteria, language)) labels.push_back(std::move(*label));
  }
  AddCategoryList(BoxGroup::kProgram, "lb_Program", {"Режим съемки", "Program"}, criteria, language, labels);
  AddChoice(criteria.rb_Flash_Yes, criteria.rb_Flash_No, "lb_Flash", "", {"Вспышка включена", "Flash on"},
            {"Вспышка выключена", "Flash off"}, language, labels);
  const std::string orientation = Join({TextPair{"Ориентация", "Orientation"}.In(language), " "});
  AddChoice(criteria.rb_Orientation_H, criteria.rb_Orientation_V, "lb_Orientation", orientation,
            {"горизонтальная", "horizontal"}, {"вертикальная", "vertical"}, language, labels);
  AddCheckList(criteria.ModelChecks, "lb_Model", {"Фотоаппараты:", "Models:"}, language, labels);
  AddCheckList(criteria.LensChecks, "lb_Lens", {"Объективы:", "Lenses:"}, language, labels);
  AddCategoryList(BoxGroup::kMetering, "lb_Meter", {"Замер экспозициии", "Metering mode"}, criteria, language, labels);
  return labels;
}

SummaryLayout LayOutFilterSummary(const std::vector<SummaryLabel>& labels, int64_t koef, int panel_height) {
  SummaryLayout layout;
  const int list_line_step =
      static_cast<int>(Round(static_cast<double>(kListLineStep) * static_cast<double>(koef) / kFixedPointUnit));
  int y = kTopOfFirstRow;
  for (const SummaryLabel& label : labels) {
    layout.tops.push_back(y);
    y += kRowStep + label.list_lines * list_line_step;
  }
  if (panel_height > 0 && static_cast<double>(y) / panel_height < kLargestShareOfPanel) {
    layout.filter_box_height = y + kBoxMargin;
  } else {
    layout.filter_box_height = static_cast<int>(Round(kLargestShareOfPanel * panel_height));
  }
  layout.sb_filter_height = layout.filter_box_height - kScrollBoxInset;
  return layout;
}

}  // namespace lumetra
