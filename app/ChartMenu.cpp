#include "app/ChartMenu.h"

#include <system_error>
#include <utility>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include "app/Lumetra_main.h"
#include "app/MainWindowDesign.h"
#include "app/UiTexts.h"
#include "charts/ChartPages.h"
#include "charts/ChartPicture.h"
#include "charts/ChartTable.h"
#include "charts/ChartView.h"
#include "charts/JpegFile.h"
#include "filter/FilterDialogTexts.h"

namespace lumetra {

using namespace detail;

namespace {

constexpr std::string_view kJpegFilter = "Jpeg files (*.jpg)";
constexpr std::string_view kTextFilter = "Txt files (*.txt)";

constexpr TextPair kReplaceQuestion{"Файл «%1» уже существует. Заменить его?",
                                    "The file \"%1\" already exists. Replace it?"};
constexpr TextPair kSaveFailed{"Диаграмма не сохранена: ", "The chart was not saved: "};
constexpr TextPair kNoPointChosen{"Наведите указатель на столбец или сектор или выберите его стрелками",
                                  "Point at a bar or slice, or choose one with the arrow keys"};

QString MenuCaption(std::string_view item, Language language) {
  for (const ControlText& entry : kMenuCaptions) {
    if (entry.control == item) return ToQString(entry.text.In(language));
  }
  return {};
}

std::filesystem::path PathOf(const QString& name) { return std::filesystem::path(name.toStdU16String()); }
QString TextOf(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace

ChartMenu::ChartMenu(TForm_Exif& window, CommandDialogs dialogs)
    : QObject(&window), window_(window), dialogs_(std::move(dialogs)) {
  setObjectName("ChartMenu");
  myPopup = new QMenu(&window);
  myPopup->setObjectName("myPopup");
  const auto command = [this](const char* name, void (ChartMenu::*handler)()) {
    QAction* action = myPopup->addAction(MenuCaption(name, window_.UiLanguage()));
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  mSaveJPEG = command("mSaveJPEG", &ChartMenu::mSaveJPEGClick);
  mSaveTXT = command("mSaveTXT", &ChartMenu::mSaveTXTClick);
  mChangeType = command("mChangeType", &ChartMenu::mChangeTypeClick);
  myPopup->addSeparator();
  mOnly = command("mOnly", &ChartMenu::mOnlyClick);
  mAllBut = command("mAllBut", &ChartMenu::mAllButClick);
  // Why a command is greyed is said while the menu is open.
  connect(myPopup, &QMenu::aboutToHide, this, [this] { window_.ShowStatusNote({}); });
  tabs_ = window.findChild<QWidget*>(QStringLiteral("Tab_Exif"));
  if (tabs_ != nullptr) tabs_->installEventFilter(this);
}

bool ChartMenu::eventFilter(QObject* watched, QEvent* event) {
  const auto asks_for_menu = [event] {
    if (event->type() == QEvent::ContextMenu) {
      return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
  };
  const int tab = window_.CurrentTab();
  if (watched != tabs_ || IsOverviewTab(tab) || !asks_for_menu()) {
    return QObject::eventFilter(watched, event);
  }
  const ChartId chart = ChartOfTab(tab);
  const ChartView& view = window_.Pages().View(chart);
  if (view.isHidden()) return QObject::eventFilter(watched, event);
  Open(chart, view.mapToGlobal(view.rect().center()), view.Highlighted());
  return true;
}

void ChartMenu::Open(ChartId chart, QPoint at, std::optional<size_t> point) {
  MenuChart_ = chart;
  MenuPoint_ = point;
  const int tab = window_.CurrentTab();
  // A chart switches to its pie only on its own page.
  mChangeType->setEnabled(RowOf(chart).may_switch && tab == OwnTab(chart));
  // Charts left over from another folder's run are no result to save.
  mSaveJPEG->setEnabled(window_.ResultShown());
  mSaveTXT->setEnabled(window_.ResultShown());
  if (const QString reason = PrepareChartCommands(); !reason.isEmpty()) window_.ShowStatusNote(reason);
  myPopup->popup(at);
}

QString ChartMenu::PrepareChartCommands() {
  const Language language = window_.UiLanguage();
  const std::vector<ChartPoint>& points = window_.Charts()[*MenuChart_].Shown().Points();
  const bool chosen = MenuPoint_ && *MenuPoint_ < points.size();
  QString first_reason;
  for (const auto& [action, command] :
       {std::pair{mOnly, ChartCommand::kOnly}, std::pair{mAllBut, ChartCommand::kAllBut}}) {
    if (!chosen) {
      action->setText(ToQString((command == ChartCommand::kOnly ? kOnlyCommand : kAllButCommand).In(language)));
      action->setEnabled(false);
      if (first_reason.isEmpty()) first_reason = ToQString(kNoPointChosen.In(language));
      continue;
    }
    action->setText(ToQString(ChartCommandCaption(command, points[*MenuPoint_].label, language)));
    // Before a run ends the charts stand for no stored photos.
    if (window_.Running() || !window_.ResultShown()) {
      action->setEnabled(false);
      continue;
    }
    const FilterChange change = window_.ChartCommandChange(*MenuChart_, *MenuPoint_, command);
    action->setEnabled(change.criteria.has_value());
    if (!change.criteria && first_reason.isEmpty()) first_reason = ToQString(change.reason.In(language));
  }
  return first_reason;
}

void ChartMenu::mOnlyClick() {
  if (MenuChart_ && MenuPoint_) window_.ApplyChartCommand(*MenuChart_, *MenuPoint_, ChartCommand::kOnly);
}

void ChartMenu::mAllButClick() {
  if (MenuChart_ && MenuPoint_) window_.ApplyChartCommand(*MenuChart_, *MenuPoint_, ChartCommand::kAllBut);
}

void ChartMenu::mChangeTypeClick() {
  if (!MenuChart_ || !RowOf(*MenuChart_).may_switch) return;
  Chart& chart = window_.Charts()[*MenuChart_];
  chart.bar.active = !chart.bar.active;
  chart.pie.active = !chart.bar.active;
  ChartView& view = window_.Pages().View(*MenuChart_);
  if (!view.isHidden()) view.Refresh();
}

std::optional<std::filesystem::path> ChartMenu::ChooseFile(QAction* command, const QString& filter,
                                                           std::string_view extension) {
  const QString chosen =
      dialogs_.save_file_name(command->text(), filter, QString::fromStdString(window_.CurrentFolder()));
  if (chosen.isEmpty()) return std::nullopt;
  const std::filesystem::path file = WithExtension(PathOf(chosen), extension);
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(file, error)) &&
      !dialogs_.confirm(ToQString(kReplaceQuestion.In(window_.UiLanguage())).arg(TextOf(file)))) {
    return std::nullopt;
  }
  return file;
}

void ChartMenu::ReportSaveFailure(const std::string& failure) {
  dialogs_.error(ToQString(kSaveFailed.In(window_.UiLanguage())) + ToQString(failure));
}

void ChartMenu::mSaveJPEGClick() {
  if (!MenuChart_ || !window_.ResultShown()) return;
  const std::optional<std::filesystem::path> file = ChooseFile(mSaveJPEG, ToQString(kJpegFilter), ".jpg");
  if (!file) return;
  // The picture is drawn off-screen as the chart stands on its own page, so the page on screen, its
  // tab, sizes and visibility, is never touched, whether the file can be written or not.
  const Chart& chart = window_.Charts()[*MenuChart_];
  const std::string failure = WriteJpegFile(DrawChartPicture(chart, ExportSize(chart.id)), *file);
  if (!failure.empty()) ReportSaveFailure(failure);
}

void ChartMenu::mSaveTXTClick() {
  if (!MenuChart_ || !window_.ResultShown()) return;
  const std::optional<std::filesystem::path> file = ChooseFile(mSaveTXT, ToQString(kTextFilter), ".txt");
  if (!file) return;
  const Chart& chart = window_.Charts()[*MenuChart_];
  const std::string failure = WriteChartTable(*file, window_.Survey(), chart.id, chart.title, window_.CurrentFolder(),
                                              window_.CurrentChartSettings().rb_Real);
  if (!failure.empty()) ReportSaveFailure(failure);
}

}  // namespace lumetra
