#include "survey/Labels.h"

#include <array>
#include <string_view>

namespace lumetra {
namespace {

struct LabelPair {
  LabelId id;
  std::string_view russian;
  std::string_view english;
};

constexpr LabelPair kLabels[] = {
    {LabelId::NotDeterminedM, "Не определен", "n/a"},
    {LabelId::NotDeterminedF, "Не определена", "n/a"},
    {LabelId::NotDeterminedN, "Не определено", "n/a"},
    {LabelId::LabelManual, "Ручной", "Manual"},
    {LabelId::LabelAperturePriority, "Приоритет\rдиафрагмы", "Aperture\rpriority"},
    {LabelId::LabelShutterPriority, "Приоритет\rвыдержки", "Shutter\rpriority"},
    {LabelId::LabelNormal, "Програмный\rЗеленая зона", "Normal"},
    {LabelId::LabelSport, "Спорт", "Sport"},
    {LabelId::LabelPortrait, "Портрет", "Portrait"},
    {LabelId::LabelLandscape, "Пейзаж", "Landscape"},
    {LabelId::LabelCreative, "Творческий", "Creative"},
    {LabelId::LabelAverage, "Центровзвешенный", "Average"},
    {LabelId::LabelPartial, "Частичный", "Partial"},
    {LabelId::LabelSpot, "Точечный", "Spot"},
    {LabelId::LabelMultiSegment, "Матричный", "Multi-Segment"},
    {LabelId::LabelMultiSpot, "Многоточечный", "Multi-Spot"},
    {LabelId::LabelFlashOn, "Вспышка", "Flash"},
    {LabelId::LabelFlashOff, "Без вспышки", "No Flash"},
    {LabelId::LabelHorizontal, "Горизонтальная", "Horizontal"},
    {LabelId::LabelVertical, "Вертикальная", "Vertical"},
    {LabelId::LabelSingle, "Покадровая съемка", "Single"},
    {LabelId::LabelSerial, "Серийная съемка", "Serial"},
    {LabelId::FocusOneShot, "One-Shot", "One-Shot"},
    {LabelId::FocusAIServo, "AI Servo", "AI Servo"},
    {LabelId::FocusAIFocus, "AI Focus", "AI Focus"},
    {LabelId::FocusManual, "Manual Focus", "Manual Focus"},
    {LabelId::WeekdayMonday, "Пн", "Monday"},
    {LabelId::WeekdayTuesday, "Вт", "Tuesday"},
    {LabelId::WeekdayWednesday, "Ср", "Wednesday"},
    {LabelId::WeekdayThursday, "Чт", "Thursday"},
    {LabelId::WeekdayFriday, "Пт", "Friday"},
    {LabelId::WeekdaySaturday, "Сб", "Saturday"},
    {LabelId::WeekdaySunday, "Вс", "Sunday"},
};

// The pairs by id, found when the program is built: every photo record asks for several labels.
constexpr auto kLabelsById = [] {
  std::array<const LabelPair*, 256> by_id{};
  for (const LabelPair& label : kLabels) {
    if (by_id[static_cast<size_t>(label.id)] == nullptr) by_id[static_cast<size_t>(label.id)] = &label;
  }
  return by_id;
}();

}  // namespace

std::string LabelText(LabelId id, Language language) { return std::string(LabelView(id, language)); }

std::string_view LabelView(LabelId id, Language language) {
  const LabelPair* const label = kLabelsById[static_cast<size_t>(id)];
  if (label == nullptr) return {};
  return language == kRussian ? label->russian : label->english;
}

}  // namespace lumetra
