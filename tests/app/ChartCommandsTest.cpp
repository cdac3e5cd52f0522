// The chart pop-up menu and the shortcut list in the main window, off-screen, through the object names of
// the controls; the file dialog and the message boxes answered by the test.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPieSeries>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "app/ChartCommands.h"
#include "app/ChartMenu.h"
#include "app/ChartTabs.h"
#include "app/Lumetra_main.h"
#include "charts/ChartPages.h"
#include "charts/ChartView.h"
#include "testing/DemoFolder.h"
#include "tests/charts/JpegInspection.h"
#include "tests/support/FileBytes.h"
#include "tests/support/WindowHelpers.h"
#include "text/Windows1251.h"

namespace lumetra {
namespace {

using testing::Find;

namespace fs = std::filesystem;

QString Text(const fs::path& path) { return QString::fromStdString(path.string()); }
QByteArray Bytes(const std::string& bytes) { return QByteArray::fromStdString(bytes); }

// The shortcuts in `folder`, "name -> target", sorted; files and folders left out.
QStringList Links(const fs::path& folder) {
  QStringList links;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_symlink()) {
      links << QString::fromStdString(entry.path().filename().string() + " -> " +
                                      fs::read_symlink(entry.path()).string());
    }
  }
  links.sort();
  return links;
}

// The shortcuts the list of `photos` should give when no two have the same name.
QStringList LinksOf(const std::vector<std::string>& photos) {
  QStringList links;
  for (const std::string& photo : photos) {
    links << QString::fromStdString(fs::path(photo).filename().string() + ".lnk -> " + photo);
  }
  links.sort();
  return links;
}

// "a\r\nb\r\n" as {"a", "b"}: a CR alone stays inside its line.
std::vector<std::string> CrLfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  if (start != bytes.size()) lines.push_back(bytes.substr(start) + "<no CR LF>");
  return lines;
}

}  // namespace

class ChartCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  fs::path demo_;
  fs::path twins_;
  fs::path long_names_;
  fs::path Home() const { return home_.path().toStdString(); }

  // What the dialogs were asked and will answer.
  struct SaveRequest {
    QString caption;
    QString filter;
    QString folder;
  };
  std::vector<SaveRequest> save_requests_;
  QString file_name_;  // the save dialog's answer; empty: cancelled
  QStringList questions_;
  bool replace_ = false;
  QStringList dialog_errors_;
  QStringList opened_folders_;
  bool file_manager_ = true;  // whether a folder can be opened
  QStringList window_errors_;

  CommandDialogs ScriptedDialogs() {
    CommandDialogs dialogs;
    dialogs.save_file_name = [this](const QString& caption, const QString& filter, const QString& folder) {
      save_requests_.push_back({caption, filter, folder});
      return file_name_;
    };
    dialogs.confirm = [this](const QString& question) {
      questions_ << question;
      return replace_;
    };
    dialogs.error = [this](const QString& message) { dialog_errors_ << message; };
    dialogs.open_folder = [this](const QString& folder) {
      opened_folders_ << folder;
      return file_manager_;
    };
    return dialogs;
  }

  struct Opened {
    std::unique_ptr<TForm_Exif> window;
    ChartMenu* menu = nullptr;
  };

  Opened Open() {
    auto window = std::make_unique<TForm_Exif>(
        WindowStart{{}, QSize(1024, 768), Home(), [this](const QString& message) { window_errors_ << message; }});
    ChartMenu* menu = &InstallChartCommands(*window, ScriptedDialogs());
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.get())) return {};
    return {std::move(window), menu};
  }

  static ChartView* View(TForm_Exif& window, ChartId chart) {
    return Find<ChartView>(window, QString::fromStdString(window.Charts()[chart].name));
  }

  static void Run(TForm_Exif& window, const fs::path& folder) {
    window.myTreeChange(Text(folder));
    Find<QAbstractButton>(window, "but_Run")->click();
  }

  static void SelectTab(TForm_Exif& window, int tab) {
    Find<ChartTabs>(window, "Tab_Exif")->setCurrentIndex(tab);
    window.Tab_ExifChange();
  }

  // A right click on the middle of `chart`, which opens the menu.
  static QMenu* RightClick(TForm_Exif& window, ChartId chart) {
    QWidget* viewport = View(window, chart)->viewport();
    QTest::mouseClick(viewport, Qt::RightButton, {}, viewport->rect().center());
    return Find<QMenu>(window, "myPopup");
  }

  static QAction* Item(TForm_Exif& window, const char* name) { return Find<QAction>(window, name); }

  // Opens the menu on `chart` and runs one of its items, as the user would.
  static void Choose(TForm_Exif& window, ChartId chart, const char* item) {
    QMenu* menu = RightClick(window, chart);
    QVERIFY(menu->isVisible());
    Item(window, item)->trigger();
    menu->hide();
  }

  // Where each chart stands and whether it shows, and the tab: what a save must leave as it was.
  static QString PageState(TForm_Exif& window) {
    QString state = QStringLiteral("tab %1").arg(window.CurrentTab());
    for (ChartId id : AllCharts()) {
      const ChartView* view = View(window, id);
      const QRect place = view->geometry();
      state += QStringLiteral(" | %1 %2,%3 %4x%5")
                   .arg(view->isHidden() ? "hidden" : "shown")
                   .arg(place.x())
                   .arg(place.y())
                   .arg(place.width())
                   .arg(place.height());
    }
    return state;
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    demo_ = Home() / "demo";
    testing::WriteDemoFolder(demo_);
    // Two photos of one name in different folders.
    twins_ = Home() / "twins";
    fs::create_directories(twins_ / "Sub");
    fs::copy_file(demo_ / "IMG_0001.JPG", twins_ / "IMG_0001.JPG");
    fs::copy_file(demo_ / "Holidays" / "DSC_0107.JPG", twins_ / "Sub" / "IMG_0001.JPG");
    // A photo whose name leaves no room for ".lnk".
    long_names_ = Home() / "long-names";
    fs::create_directories(long_names_);
    fs::copy_file(demo_ / "IMG_0001.JPG", long_names_ / (std::string(246, 'a') + ".JPG"));
    fs::copy_file(demo_ / "IMG_0002.JPG", long_names_ / "IMG_0002.JPG");
  }

  void init() {
    save_requests_.clear();
    file_name_.clear();
    questions_.clear();
    replace_ = false;
    dialog_errors_.clear();
    opened_folders_.clear();
    file_manager_ = true;
    window_errors_.clear();
    fs::remove_all(Home() / "TEMP");
    fs::remove_all(Home() / "out");
    fs::create_directory(Home() / "out");
  }

  void cleanup() { QCOMPARE(window_errors_, QStringList()); }

  void menuItemsFollowTheChartAndTheTab() {
    auto [window, menu] = Open();
    QVERIFY(window);
    Run(*window, demo_);
    const struct {
      int tab;
      ChartId chart;
      bool change_type;
    } cases[] = {
        {kMainTab, ChartId::Chart_ISO, false},
        {kMainTab, ChartId::Chart_Flash, false},
        {1, ChartId::Chart_ShutterSpeed, true},
        {4, ChartId::Chart_ISO, true},
        {6, ChartId::Chart_Meter, true},
        {7, ChartId::Chart_Flash, false},
        {kAdditionalTab, ChartId::Chart_Make, false},
        {12, ChartId::Chart_Make, false},
        {15, ChartId::Chart_Lens, false},
        {kTimeTab, ChartId::Chart_Hour, false},
        {17, ChartId::Chart_Date, true},
        {18, ChartId::Chart_Weekday, true},
    };
    for (const auto& c : cases) {
      SelectTab(*window, c.tab);
      QMenu* popup = RightClick(*window, c.chart);
      const QString trace = QStringLiteral("tab %1, %2").arg(c.tab).arg(View(*window, c.chart)->objectName());
      QVERIFY2(popup->isVisible(), qPrintable(trace));
      QVERIFY2(menu->MenuChart() == c.chart, qPrintable(trace));
      QVERIFY2(Item(*window, "mChangeType")->isEnabled() == c.change_type, qPrintable(trace));
      QVERIFY2(Item(*window, "mSaveJPEG")->isEnabled(), qPrintable(trace));
      QVERIFY2(Item(*window, "mSaveTXT")->isEnabled(), qPrintable(trace));
      popup->hide();
    }
    // The items in their order, captioned in the language of the moment; the chart commands name the bar
    // or slice and are tested on their own.
    QMenu* popup = Find<QMenu>(*window, "myPopup");
    QStringList names;
    QStringList captions;
    for (const QAction* action : popup->actions()) {
      if (action->isSeparator()) continue;
      names << action->objectName();
      captions << action->text();
    }
    QCOMPARE(names, QStringList({"mSaveJPEG", "mSaveTXT", "mChangeType", "mOnly", "mAllBut"}));
    QCOMPARE(captions.mid(0, 3),
             QStringList({"Save the diagram as JPEG", "Save the chart as TXT", "Change the chart type"}));
    Find<QAbstractButton>(*window, "rb_Rus")->click();
    QCOMPARE(Item(*window, "mSaveTXT")->text(), QStringLiteral("Сохранить диаграмму в TXT"));
    // A left click is no menu: it opens the chart's page.
    SelectTab(*window, kMainTab);
    QTest::mouseClick(View(*window, ChartId::Chart_Drive)->viewport(), Qt::LeftButton);
    QVERIFY(!popup->isVisible());
    QCOMPARE(window->CurrentTab(), 11);
  }

  void theKeyboardOpensTheMenu() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    SelectTab(*window, 2);
    ChartView* view = View(*window, ChartId::Chart_Fnumber);
    QMenu* popup = Find<QMenu>(*window, "myPopup");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(popup->isVisible());
    QVERIFY(menu->MenuChart() == ChartId::Chart_Fnumber);
    QVERIFY(Item(*window, "mChangeType")->isEnabled());
    popup->hide();
    // The context-menu key.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view, &key);
    QVERIFY(popup->isVisible());
    popup->hide();
    // F10 alone still exits: Shift+F10 is not taken for it.
    QVERIFY(window->isVisible());

    // On the tabs: the chart shown alone, none on an overview.
    auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
    SelectTab(*window, 13);
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(popup->isVisible());
    QVERIFY(menu->MenuChart() == ChartId::Chart_Crop);
    QVERIFY(!Item(*window, "mChangeType")->isEnabled());
    popup->hide();
    SelectTab(*window, kAdditionalTab);
    QContextMenuEvent on_tabs(QContextMenuEvent::Keyboard, QPoint(5, 5), tabs->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(tabs, &on_tabs);
    QVERIFY(!popup->isVisible());
    QVERIFY(menu->MenuChart() == ChartId::Chart_Crop);
  }

  void changeTypeAlternatesBarsAndPieOfAChartAlone() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    // A value chart and a time chart, each alone on its tab.
    for (const auto& [tab, chart] : {std::pair{2, ChartId::Chart_Fnumber}, std::pair{19, ChartId::Chart_Hour}}) {
      SelectTab(*window, tab);
      const Chart& model = window->Charts()[chart];
      ChartView* view = View(*window, chart);
      const auto shows_pie = [view] {
        const QList<QAbstractSeries*> series = view->chart()->series();
        return series.size() == 1 && qobject_cast<QPieSeries*>(series.front()) != nullptr;
      };
      QVERIFY(!shows_pie());
      Choose(*window, chart, "mChangeType");
      QVERIFY(!model.bar.active && model.pie.active);
      QVERIFY(shows_pie());
      Choose(*window, chart, "mChangeType");
      QVERIFY(model.bar.active && !model.pie.active);
      QVERIFY(!shows_pie());
    }
    SelectTab(*window, 2);
    const Chart& model = window->Charts()[ChartId::Chart_Fnumber];
    // On the overview the item is disabled and changes nothing.
    SelectTab(*window, kMainTab);
    Choose(*window, ChartId::Chart_Fnumber, "mChangeType");
    QVERIFY(model.bar.active && !model.pie.active);
    // A category pie has no other form.
    SelectTab(*window, 7);
    const bool flash_active = window->Charts()[ChartId::Chart_Flash].pie.active;
    RightClick(*window, ChartId::Chart_Flash)->hide();
    menu->mChangeTypeClick();
    QCOMPARE(window->Charts()[ChartId::Chart_Flash].pie.active, flash_active);
  }

  void jpegSaveWritesTheChartAtItsExportSizeAndKeepsThePage() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    const struct {
      int tab;
      ChartId chart;
      const char* name;
      int width;
      int height;
    } cases[] = {
        {kMainTab, ChartId::Chart_ISO, "iso", 2000, 1000},
        {4, ChartId::Chart_ISO, "iso alone", 2000, 1000},
        {kMainTab, ChartId::Chart_Flash, "flash", 1000, 1000},
        {kAdditionalTab, ChartId::Chart_Model, "model", 1000, 1000},
        {5, ChartId::Chart_Program, "program", 1000, 1000},
        {kTimeTab, ChartId::Chart_Date, "date", 2000, 1000},
        {18, ChartId::Chart_Weekday, "weekday", 1000, 1000},
        {19, ChartId::Chart_Hour, "hour", 2000, 1000},
    };
    for (const auto& c : cases) {
      SelectTab(*window, c.tab);
      const QString before = PageState(*window);
      file_name_ = Text(Home() / "out" / c.name);
      Choose(*window, c.chart, "mSaveJPEG");
      const std::string bytes = testing::ReadFileBytes(Home() / "out" / (std::string(c.name) + ".jpg"));
      const testing::JpegFacts facts = testing::InspectJpeg(bytes);
      QVERIFY2(facts.frame_markers == std::vector<uint8_t>{0xC0}, c.name);
      QCOMPARE(facts.width, c.width);
      QCOMPARE(facts.height, c.height);
      QCOMPARE(facts.components, 3);
      QVERIFY(!testing::DecodeJpeg(bytes).isNull());
      QCOMPARE(PageState(*window), before);
    }
    QCOMPARE(dialog_errors_, QStringList());
    QCOMPARE(questions_, QStringList());
    // The dialog starts in the surveyed folder and offers JPEG files.
    QVERIFY(!save_requests_.empty());
    QCOMPARE(save_requests_.back().folder, Text(demo_));
    QCOMPARE(save_requests_.back().filter, QStringLiteral("Jpeg files (*.jpg)"));
    QCOMPARE(save_requests_.back().caption, QStringLiteral("Save the diagram as JPEG"));
  }

  void textSaveWritesTheTallyInWindows1251() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    const struct {
      int tab;
      ChartId chart;
      const char* title;
      const std::vector<myRecord>* rows;
    } cases[] = {
        {kMainTab, ChartId::Chart_Program, "Program", &window->Survey().tallyProgram},
        {kAdditionalTab, ChartId::Chart_Model, "Model", &window->Survey().tallyModel},
        {1, ChartId::Chart_ShutterSpeed, "Exposure", &window->Survey().tallyShutter},
        {kTimeTab, ChartId::Chart_Date, "Date", &window->Survey().tallyDate},
        {19, ChartId::Chart_Hour, "Hour", &window->Survey().tallyHour},
    };
    for (const auto& c : cases) {
      SelectTab(*window, c.tab);
      file_name_ = Text(Home() / "out" / c.title);
      Choose(*window, c.chart, "mSaveTXT");
      const std::vector<std::string> lines =
          CrLfLines(testing::ReadFileBytes(Home() / "out" / (std::string(c.title) + ".txt")));
      QCOMPARE(lines.size(), c.rows->size() + 2);
      // "Таблица для параметра "<title>" для фотографий из каталога "<folder>"", "Значение<TAB>Количество".
      QCOMPARE(Bytes(lines[0]),
               Bytes("\xD2\xE0\xE1\xEB\xE8\xF6\xE0 \xE4\xEB\xFF \xEF\xE0\xF0\xE0\xEC\xE5\xF2\xF0\xE0 \"" +
                     std::string(c.title) +
                     "\" \xE4\xEB\xFF \xF4\xEE\xF2\xEE\xE3\xF0\xE0\xF4\xE8\xE9 \xE8\xE7 "
                     "\xEA\xE0\xF2\xE0\xEB\xEE\xE3\xE0 \"" +
                     demo_.string() + "\""));
      QCOMPARE(Bytes(lines[1]),
               QByteArray("\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5\t\xCA\xEE\xEB\xE8\xF7\xE5\xF1\xF2\xE2\xEE"));
      for (size_t i = 0; i < c.rows->size(); ++i) {
        const myRecord& row = (*c.rows)[i];
        QCOMPARE(Bytes(lines[i + 2]), Bytes(Utf8ToWindows1251(row.text) + "\t" + std::to_string(row.count)));
      }
    }
    // The program chart lists its nine rows, those of no photo and the two-line labels included.
    QCOMPARE(window->Survey().tallyProgram.size(), size_t{9});
    QVERIFY(std::any_of(window->Survey().tallyProgram.begin(), window->Survey().tallyProgram.end(),
                        [](const myRecord& row) { return row.count == 0; }));
    QCOMPARE(save_requests_.back().filter, QStringLiteral("Txt files (*.txt)"));
    QCOMPARE(dialog_errors_, QStringList());
  }

  void theExtensionIsAppendedOnlyWhenMissing() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    const struct {
      const char* item;
      const char* typed;
      const char* written;
    } cases[] = {
        {"mSaveTXT", "plain", "plain.txt"},          {"mSaveTXT", "typed.txt", "typed.txt"},
        {"mSaveTXT", "UPPER.TXT", "UPPER.TXT"},      {"mSaveTXT", "mixed.TxT", "mixed.TxT"},
        {"mSaveTXT", "other.jpg", "other.jpg.txt"},  {"mSaveTXT", "inner.txt.bak", "inner.txt.bak.txt"},
        {"mSaveJPEG", "picture", "picture.jpg"},     {"mSaveJPEG", "shot.JPG", "shot.JPG"},
        {"mSaveJPEG", "table.txt", "table.txt.jpg"},
    };
    for (const auto& c : cases) {
      file_name_ = Text(Home() / "out" / c.typed);
      Choose(*window, ChartId::Chart_Flash, c.item);
    }
    QStringList written;
    for (const fs::directory_entry& entry : fs::directory_iterator(Home() / "out")) {
      written << QString::fromStdString(entry.path().filename().string());
    }
    written.sort();
    QStringList expected;
    for (const auto& c : cases) expected << QString::fromLatin1(c.written);
    expected.sort();
    QCOMPARE(written, expected);
  }

  void anExistingFileIsReplacedOnlyWhenTheUserAgrees() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    const fs::path table = Home() / "out" / "table.txt";
    const fs::path picture = Home() / "out" / "chart.JPG";
    std::ofstream(table, std::ios::binary) << "old table";
    std::ofstream(picture, std::ios::binary) << "old picture";

    replace_ = false;
    file_name_ = Text(Home() / "out" / "table");
    Choose(*window, ChartId::Chart_Flash, "mSaveTXT");
    file_name_ = Text(picture);
    Choose(*window, ChartId::Chart_Flash, "mSaveJPEG");
    QCOMPARE(questions_,
             QStringList({QStringLiteral("The file \"%1\" already exists. Replace it?").arg(Text(table)),
                          QStringLiteral("The file \"%1\" already exists. Replace it?").arg(Text(picture))}));
    QCOMPARE(testing::ReadFileBytes(table), std::string("old table"));
    QCOMPARE(testing::ReadFileBytes(picture), std::string("old picture"));

    replace_ = true;
    file_name_ = Text(table);
    Choose(*window, ChartId::Chart_Flash, "mSaveTXT");
    file_name_ = Text(picture);
    Choose(*window, ChartId::Chart_Flash, "mSaveJPEG");
    QCOMPARE(questions_.size(), 4);
    QCOMPARE(CrLfLines(testing::ReadFileBytes(table)).size(), window->Survey().tallyFlash.size() + 2);
    QCOMPARE(testing::InspectJpeg(testing::ReadFileBytes(picture)).width, 1000);

    // A new name asks nothing; a cancelled dialog writes nothing.
    file_name_ = Text(Home() / "out" / "new");
    Choose(*window, ChartId::Chart_Flash, "mSaveTXT");
    file_name_.clear();
    Choose(*window, ChartId::Chart_Flash, "mSaveJPEG");
    QCOMPARE(questions_.size(), 4);
    QVERIFY(fs::exists(Home() / "out" / "new.txt"));
    QVERIFY(!fs::exists(Home() / "out" / ".jpg"));
    QCOMPARE(dialog_errors_, QStringList());
  }

  void aFailedSaveIsReportedAndLeavesThePage() {
    auto [window, menu] = Open();
    Run(*window, demo_);
    const struct {
      int tab;
      ChartId chart;
      const char* item;
      const char* written;
    } cases[] = {
        {kMainTab, ChartId::Chart_ISO, "mSaveJPEG", "x.jpg"},
        {kAdditionalTab, ChartId::Chart_Lens, "mSaveJPEG", "x.jpg"},
        {3, ChartId::Chart_FocalLength, "mSaveJPEG", "x.jpg"},
        {kMainTab, ChartId::Chart_Meter, "mSaveTXT", "x.txt"},
    };
    for (const auto& c : cases) {
      dialog_errors_.clear();
      SelectTab(*window, c.tab);
      const QString before = PageState(*window);
      file_name_ = Text(Home() / "missing" / "x");
      Choose(*window, c.chart, c.item);
      QCOMPARE(dialog_errors_, QStringList(QStringLiteral("The chart was not saved: %1: No such file or directory")
                                               .arg(Text(Home() / "missing" / c.written))));
      QCOMPARE(PageState(*window), before);
    }
    QVERIFY(!fs::exists(Home() / "missing"));
  }

  void savesActOnlyWhileAResultIsShown() {
    auto [window, menu] = Open();
    file_name_ = Text(Home() / "out" / "x");
    const auto refused = [&](const char* state, bool charts_shown) {
      if (charts_shown) {
        QMenu* popup = RightClick(*window, ChartId::Chart_ISO);
        QVERIFY2(popup->isVisible(), state);
        QVERIFY2(!Item(*window, "mSaveJPEG")->isEnabled(), state);
        QVERIFY2(!Item(*window, "mSaveTXT")->isEnabled(), state);
        popup->hide();
      }
      menu->mSaveJPEGClick();
      menu->mSaveTXTClick();
      QVERIFY2(save_requests_.empty(), state);
      QVERIFY2(fs::is_empty(Home() / "out"), state);
    };
    refused("before any run", true);
    Run(*window, demo_);
    window->myTreeChange(Text(Home()));
    refused("another folder chosen after the run", true);
    Run(*window, Home() / "out");
    refused("a run that found nothing", false);
    QCOMPARE(dialog_errors_, QStringList());
  }

  void shortcutListLinksTheFilteredPhotos() {
    auto [window, menu] = Open();
    // F6 before a run does nothing.
    QTest::keyClick(window.get(), Qt::Key_F6);
    QVERIFY(!fs::exists(Home() / "TEMP"));
    QCOMPARE(opened_folders_, QStringList());

    Run(*window, demo_);
    QTest::keyClick(window.get(), Qt::Key_F6);
    QCOMPARE(opened_folders_, QStringList(Text(Home() / "TEMP")));
    const QStringList all = LinksOf(window->Survey().FilteredPathList());
    QCOMPARE(all.size(), window->Survey().filteredCount);
    QCOMPARE(Links(Home() / "TEMP"), all);

    // With a filter, fewer photos: the links of the first use are gone, the user's file stays.
    std::ofstream(Home() / "TEMP" / "notes.txt") << "mine";
    window->Criteria().rb_Flash_Yes = true;
    window->RecountAndShow();
    QVERIFY(window->Survey().filteredCount > 0 && window->Survey().filteredCount < all.size());
    Find<QAction>(*window, "mmShortcut")->trigger();
    QCOMPARE(Links(Home() / "TEMP"), LinksOf(window->Survey().FilteredPathList()));
    QCOMPARE(testing::ReadFileBytes(Home() / "TEMP" / "notes.txt"), std::string("mine"));
    window->Criteria().rb_Flash_Yes = false;

    // Two photos of one name keep a shortcut each.
    Run(*window, twins_);
    QTest::keyClick(window.get(), Qt::Key_F6);
    const QStringList twins = {
        QStringLiteral("IMG_0001.JPG (2).lnk -> ") + Text(twins_ / "Sub" / "IMG_0001.JPG"),
        QStringLiteral("IMG_0001.JPG.lnk -> ") + Text(twins_ / "IMG_0001.JPG"),
    };
    QCOMPARE(Links(Home() / "TEMP"), twins);
    QCOMPARE(dialog_errors_, QStringList());

    // Without a file manager the user is told where the shortcuts are.
    file_manager_ = false;
    QTest::keyClick(window.get(), Qt::Key_F6);
    QCOMPARE(dialog_errors_, QStringList(QStringLiteral("The shortcuts of the photos are in %1, but the folder could "
                                                        "not be opened.")
                                             .arg(Text(Home() / "TEMP"))));
    QCOMPARE(Links(Home() / "TEMP"), twins);
    QVERIFY(Find<QAction>(*window, "mmShortcut")->isEnabled());

    // Another folder chosen: the light is red, the menu item disabled and F6 does nothing.
    window->myTreeChange(Text(demo_));
    QVERIFY(!Find<QAction>(*window, "mmShortcut")->isEnabled());
    opened_folders_.clear();
    QTest::keyClick(window.get(), Qt::Key_F6);
    QCOMPARE(opened_folders_, QStringList());
    QCOMPARE(Links(Home() / "TEMP"), twins);
  }

  void shortcutsThatCannotBeMadeAreReportedTogether() {
    auto [window, menu] = Open();
    Run(*window, long_names_);
    QCOMPARE(window->Survey().filteredCount, 2);
    QTest::keyClick(window.get(), Qt::Key_F6);
    const fs::path refused = Home() / "TEMP" / (std::string(246, 'a') + ".JPG.lnk");
    QCOMPARE(dialog_errors_,
             QStringList(QStringLiteral("Shortcuts not made: 1 of 2. %1: File name too long").arg(Text(refused))));
    QCOMPARE(Links(Home() / "TEMP"),
             QStringList(QStringLiteral("IMG_0002.JPG.lnk -> ") + Text(long_names_ / "IMG_0002.JPG")));
    QCOMPARE(opened_folders_, QStringList(Text(Home() / "TEMP")));
  }

  void aShortcutFolderThatIsALinkIsRefusedAndNothingTouched() {
    auto [window, menu] = Open();
    const fs::path users_folder = Home() / "users-folder";
    fs::create_directories(users_folder);
    fs::create_symlink(demo_, users_folder / "Mine.lnk");
    fs::create_directory_symlink(users_folder, Home() / "TEMP");
    Run(*window, demo_);
    QTest::keyClick(window.get(), Qt::Key_F6);
    QCOMPARE(dialog_errors_, QStringList(QStringLiteral("The shortcut folder %1 is a symbolic link. No shortcut was "
                                                        "made and nothing in it was removed.")
                                             .arg(Text(Home() / "TEMP"))));
    QCOMPARE(opened_folders_, QStringList());
    QCOMPARE(Links(users_folder), QStringList(QStringLiteral("Mine.lnk -> ") + Text(demo_)));
  }

  void aShortcutFolderThatCannotBeMadeIsReported() {
    auto [window, menu] = Open();
    std::ofstream(Home() / "TEMP") << "a file of the user's";
    Run(*window, demo_);
    QTest::keyClick(window.get(), Qt::Key_F6);
    QCOMPARE(dialog_errors_, QStringList(QStringLiteral("The shortcut folder could not be made: %1: a file of that "
                                                        "name is in the way")
                                             .arg(Text(Home() / "TEMP"))));
    QCOMPARE(opened_folders_, QStringList());
    QCOMPARE(testing::ReadFileBytes(Home() / "TEMP"), std::string("a file of the user's"));
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::ChartCommandsTest)
#include "ChartCommandsTest.moc"
