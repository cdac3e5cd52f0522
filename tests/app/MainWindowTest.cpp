// The main window on the off-screen platform, driven through its controls' object names.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QValueAxis>
#include <QtTest/QtTest>

#include "app/ChartTabs.h"
#include "app/Lumetra_main.h"
#include "app/WindowCommands.h"
#include "charts/ChartPages.h"
#include "charts/ChartView.h"
#include "charts/PageLayout.h"
#include "survey/Labels.h"
#include "survey/SurveyTexts.h"
#include "testing/DemoFolder.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "testing/TimeSpanFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/WindowHelpers.h"

namespace lumetra {
namespace {

using testing::Find;
using testing::ReadFileBytes;

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  // A program folder of the test's own, and the demo folder with a folder without Exif and an empty one.
  QTemporaryDir home_;
  std::filesystem::path demo_;
  std::filesystem::path no_exif_;
  std::filesystem::path Home() const { return home_.path().toStdString(); }

  std::unique_ptr<TForm_Exif> Open(QSize screen = QSize(1024, 768), QStringList arguments = {}) {
    auto window = std::make_unique<TForm_Exif>(
        WindowStart{arguments, screen, Home(), [this](const QString& message) { errors_ << message; }});
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

  static void Run(TForm_Exif& window, const std::filesystem::path& folder) {
    window.myTreeChange(QString::fromStdString(folder.string()));
    Find<QAbstractButton>(window, "but_Run")->click();
  }

  static QString Panel(TForm_Exif& window, int panel) {
    return Find<QLabel>(window, QStringLiteral("myStatusBar_Panel%1").arg(panel).toLatin1().constData())->text();
  }

  // Which light shows, "red", "yellow" or "green"; "" unless exactly one does.
  static QString Light(TForm_Exif& window) {
    QString shown;
    int count = 0;
    for (const char* name : {"im_red", "im_yellow", "im_green"}) {
      if (!Find<QLabel>(window, name)->isHidden()) {
        shown = QString::fromLatin1(name).mid(3);
        ++count;
      }
    }
    return count == 1 ? shown : QString();
  }

  QStringList errors_;

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    demo_ = Home() / "demo";
    testing::WriteDemoFolder(demo_);
    no_exif_ = Home() / "no-exif";
    std::filesystem::create_directory(no_exif_);
    std::ofstream(no_exif_ / "plain.jpg", std::ios::binary) << std::string("\xFF\xD8\xFF\xD9", 4);
  }

  void init() {
    errors_.clear();
    std::filesystem::remove(Home() / "Lumetra.ini");
    std::filesystem::remove(Home() / "log.txt");
  }

  void cleanup() { QCOMPARE(errors_, QStringList()); }

  void startsInTheDesignStateInEnglish() {
    auto window = Open();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Lumetra 0.1.0.0"));
    QCOMPARE(window->UiLanguage(), kEnglish);
    QCOMPARE(Find<QAbstractButton>(*window, "but_Run")->text(), QStringLiteral("Run"));
    QVERIFY(!Find<QAbstractButton>(*window, "but_Run")->isEnabled());
    QVERIFY(!Find<QAction>(*window, "mmRun")->isEnabled());
    QVERIFY(!Find<QAction>(*window, "mmShortcut")->isEnabled());
    QVERIFY(Find<QAbstractButton>(*window, "but_Stop")->isHidden());
    QCOMPARE(Light(*window), QStringLiteral("red"));
    QVERIFY(Find<QRadioButton>(*window, "rb_Eng")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "rb_Real")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "rb_Text")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_CF")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_SubFolders")->isChecked());
    QVERIFY(!Find<QCheckBox>(*window, "cb_HideLeft")->isChecked());
    QCOMPARE(Panel(*window, 0), QStringLiteral(" Processed 0 photos with EXIF"));
    QCOMPARE(Panel(*window, 1), QStringLiteral(" Filtered 0 photos"));
    QCOMPARE(window->pos(), QPoint(0, 0));
    // The window keeps its start-up size.
    QCOMPARE(window->minimumSize(), window->size());
  }

  void runEnabledOnlyForAnExistingAbsoluteFolder() {
    auto window = Open();
    auto* run = Find<QAbstractButton>(*window, "but_Run");
    const struct {
      QString path;
      bool enabled;
    } cases[] = {
        {QString::fromStdString(demo_.string()), true},
        {QString(), false},
        {QStringLiteral("demo"), false},
        {QString::fromStdString((Home() / "missing").string()), false},
        {QString::fromStdString((demo_ / "IMG_0001.JPG").string()), false},
    };
    for (const auto& c : cases) {
      window->myTreeChange(c.path);
      QVERIFY2(run->isEnabled() == c.enabled, qPrintable(c.path));
      QCOMPARE(Find<QAction>(*window, "mmRun")->isEnabled(), c.enabled);
    }
  }

  void runOfTheDemoFolderShowsItsCharts() {
    auto window = Open();
    Run(*window, demo_);
    QCOMPARE(Light(*window), QStringLiteral("green"));
    QVERIFY(window->Survey().processedCount > 0);
    QCOMPARE(Panel(*window, 0), QStringLiteral(" Processed %1 photos with EXIF").arg(window->Survey().processedCount));
    QCOMPARE(Panel(*window, 1), QStringLiteral(" Filtered %1 photos").arg(window->Survey().filteredCount));
    QVERIFY(!Find<QWidget>(*window, "Chart_SBox")->isHidden());
    QVERIFY(Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
    QVERIFY(Find<QAction>(*window, "mmShortcut")->isEnabled());
    QVERIFY(!Find<QAbstractButton>(*window, "but_Run")->isHidden());
    QVERIFY(Find<QAbstractButton>(*window, "but_Stop")->isHidden());
    QCOMPARE(Find<ChartTabs>(*window, "Tab_Exif")->currentIndex(), kMainTab);
    const Chart& program = window->Charts()[ChartId::Chart_Program];
    QVERIFY(!program.bar.Points().empty());
    QVERIFY(!Find<QWidget>(*window, "Chart_ShutterSpeed")->isHidden());
    QVERIFY(Find<QWidget>(*window, "Chart_Make")->isHidden());

    // Another folder: red again and the counters reset, while the panels keep the run's texts.
    const QString shown = Panel(*window, 0);
    window->myTreeChange(QString::fromStdString(no_exif_.string()));
    QCOMPARE(Light(*window), QStringLiteral("red"));
    QCOMPARE(window->Survey().processedCount, 0);
    QCOMPARE(Panel(*window, 0), shown);
    QVERIFY(!window->ResultShown());
  }

  void aFolderRemovedBeforeRunIsReportedInTheLanguageShown() {
    auto window = Open();
    Find<QRadioButton>(*window, "rb_Rus")->click();
    const std::filesystem::path gone = Home() / "gone";
    std::filesystem::create_directory(gone);
    window->myTreeChange(QString::fromStdString(gone.string()));
    std::filesystem::remove(gone);
    Find<QAbstractButton>(*window, "but_Run")->click();
    QCOMPARE(errors_, QStringList{QString::fromStdString(gone.string()) + QStringLiteral(": папку нельзя открыть")});
    errors_.clear();
    QCOMPARE(Light(*window), QStringLiteral("red"));
    // Run waits for another folder; the window goes on.
    QVERIFY(!Find<QAbstractButton>(*window, "but_Run")->isEnabled());
    QVERIFY(!Find<QAction>(*window, "mmRun")->isEnabled());
    Run(*window, demo_);
    QCOMPARE(Light(*window), QStringLiteral("green"));
  }

  void runWithoutExifShowsTheNoPhotosPicture() {
    auto window = Open();
    Find<QRadioButton>(*window, "rb_Rus")->click();
    Run(*window, no_exif_);
    QCOMPARE(Light(*window), QStringLiteral("red"));
    QCOMPARE(Panel(*window, 0), QStringLiteral(" Обработано 0 фотографий с EXIF"));
    QVERIFY(Find<QWidget>(*window, "Chart_SBox")->isHidden());
    QVERIFY(!Find<QLabel>(*window, "im_NoPhoto")->isHidden());
    QVERIFY(Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
    QVERIFY(!Find<QAction>(*window, "mmShortcut")->isEnabled());
    // The picture follows the language while it shows.
    Find<QRadioButton>(*window, "rb_Eng")->click();
    QVERIFY(Find<QLabel>(*window, "im_NoPhoto")->isHidden());
    QVERIFY(!Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
  }

  void stoppedRunShowsNoChartsAndKeepsThePhotosRead() {
    auto window = Open();
    // Stop arrives when the walk next lets the window work after the top folder's photos were read.
    bool stopped = false;
    QTimer stopper;
    stopper.setInterval(0);
    QObject::connect(&stopper, &QTimer::timeout, [&] {
      if (!stopped && window->Survey().processedCount > 0) {
        stopped = true;
        QVERIFY(window->Running());
        QVERIFY(!Find<QAbstractButton>(*window, "but_Stop")->isHidden());
        QCOMPARE(Light(*window), QStringLiteral("yellow"));
        QVERIFY(!Find<QWidget>(*window, "myTree")->isEnabled());
        QVERIFY(!Find<QAction>(*window, "mmCrop")->isEnabled());
        QVERIFY(Find<QAction>(*window, "mmExit")->isEnabled());
        Find<QAbstractButton>(*window, "but_Stop")->click();
      }
    });
    stopper.start();
    Run(*window, demo_);
    stopper.stop();
    QVERIFY(stopped);
    QVERIFY(window->Survey().processedCount > 0);
    QVERIFY(window->Survey().processedCount < 35);
    QCOMPARE(Light(*window), QStringLiteral("red"));
    QVERIFY(!Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
    QVERIFY(!Find<QAction>(*window, "mmShortcut")->isEnabled());
    QVERIFY(Find<QWidget>(*window, "myTree")->isEnabled());
  }

  void closingDuringARunStopsItAndWritesTheSettings() {
    auto window = Open();
    QTimer::singleShot(0, window.get(), [&] { window->close(); });
    Run(*window, demo_);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(LineCount(ReadFileBytes(Home() / "Lumetra.ini")), 9);
  }

  void functionKeys() {
    auto window = Open();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* panel = Find<QWidget>(*window, "Panel_Left");
    auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
    const QRect before = tabs->geometry();
    // F6 before a run does nothing; F5 runs once Run is enabled.
    QTest::keyClick(window.get(), Qt::Key_F6);
    window->myTreeChange(QString::fromStdString(demo_.string()));
    QTest::keyClick(Find<QWidget>(*window, "rb_Real"), Qt::Key_F5);
    QCOMPARE(Light(*window), QStringLiteral("green"));
    QTest::keyClick(Find<QWidget>(*window, "myTree"), Qt::Key_F4);
    QVERIFY(panel->isHidden());
    QCOMPARE(tabs->geometry(), QRect(2, before.y(), window->centralWidget()->width() - 4, before.height()));
    QCOMPARE(tabs->tabWidth(), (tabs->width() - 29) / 8);
    QCOMPARE(tabs->caption(kAdditionalTab), QStringLiteral("ADDITIONAL"));
    QTest::keyClick(window.get(), Qt::Key_F4);
    QVERIFY(!panel->isHidden());
    // Shown again, the tab area takes the client width beside the panel.
    QCOMPARE(tabs->geometry(), QRect(285, before.y(), window->centralWidget()->width() - 285 - 2, before.height()));
    QCOMPARE(tabs->tabWidth(), (tabs->width() - 29) / 8);
    QTest::keyClick(window.get(), Qt::Key_F10);
    QVERIFY(!window->isVisible());
  }

  void hideLeftAtTheEndOfARunKeepsThePanelHidden() {
    auto window = Open();
    Find<QCheckBox>(*window, "cb_HideLeft")->setChecked(true);
    window->SetLeftPanel(TForm_Exif::PanelMode::Change);
    Run(*window, demo_);
    QVERIFY(Find<QWidget>(*window, "Panel_Left")->isHidden());
  }

  void chartClicksToggleBetweenOverviewAndOwnPage() {
    auto window = Open();
    Run(*window, demo_);
    auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
    auto* focus = Find<QAbstractScrollArea>(*window, "Chart_Focus");
    auto* area = Find<QWidget>(*window, "Chart_SBox");
    const QSize small = focus->size();
    QTest::mouseClick(focus->viewport(), Qt::LeftButton);
    QCOMPARE(tabs->currentIndex(), 10);
    QCOMPARE(focus->geometry(), QRect(0, 0, area->width() - 2, area->height() - 2));
    QVERIFY(window->Charts()[ChartId::Chart_Focus].pie.marks);
    QVERIFY(Find<QWidget>(*window, "Chart_Flash")->isHidden());
    QTest::mouseClick(focus->viewport(), Qt::LeftButton);
    QCOMPARE(tabs->currentIndex(), kMainTab);
    QCOMPARE(focus->size(), small);
    QVERIFY(!window->Charts()[ChartId::Chart_Focus].pie.marks);
    // The additional overview's charts lead back to tab 8; a drag is no click.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(13).center());
    auto* crop = Find<QAbstractScrollArea>(*window, "Chart_Crop")->viewport();
    QVERIFY(!crop->parentWidget()->isHidden());
    QTest::mousePress(crop, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(crop, QPoint(80, 80));
    QTest::mouseRelease(crop, Qt::LeftButton, {}, QPoint(80, 80));
    QCOMPARE(tabs->currentIndex(), 13);
    QTest::mouseClick(crop, Qt::LeftButton);
    QCOMPARE(tabs->currentIndex(), kAdditionalTab);
    // A pie form chosen for a bar chart alone lasts until the main overview shows bars again.
    Chart& fnumber = window->Charts()[ChartId::Chart_Fnumber];
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    fnumber.bar.active = false;
    fnumber.pie.active = true;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kMainTab).center());
    QVERIFY(fnumber.bar.active);
    QVERIFY(!fnumber.pie.active);
  }

  void barChartsZoomAndPanPiesDoNot() {
    auto window = Open();
    Run(*window, demo_);
    auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    auto* iso = Find<ChartView>(*window, "Chart_ISO");
    const auto count_range = [&] {
      auto* axis = static_cast<QValueAxis*>(iso->chart()->axes(Qt::Vertical).front());
      return std::pair(axis->min(), axis->max());
    };
    const auto whole = count_range();
    const QRect plot = iso->chart()->plotArea().toRect();
    QTest::mousePress(iso->viewport(), Qt::LeftButton, Qt::ShiftModifier, plot.center());
    QTest::mouseMove(iso->viewport(), plot.bottomRight() - QPoint(5, 5));
    QTest::mouseRelease(iso->viewport(), Qt::LeftButton, Qt::ShiftModifier, plot.bottomRight() - QPoint(5, 5));
    QCOMPARE(tabs->currentIndex(), 4);
    QVERIFY(count_range().second < whole.second);
    const auto zoomed = count_range();
    QTest::mousePress(iso->viewport(), Qt::MiddleButton, {}, plot.center());
    QTest::mouseMove(iso->viewport(), plot.center() + QPoint(0, 40));
    QTest::mouseRelease(iso->viewport(), Qt::MiddleButton, {}, plot.center() + QPoint(0, 40));
    QVERIFY(count_range().first > zoomed.first);
    // Dragged leftwards: the whole chart again.
    QTest::mousePress(iso->viewport(), Qt::LeftButton, Qt::ShiftModifier, plot.center());
    QTest::mouseMove(iso->viewport(), plot.center() - QPoint(50, 0));
    QTest::mouseRelease(iso->viewport(), Qt::LeftButton, Qt::ShiftModifier, plot.center() - QPoint(50, 0));
    QVERIFY(count_range() == whole);

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(7).center());
    auto* flash = Find<ChartView>(*window, "Chart_Flash");
    QVERIFY(!flash->Zoomable());
    QTest::mousePress(flash->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 50));
    QTest::mouseMove(flash->viewport(), QPoint(150, 150));
    QTest::mouseRelease(flash->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 150));
    QCOMPARE(tabs->currentIndex(), 7);
  }

  void traceModeNamesTheLastPhotoRead() {
    auto window = Open(QSize(1024, 768), {QStringLiteral("test")});
    Run(*window, demo_ / "Holidays" / "Moscow");
    const std::string trace = ReadFileBytes(Home() / "test.txt");
    QVERIFY2(trace.starts_with(demo_.string() + "/Holidays/Moscow/") && trace.ends_with(" +\r\n"), trace.c_str());
    QCOMPARE(LineCount(trace), 1);
  }

  // A FIFO or a link planted as test.txt: the run ends with its result and one message naming the trace;
  // nothing is written through the link.
  void aTraceThatIsNotARegularFileIsRefusedAndTheRunEnds() {
    namespace fs = std::filesystem;
    const fs::path users_file = Home() / "users-file";
    for (const bool fifo : {true, false}) {
      fs::remove(Home() / "test.txt");
      if (fifo) {
        QCOMPARE(::mkfifo((Home() / "test.txt").c_str(), 0644), 0);
      } else {
        std::ofstream(users_file) << "the user's own";
        fs::create_symlink(users_file, Home() / "test.txt");
      }
      auto window = Open(QSize(1024, 768), {QStringLiteral("test")});
      Run(*window, demo_ / "Holidays" / "Moscow");
      QVERIFY(window->ResultShown());
      const QString reason = fifo ? QStringLiteral("not a regular file") : QStringLiteral("a symbolic link");
      QCOMPARE(errors_,
               QStringList(QStringLiteral("cannot create ") + QString::fromStdString((Home() / "test.txt").string()) +
                           QStringLiteral(": ") + reason));
      errors_.clear();
    }
    QCOMPARE(ReadFileBytes(users_file), std::string("the user's own"));
  }

  void switchingTheFocalLengthWithAFocalBoundRecounts() {
    auto window = Open();
    Run(*window, demo_);
    const int all = window->Survey().filteredCount;
    // No bound: only the focal chart changes, from the 35 mm tally.
    Find<QRadioButton>(*window, "rb_Equivalent")->click();
    QCOMPARE(window->Survey().filteredCount, all);
    Find<QRadioButton>(*window, "rb_Real")->click();
    // A bound that real focal lengths of the demo photos pass far more often than 35 mm ones.
    window->Criteria().ed_to3 = "60";
    Find<QRadioButton>(*window, "rb_Equivalent")->click();
    const int equivalent = window->Survey().filteredCount;
    QVERIFY(equivalent > 0 && equivalent < all);
    QCOMPARE(Panel(*window, 1), QString::fromStdString(FilteredText(equivalent, kEnglish)));
    Find<QRadioButton>(*window, "rb_Real")->click();
    QVERIFY(window->Survey().filteredCount > equivalent);
    // Nothing passes: the no-photos picture stands in for the charts.
    window->Criteria().ed_to3 = "1";
    Find<QRadioButton>(*window, "rb_Equivalent")->click();
    QCOMPARE(window->Survey().filteredCount, 0);
    QVERIFY(Find<QWidget>(*window, "Chart_SBox")->isHidden());
    QVERIFY(!Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
  }

  void tabsTurnWithTheKeyboard() {
    auto window = Open();
    Run(*window, demo_);
    auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int tab;
    } steps[] = {
        {Qt::Key_Right, {}, 1},
        {Qt::Key_Down, {}, 9},
        {Qt::Key_Left, {}, 8},
        {Qt::Key_Tab, Qt::ControlModifier, 9},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 8},
        {Qt::Key_Down, {}, kTimeTab},
        {Qt::Key_Right, {}, 17},
        {Qt::Key_End, {}, 19},
        // Up and down keep the column; the short third row is passed over where it has no tab.
        {Qt::Key_Up, {}, 11},
        {Qt::Key_Down, {}, 19},
        {Qt::Key_Down, {}, 3},
        {Qt::Key_Up, {}, 19},
        {Qt::Key_Left, {}, 18},
        {Qt::Key_Right, {}, 19},
        {Qt::Key_Right, {}, 0},
        {Qt::Key_Up, {}, kTimeTab},
        {Qt::Key_Home, {}, 0},
        {Qt::Key_Right, {}, 1},
        {Qt::Key_Right, {}, 2},
        {Qt::Key_Right, {}, 3},
        {Qt::Key_Right, {}, 4},
        {Qt::Key_Up, {}, 12},
        {Qt::Key_Down, {}, 4},
        {Qt::Key_Home, {}, 0},
    };
    for (const auto& step : steps) {
      QTest::keyClick(tabs, step.key, step.modifiers);
      QCOMPARE(tabs->currentIndex(), step.tab);
    }
    // Tab 19 showed the hours alone; back on tab 0 the ten charts of the main overview.
    QVERIFY(!Find<QWidget>(*window, "Chart_ShutterSpeed")->isHidden());
    QVERIFY(Find<QWidget>(*window, "Chart_Hour")->isHidden());
  }

  // Photos of sixty months: the third tab row leads to the time overview and the date, weekday and hour charts,
  // below the first sixteen tabs and above the chart area, in both languages.
  void timeTabsShowTheMonthsWeekdaysAndHours() {
    for (const QSize screen : {QSize(1024, 768), QSize(1280, 1024)}) {
      auto window = Open(screen);
      const std::filesystem::path folder = Home() / "time-span";
      testing::WriteTimeSpanFolder(folder, 60);
      Run(*window, folder);
      auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
      auto* area = Find<QWidget>(*window, "Chart_SBox");
      for (int tab = 0; tab < ChartTabs::kTabCount; ++tab) {
        QCOMPARE(tabs->tabRect(tab).y(), tab / ChartTabs::kTabsPerRow * tabs->tabHeight());
        QVERIFY(tabs->rect().contains(tabs->tabRect(tab)));
        QVERIFY(tabs->tabRect(tab).bottom() < area->y());
      }
      QCOMPARE(tabs->caption(kTimeTab), QStringLiteral("TIME"));
      QCOMPARE(tabs->caption(18), QStringLiteral("Weekday"));
      const char* time_charts[] = {"Chart_Date", "Chart_Weekday", "Chart_Hour"};
      QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kTimeTab).center());
      QCOMPARE(tabs->currentIndex(), kTimeTab);
      const auto rects = TimePageRects(area->width(), area->height());
      for (size_t i = 0; i < std::size(time_charts); ++i) {
        QWidget* chart = Find<QWidget>(*window, time_charts[i]);
        QVERIFY(!chart->isHidden());
        QCOMPARE(chart->geometry(), QRect(rects[i].left, rects[i].top, rects[i].width, rects[i].height));
      }
      QVERIFY(Find<QWidget>(*window, "Chart_ShutterSpeed")->isHidden());
      // Sixty months with photos and the photo without a capture time.
      const Chart& date = window->Charts()[ChartId::Chart_Date];
      QCOMPARE(date.bar.Points().size(), size_t{61});
      QCOMPARE(QString::fromStdString(date.bar.Points().front().label), QStringLiteral("2019-01"));
      QCOMPARE(QString::fromStdString(date.bar.Points()[59].label), QStringLiteral("2023-12"));
      QCOMPARE(window->Charts()[ChartId::Chart_Hour].bar.Points().size(), size_t{25});
      // A click on a chart opens it alone, the next one returns to the time overview.
      auto* hour = Find<QAbstractScrollArea>(*window, "Chart_Hour");
      QTest::mouseClick(hour->viewport(), Qt::LeftButton);
      QCOMPARE(tabs->currentIndex(), 19);
      QCOMPARE(hour->geometry(), QRect(0, 0, area->width() - 2, area->height() - 2));
      QVERIFY(Find<QWidget>(*window, "Chart_Date")->isHidden());
      QTest::mouseClick(hour->viewport(), Qt::LeftButton);
      QCOMPARE(tabs->currentIndex(), kTimeTab);
      // In Russian the captions and weekday names change; the counts stay.
      Find<QRadioButton>(*window, "rb_Rus")->click();
      QCOMPARE(tabs->caption(kTimeTab), QStringLiteral("ВРЕМЯ"));
      QCOMPARE(tabs->caption(18), QStringLiteral("День недели"));
      QCOMPARE(QString::fromStdString(window->Charts()[ChartId::Chart_Weekday].bar.Points().front().label),
               QStringLiteral("Пн"));
      QCOMPARE(window->Charts()[ChartId::Chart_Date].bar.Points().size(), size_t{61});
      // On a linear axis the date chart has a bar for every month from the first to the last.
      Find<QRadioButton>(*window, "rb_Linear")->click();
      QCOMPARE(window->Charts()[ChartId::Chart_Date].bar.Points().size(), size_t{60});
      Find<QRadioButton>(*window, "rb_Text")->click();
      Find<QRadioButton>(*window, "rb_Eng")->click();
    }
  }

  void aLayoutLogThatCannotBeWrittenIsReported() {
    std::filesystem::create_directory(Home() / "log.txt");
    std::filesystem::create_directory(Home() / "log.txt" / "keep");
    { auto window = Open(QSize(1280, 1024), {QStringLiteral("i")}); }
    std::filesystem::remove_all(Home() / "log.txt");
    QCOMPARE(errors_.size(), 1);
    QVERIFY(errors_.front().startsWith(QString::fromStdString((Home() / "log.txt").string()) + QStringLiteral(": ")));
    errors_.clear();
  }

  void mainPageArrangesTheTenChartsInTheChartArea() {
    auto window = Open(QSize(1280, 1024));
    auto* area = Find<QWidget>(*window, "Chart_SBox");
    const auto rects = MainPageRects(area->width(), area->height(), window->KoefH());
    const char* names[] = {"Chart_ShutterSpeed", "Chart_Fnumber", "Chart_FocalLength", "Chart_ISO",   "Chart_Program",
                           "Chart_Meter",        "Chart_Flash",   "Chart_Orientation", "Chart_Focus", "Chart_Drive"};
    for (size_t i = 0; i < rects.size(); ++i) {
      const PageRect& r = rects[i];
      QCOMPARE(Find<QWidget>(*window, names[i])->geometry(), QRect(r.left, r.top, r.width, r.height));
    }
  }

  void layoutLogAtEachScreenSize() {
    {
      auto window = Open(QSize(1024, 600), {QStringLiteral("i")});
      const std::string log = ReadFileBytes(Home() / "log.txt");
      QCOMPARE(QString::fromStdString(log), QStringLiteral("ScreenWidth = 1024\r\nScreenHeight = 600\r\nend\r\n"));
      QCOMPARE(window->Koef(), int64_t{10000});
      QCOMPARE(window->KoefH(), int64_t{10000});
    }
    {
      auto window = Open(QSize(1280, 1024), {QStringLiteral("i")});
      const std::string log = ReadFileBytes(Home() / "log.txt");
      QCOMPARE(LineCount(log), 46);
      QVERIFY(QString::fromStdString(log).endsWith(QStringLiteral("\r\nend\r\n")));
      QVERIFY(log.find("Koef = 1") != std::string::npos);
      QCOMPARE(window->Koef(), int64_t{12500});
      QCOMPARE(window->KoefH(), int64_t{13333});
      // The controls took the screen's scale and the tab area reaches the status bar's height above it.
      auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
      QCOMPARE(tabs->width(), 906);
      QCOMPARE(tabs->tabHeight(), 31);
      // The log keeps the two rows of sixteen tabs; the chart area stands one tab row lower, below the time row.
      QVERIFY(log.find("C_S.T2 = 66\r\n") != std::string::npos);
      QCOMPARE(Find<QWidget>(*window, "Chart_SBox")->y(), 3 * 31 + 4);
      QCOMPARE(tabs->tabRect(15), QRect(7 * (tabs->tabWidth() + ChartTabs::kTabGap), 31, tabs->tabWidth(), 30));
      QCOMPARE(window->statusBar()->height(), 24);
      // 989 - 16 = 973 high below the menu, less the tabs' scaled top (10) and two status bars.
      QCOMPARE(tabs->height(), 973 - 10 - 2 * 24);
      QCOMPARE(tabs->y(), 8);
    }
    // Without "i" no log is written, and an old one is left alone.
    std::ofstream(Home() / "log.txt") << "old";
    { auto window = Open(QSize(1280, 1024)); }
    QCOMPARE(ReadFileBytes(Home() / "log.txt"), std::string("old"));
  }

  void settingsRoundTrip() {
    {
      auto window = Open();
      window->myTreeChange(QString::fromStdString(demo_.string()));
      Find<QRadioButton>(*window, "rb_Rus")->click();
      Find<QRadioButton>(*window, "rb_Equivalent")->click();
      Find<QRadioButton>(*window, "rb_Linear")->click();
      Find<QCheckBox>(*window, "cb_CF")->setChecked(false);
      Find<QCheckBox>(*window, "cb_SubFolders")->setChecked(false);
      Find<QCheckBox>(*window, "cb_HideLeft")->setChecked(true);
      window->close();
    }
    QCOMPARE(QString::fromStdString(ReadFileBytes(Home() / "Lumetra.ini")),
             QString::fromStdString(
                 demo_.string() + "\r\nRussian\r\n35mm\r\nLinear\r\nKF = no\r\nNon SubFolders\r\nHide\r\nJPEG only\r\n"
                                  "Remember photos\r\n"));
    auto window = Open();
    QCOMPARE(window->UiLanguage(), kRussian);
    QCOMPARE(window->CurrentFolder(), demo_.string());
    QVERIFY(Find<QAbstractButton>(*window, "but_Run")->isEnabled());
    QCOMPARE(Find<QAbstractButton>(*window, "but_Run")->text(), QStringLiteral("Запуск"));
    QVERIFY(Find<QRadioButton>(*window, "rb_Equivalent")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "rb_Linear")->isChecked());
    QVERIFY(!Find<QCheckBox>(*window, "cb_CF")->isChecked());
    QVERIFY(!Find<QCheckBox>(*window, "cb_SubFolders")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_HideLeft")->isChecked());
  }

  // A folder of a RAW file that the reader reads today (TIFF-structured NEF) and a HEIC file it cannot.
  std::filesystem::path RawFolder() {
    const std::filesystem::path folder = Home() / "raw";
    testing::Ifd exif;
    exif.Rationals(0x829A, {{1, 250}}).Rationals(0x829D, {{56, 10}});
    testing::Ifd ifd0;
    ifd0.Ascii(0x010F, "NIKON CORPORATION").Ascii(0x0110, "NIKON D750").Sub(0x8769, exif);
    testing::WriteFileBytes(folder / "DSC_0001.NEF", testing::BuildTiff(ifd0, testing::ByteOrder::kLittle));
    testing::WriteFileBytes(folder / "IMG_0002.HEIC", "not read yet");
    return folder;
  }

  void photoFormatsCommandIsKeptAndUsedByTheNextRun() {
    const std::filesystem::path raw = RawFolder();
    {
      auto window = Open();
      QVERIFY(QTest::qWaitForWindowActive(window.get()));
      auto* command = Find<QAction>(*window, "mmAllFormats");
      QVERIFY(command->isCheckable());
      QVERIFY(!command->isChecked());
      QVERIFY(command->isEnabled());
      QCOMPARE(command->text(), QStringLiteral("Include RAW and HEIC files"));
      Find<QRadioButton>(*window, "rb_Rus")->click();
      QCOMPARE(command->text(), QStringLiteral("Учитывать файлы RAW и HEIC"));
      Find<QRadioButton>(*window, "rb_Eng")->click();
      QCOMPARE(command->text(), QStringLiteral("Include RAW and HEIC files"));

      // Off: the NEF is not walked, and the run finds nothing.
      Run(*window, raw);
      QCOMPARE(window->Survey().processedCount, 0);
      QCOMPARE(Light(*window), QStringLiteral("red"));
      // F8 turns it on and off, wherever the focus is.
      QTest::keyClick(Find<QWidget>(*window, "myTree"), Qt::Key_F8);
      QVERIFY(command->isChecked());
      QTest::keyClick(window.get(), Qt::Key_F8);
      QVERIFY(!command->isChecked());
      command->trigger();
      QVERIFY(command->isChecked());
      Run(*window, raw);
      QCOMPARE(window->Survey().processedCount, 1);
      QCOMPARE(Light(*window), QStringLiteral("green"));
      window->close();
    }
    const std::string written = ReadFileBytes(Home() / "Lumetra.ini");
    QCOMPARE(LineCount(written), 9);
    QVERIFY(written.ends_with("\r\nNon Hide\r\nAll formats\r\nRemember photos\r\n"));
    {
      // A new window reads the choice back, and its first run walks with it.
      auto window = Open();
      auto* command = Find<QAction>(*window, "mmAllFormats");
      QVERIFY(command->isChecked());
      QCOMPARE(window->CurrentFolder(), raw.string());
      Find<QAbstractButton>(*window, "but_Run")->click();
      QCOMPARE(window->Survey().processedCount, 1);
      command->trigger();
      window->close();
    }
    QVERIFY(ReadFileBytes(Home() / "Lumetra.ini").ends_with("\r\nNon Hide\r\nJPEG only\r\nRemember photos\r\n"));
  }

  void photoFormatsCommandWaitsWhileARunGoesOn() {
    auto window = Open();
    auto* command = Find<QAction>(*window, "mmAllFormats");
    bool enabled_during_run = true;
    window->myTreeChange(QString::fromStdString(demo_.string()));
    QTimer::singleShot(0, window.get(), [&] { enabled_during_run = command->isEnabled(); });
    Find<QAbstractButton>(*window, "but_Run")->click();
    QVERIFY(!enabled_during_run);
    QVERIFY(command->isEnabled());
  }

  void rememberPhotosCommandIsKeptAndUsedByTheNextRun() {
    const std::filesystem::path records = Home() / "Lumetra_Records.db";
    {
      auto window = Open();
      auto* command = Find<QAction>(*window, "mmRememberPhotos");
      QVERIFY(command->isCheckable());
      QVERIFY(command->isChecked());
      QCOMPARE(command->text(), QStringLiteral("Remember photos already read"));
      Find<QRadioButton>(*window, "rb_Rus")->click();
      QCOMPARE(command->text(), QStringLiteral("Запоминать прочитанные фотографии"));
      Find<QRadioButton>(*window, "rb_Eng")->click();
      Run(*window, demo_);
      QVERIFY(std::filesystem::exists(records));
      const int32_t processed = window->Survey().processedCount;
      // Off: the run reads every photo and leaves the database as it is.
      command->trigger();
      std::filesystem::remove(records);
      Run(*window, demo_);
      QCOMPARE(window->Survey().processedCount, processed);
      QVERIFY(!std::filesystem::exists(records));
      window->close();
    }
    QVERIFY(ReadFileBytes(Home() / "Lumetra.ini").ends_with("\r\nForget photos\r\n"));
    {
      auto window = Open();
      auto* command = Find<QAction>(*window, "mmRememberPhotos");
      QVERIFY(!command->isChecked());
      command->trigger();
      window->close();
    }
    QVERIFY(ReadFileBytes(Home() / "Lumetra.ini").ends_with("\r\nRemember photos\r\n"));
  }

  void aBrokenRecordsCacheIsOneStatusMessage() {
    const std::filesystem::path records = Home() / "Lumetra_Records.db";
    std::ofstream(records, std::ios::binary) << std::string(3000, 'Z');
    auto window = Open();
    Run(*window, demo_);
    QCOMPARE(Light(*window), QStringLiteral("green"));
    QVERIFY(errors_.isEmpty());
    auto* panel = Find<QLabel>(*window, "myStatusBar_Panel2");
    QVERIFY2(panel->text().startsWith(QStringLiteral("Photos already read: records cache ")),
             qPrintable(panel->text()));
    QVERIFY(std::filesystem::exists(Home() / "Lumetra_Records.broken-1.db"));
    // The panel names the files without the program's folder; the whole line is its tool tip.
    QVERIFY(!panel->text().contains(QString::fromStdString(Home().string())));
    QVERIFY(panel->toolTip().contains(QString::fromStdString(records.string())));
    // The next run uses the new database and the credit line comes back.
    Run(*window, demo_);
    QCOMPARE(panel->text(), QStringLiteral("Lumetra: how your photos were taken"));
    window->close();
  }

  void whatARunPassedOverIsCountedAndListedWithItsReasons() {
    // Entries a run cannot read, for root too: links to virtual file systems; and, for any other user,
    // a sub-folder and a photo that cannot be opened.
    const std::filesystem::path folder = Home() / "passed-over";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(demo_ / std::filesystem::directory_iterator(demo_)->path().filename(),
                               folder / "photo.jpg");
    std::filesystem::create_directory_symlink("/proc", folder / "proc");
    std::filesystem::create_directory_symlink("/sys", folder / "sys");
    const bool permissions_hold = geteuid() != 0;
    if (permissions_hold) {
      std::filesystem::create_directory(folder / "closed");
      std::filesystem::copy_file(folder / "photo.jpg", folder / "closed.jpg");
      chmod((folder / "closed").c_str(), 0);
      chmod((folder / "closed.jpg").c_str(), 0);
    }
    const int expected = permissions_hold ? 4 : 2;
    auto window = Open();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* note = Find<QAbstractButton>(*window, "myStatusBar_Skipped");
    auto* command = Find<QAction>(*window, "mmSkipped");
    QVERIFY(note->isHidden());
    QVERIFY(!command->isEnabled());

    Run(*window, folder);
    QCOMPARE(window->Survey().processedCount, 1);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("Not read: %1").arg(expected));
    QVERIFY(command->isEnabled());
    QCOMPARE(command->text(), QStringLiteral("Folders and files not read"));

    // The note opens the list: each item with its reason, in walk order.
    note->click();
    auto* dialog = Find<QDialog>(*window, "SkippedItems");
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Not read"));
    auto* table = Find<QTableWidget>(*dialog, "SkippedItems_Table");
    QCOMPARE(table->rowCount(), expected);
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
      rows.append(
          QString::fromStdString(
              std::filesystem::path(table->item(row, 0)->text().toStdString()).lexically_relative(folder).string()) +
          QStringLiteral(": ") + table->item(row, 1)->text());
    }
    QVERIFY2(rows.contains(QStringLiteral("proc/: a virtual file system")), qPrintable(rows.join('\n')));
    QVERIFY2(rows.contains(QStringLiteral("sys/: a virtual file system")), qPrintable(rows.join('\n')));
    if (permissions_hold) {
      QVERIFY2(rows.contains(QStringLiteral("closed/: Permission denied")), qPrintable(rows.join('\n')));
      QVERIFY2(rows.contains(QStringLiteral("closed.jpg: Permission denied")), qPrintable(rows.join('\n')));
    }
    QTest::keyClick(table, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());

    // F9 opens it from the keyboard; in Russian the note, the command and the list speak Russian.
    Find<QAbstractButton>(*window, "rb_Rus")->click();
    QCOMPARE(note->text(), QStringLiteral("Не прочитано: %1").arg(expected));
    QCOMPARE(command->text(), QStringLiteral("Непрочитанные папки и файлы"));
    QTest::keyClick(window.get(), Qt::Key_F9);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Не прочитано"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Причина"));
    QStringList reasons;
    for (int row = 0; row < table->rowCount(); ++row) reasons.append(table->item(row, 1)->text());
    QVERIFY2(reasons.contains(QStringLiteral("виртуальная файловая система")), qPrintable(reasons.join('\n')));
    if (permissions_hold) QVERIFY2(reasons.contains(QStringLiteral("Доступ запрещён")), qPrintable(reasons.join('\n')));
    Find<QAbstractButton>(*dialog, "but_Close")->click();
    QVERIFY(!dialog->isVisible());
    Find<QAbstractButton>(*window, "rb_Eng")->click();

    // A run that reads everything leaves no note and nothing to list.
    Run(*window, demo_);
    QVERIFY(note->isHidden());
    QVERIFY(!command->isEnabled());
    if (permissions_hold) {
      chmod((folder / "closed").c_str(), 0755);
      chmod((folder / "closed.jpg").c_str(), 0644);
    }
  }

  void settingsFromAShortOrOddFile() {
    // Five lines, one of them damaged: the damaged and the missing ones keep their defaults, as at a fresh
    // start (crop factors asked for, the panel shown); an unknown language falls back to English; a folder
    // that is gone is not selected.
    std::ofstream(Home() / "Lumetra.ini", std::ios::binary)
        << (Home() / "gone").string() << "\r\nKlingon\r\n35mm\r\nText\r\nKF = Yes\r\n";
    auto window = Open();
    QCOMPARE(window->UiLanguage(), kEnglish);
    QVERIFY(window->CurrentFolder().empty());
    QVERIFY(!Find<QAbstractButton>(*window, "but_Run")->isEnabled());
    QVERIFY(Find<QRadioButton>(*window, "rb_Equivalent")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_CF")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_SubFolders")->isChecked());
    QVERIFY(!Find<QCheckBox>(*window, "cb_HideLeft")->isChecked());
    window->close();
    // Never selected a folder: line 1 is written empty.
    QCOMPARE(ReadFileBytes(Home() / "Lumetra.ini"),
             std::string("\r\nEnglish\r\n35mm\r\nText\r\nKF = yes\r\nSubFolders\r\nNon Hide\r\nJPEG only\r\n"
                         "Remember photos\r\n"));
  }

  void settingsOfRandomBytesStartAsAFreshStart() {
    std::ofstream(Home() / "Lumetra.ini", std::ios::binary) << std::string("\x8F\x00\xFFKF\r\n\x01Hide\nH\x9Cide", 18);
    auto window = Open();
    QVERIFY(window->CurrentFolder().empty());
    QVERIFY(Find<QRadioButton>(*window, "rb_Real")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "rb_Text")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_CF")->isChecked());
    QVERIFY(Find<QCheckBox>(*window, "cb_SubFolders")->isChecked());
    QVERIFY(!Find<QCheckBox>(*window, "cb_HideLeft")->isChecked());
  }

  void aFolderNameThatIsNotUtf8IsKeptAtExit() {
    // "Зенит" in Windows-1251: bytes that are not UTF-8, which the tree cannot select.
    const std::filesystem::path folder = Home() / std::string("\xC7\xE5\xED\xE8\xF2");
    std::filesystem::create_directories(folder);
    const std::string settings =
        folder.string() +
        "\r\nEnglish\r\nReal\r\nText\r\nKF = no\r\nSubFolders\r\nNon Hide\r\nJPEG only\r\nRemember photos\r\n";
    std::ofstream(Home() / "Lumetra.ini", std::ios::binary) << settings;
    {
      auto window = Open();
      QCOMPARE(window->CurrentFolder(), folder.string());
      window->close();
    }
    QCOMPARE(ReadFileBytes(Home() / "Lumetra.ini"), settings);
    {
      // Another folder selected: that one is written.
      auto window = Open();
      window->myTreeChange(QString::fromStdString(demo_.string()));
      window->close();
    }
    QVERIFY(ReadFileBytes(Home() / "Lumetra.ini").starts_with(demo_.string() + "\r\n"));
  }

  void settingsThatCannotBeWrittenAreReported() {
    auto window = Open();
    std::filesystem::create_directory(Home() / "Lumetra.ini");
    window->close();
    std::filesystem::remove(Home() / "Lumetra.ini");
    QCOMPARE(errors_.size(), 1);
    QVERIFY(
        errors_.front().startsWith(QString::fromStdString((Home() / "Lumetra.ini").string()) + QStringLiteral(": ")));
    errors_.clear();
  }

  void everyMenuCommandFollowsTheStateOfTheWindow() {
    // Every item of the main menu, those added later too: before a folder is chosen, during a run, with
    // the charts of a run shown, and after another folder was chosen.
    auto window = Open();
    const QList<QAction*> commands = Find<QMenu>(*window, "mSettings")->actions();
    QVERIFY(commands.size() >= 6);
    const auto enabled_but = [&commands](const QStringList& disabled) {
      QStringList names;
      for (QAction* action : commands) {
        if (!disabled.contains(action->objectName())) names << action->objectName();
      }
      return names;
    };
    const auto enabled = [&commands] {
      QStringList names;
      for (QAction* action : commands) {
        if (action->isEnabled()) names << action->objectName();
      }
      return names;
    };
    // The list of items not read waits for a run that passed something over (none in these folders).
    QCOMPARE(enabled(), enabled_but({"mmRun", "mmShortcut", "mmPreviousFilter", "mmSkipped"}));
    window->myTreeChange(QString::fromStdString(demo_.string()));
    QCOMPARE(enabled(), enabled_but({"mmShortcut", "mmPreviousFilter", "mmSkipped"}));
    QStringList during_run;
    QTimer::singleShot(0, window.get(), [&] { during_run = enabled(); });
    Find<QAbstractButton>(*window, "but_Run")->click();
    QCOMPARE(during_run, QStringList{QStringLiteral("mmExit")});
    // The way back waits for a change of the filter.
    QCOMPARE(enabled(), enabled_but({"mmPreviousFilter", "mmSkipped"}));
    window->ApplyChartCommand(ChartId::Chart_Orientation, 0, ChartCommand::kOnly);
    QCOMPARE(enabled(), enabled_but({"mmSkipped"}));
    window->myTreeChange(QString::fromStdString(no_exif_.string()));
    QCOMPARE(enabled(), enabled_but({"mmShortcut", "mmPreviousFilter", "mmSkipped"}));
    // Each has its caption in both languages.
    for (const char* language : {"rb_Rus", "rb_Eng"}) {
      Find<QRadioButton>(*window, language)->click();
      for (QAction* action : commands) QVERIFY2(!action->text().isEmpty(), qPrintable(action->objectName()));
    }
  }

  void aCommandActsOnlyWhileItsRuleHolds() {
    // The rule is asked again when the command is triggered, so an action left enabled by a state
    // change that has not been shown yet does nothing.
    static constexpr CommandRow kRows[] = {{"mmWithResult", Qt::Key_F9, EnabledRule::kIdleWithResult},
                                           {"mmAlways", Qt::Key_F11, EnabledRule::kAlways}};
    QMenu menu;
    CommandContext context{.running = false, .folder_usable = true, .result_shown = true};
    WindowCommands commands(kRows, menu, [&context] { return context; });
    QStringList acted;
    commands.Bind("mmWithResult", [&acted] { acted << QStringLiteral("result"); });
    commands.Bind("mmAlways", [&acted] { acted << QStringLiteral("always"); });
    commands.UpdateActions();
    QVERIFY(commands.Action("mmWithResult").isEnabled());
    QCOMPARE(commands.Action("mmAlways").shortcut(), QKeySequence(Qt::Key_F11));
    context.running = true;
    commands.Action("mmWithResult").trigger();
    commands.Action("mmAlways").trigger();
    QCOMPARE(acted, QStringList{QStringLiteral("always")});
    commands.UpdateActions();
    QVERIFY(!commands.Action("mmWithResult").isEnabled());
    context = {.running = false, .folder_usable = false, .result_shown = true};
    commands.UpdateActions();
    commands.Action("mmWithResult").trigger();
    QCOMPARE(acted, (QStringList{QStringLiteral("always"), QStringLiteral("result")}));
  }

  void optionsEditedByTheProgramAreWhatTheSettingsKeep() {
    // The controls write the options as they change, whoever changes them: the crop dialogs untick
    // cb_CF, a test ticks cb_HideLeft.
    {
      auto window = Open();
      Find<QCheckBox>(*window, "cb_CF")->setChecked(false);
      Find<QCheckBox>(*window, "cb_HideLeft")->setChecked(true);
      Find<QRadioButton>(*window, "rb_Linear")->setChecked(true);
      Find<QRadioButton>(*window, "rb_Rus")->setChecked(true);
      QCOMPARE(window->UiLanguage(), kRussian);
      QVERIFY(!window->CurrentChartSettings().rb_Text);
      window->close();
    }
    QCOMPARE(ReadFileBytes(Home() / "Lumetra.ini"),
             std::string(
                 "\r\nRussian\r\nReal\r\nLinear\r\nKF = no\r\nSubFolders\r\nHide\r\nJPEG only\r\nRemember photos\r\n"));
  }

  void languageSwitchRelabelsEverythingAndKeepsTheCounts() {
    auto window = Open();
    Run(*window, demo_);
    const Chart& program = window->Charts()[ChartId::Chart_Program];
    const auto counts = [&] {
      std::vector<int64_t> values;
      for (const ChartPoint& point : program.bar.Points()) values.push_back(point.value);
      return values;
    };
    const std::vector<int64_t> english_counts = counts();
    QCOMPARE(program.bar.Points().front().label, std::string("Manual"));
    Find<QRadioButton>(*window, "rb_Rus")->click();
    QCOMPARE(program.bar.Points().front().label, std::string("Ручной"));
    QCOMPARE(program.title, std::string("Режим съемки"));
    QCOMPARE(program.axis_title, std::string("Количество"));
    QVERIFY(counts() == english_counts);
    QCOMPARE(window->Survey().tallyProgram.front().text, std::string("Ручной"));
    QCOMPARE(Panel(*window, 1), QString::fromStdString(FilteredText(window->Survey().filteredCount, kRussian)));
    QCOMPARE(Find<QAction>(*window, "mmRun")->text(), QStringLiteral("Запуск программы"));
    QCOMPARE(Find<QGroupBox>(*window, "Box_Settings")->title(), QStringLiteral(" Настройки "));
    auto* tabs = Find<ChartTabs>(*window, "Tab_Exif");
    QCOMPARE(tabs->caption(0), QStringLiteral("ОСНОВНЫЕ"));
    QCOMPARE(tabs->caption(11), QStringLiteral("Drive mode"));
    QCOMPARE(Find<QAbstractButton>(*window, "but_Stop")->text(), QStringLiteral("Стоп"));
    Find<QRadioButton>(*window, "rb_Eng")->click();
    QCOMPARE(program.bar.Points().front().label, std::string("Manual"));
    QCOMPARE(Find<QAbstractButton>(*window, "but_Stop")->text(), QStringLiteral("Стоп"));
    QCOMPARE(Panel(*window, 0), QStringLiteral(" Processed %1 photos with EXIF").arg(window->Survey().processedCount));

    // Tab 8's long form is set only by hiding the panel; a language switch gives the short one.
    window->SetLeftPanel(TForm_Exif::PanelMode::Hide);
    Find<QRadioButton>(*window, "rb_Rus")->click();
    QCOMPARE(tabs->caption(kAdditionalTab), QStringLiteral("ДОПОЛНИТ."));
    window->SetLeftPanel(TForm_Exif::PanelMode::Change);
    window->SetLeftPanel(TForm_Exif::PanelMode::Change);
    QCOMPARE(tabs->caption(kAdditionalTab), QStringLiteral("ДОПОЛНИТЕЛЬНЫЕ"));
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::MainWindowTest)
#include "MainWindowTest.moc"
