// Writes pictures of the main window as a person sees it, for looking at by eye: the window at a given
// screen size after a run of the demo folder, on the main overview, the additional overview, a chart
// alone and in Russian; a run that passed over folders, with its list; the main menu opened, in both languages; the
// time pages over sixty months; the formats corpus surveyed with the photo formats turned on, when it is there;
// the exposure chart of a thousand distinct times as a pie.
// Run by scripts/screenshots.sh under an X server.
//
//   window_screenshots OUTPUT_FOLDER WIDTHxHEIGHT

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/ChartCommands.h"
#include "app/ChartTabs.h"
#include "app/Lumetra_main.h"
#include "charts/ChartPages.h"
#include "charts/ChartPicture.h"
#include "charts/ChartView.h"
#include "testing/DemoFolder.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "testing/TimeSpanFolder.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/WindowHelpers.h"

namespace {

using lumetra::testing::SaveScreenshot;

// Opens the main menu with a click on its title and photographs the screen around the window and the menu:
// the menu is a window of its own, outside the main window's picture.
void SaveOpenMenu(QMainWindow& window, const QString& folder, const QString& name) {
  auto* menu = window.findChild<QMenu*>(QStringLiteral("mSettings"));
  QMenuBar* bar = window.menuBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
  QTest::qWait(300);
  const QRect area = QRect(window.frameGeometry().topLeft(), menu->geometry().bottomRight() + QPoint(40, 40));
  const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
  if (!window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(file)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  }
  std::printf("%s\n", qPrintable(file));
  menu->hide();
}

// Right-clicks the largest bar or slice of `chart` and photographs the window with the chart menu open.
void SaveChartMenu(QMainWindow& window, lumetra::ChartId chart, const QString& folder, const QString& name) {
  auto* view = window.findChild<lumetra::ChartView*>(QString::fromStdString(lumetra::RowOf(chart).name.data()));
  const std::vector<lumetra::ChartPoint>& points = view->Model().Shown().Points();
  if (points.empty()) return;
  size_t largest = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    if (points[i].value > points[largest].value) largest = i;
  }
  lumetra::DrawnChart& drawn = view->Drawn();
  const QPointF value(points[largest].x, static_cast<qreal>(points[largest].value) / 2);
  const QPoint at = view->mapFromScene(drawn.mapToScene(drawn.mapToPosition(value, drawn.series().front())));
  QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
  QTest::qWait(300);
  auto* menu = window.findChild<QMenu*>(QStringLiteral("myPopup"));
  const QRect area = window.frameGeometry().united(menu->geometry());
  const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
  if (!window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(file)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  }
  std::printf("%s\n", qPrintable(file));
  menu->hide();
}

// 1,000 photos of distinct exposure times and 500 more shared by ten of them: the exposure chart's pie of
// a thousand slices, ten of them large.
void WriteManyExposuresFolder(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  for (uint32_t i = 0; i < 1500; ++i) {
    const uint32_t value = i < 1000 ? i : (i % 10) * 97;
    lumetra::testing::Ifd exif;
    exif.Rationals(0x829A, {{1, 100 + value}}).Rationals(0x829D, {{28, 10}}).Long(0x8827, {200});
    lumetra::testing::Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 5D").Sub(0x8769, exif);
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04u.JPG", i);
    lumetra::testing::WriteFileBytes(
        folder / name,
        lumetra::testing::BuildJpeg({lumetra::testing::ExifSegment(ifd0, lumetra::testing::ByteOrder::kLittle)}));
  }
}

// The exposure chart of a thousand distinct times switched to its pie on its own page, as the chart menu's
// "Change chart type" does, then with its largest slice highlighted by the keyboard.
void SaveManyExposuresPie(lumetra::TForm_Exif& window, lumetra::ChartTabs& tabs, const QString& output,
                          const QString& prefix, const std::filesystem::path& folder) {
  WriteManyExposuresFolder(folder);
  window.myTreeChange(QString::fromStdString(folder.string()));
  window.findChild<QAbstractButton*>(QStringLiteral("but_Run"))->click();
  QTest::mouseClick(&tabs, Qt::LeftButton, {},
                    tabs.tabRect(lumetra::OwnTab(lumetra::ChartId::Chart_ShutterSpeed)).center());
  lumetra::Chart& chart = window.Charts()[lumetra::ChartId::Chart_ShutterSpeed];
  chart.bar.active = false;
  chart.pie.active = true;
  auto* view = window.findChild<lumetra::ChartView*>(QStringLiteral("Chart_ShutterSpeed"));
  view->Refresh();
  SaveScreenshot(window, output, prefix + QStringLiteral("exposure-pie-1000"));
  // Its picture, as the chart menu's JPEG save draws it.
  const QString picture = QDir(output).filePath(prefix + QStringLiteral("exposure-pie-1000-picture.png"));
  if (!lumetra::DrawChartPicture(chart, lumetra::ExportSize(chart.id)).save(picture)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(picture));
  }
  std::printf("%s\n", qPrintable(picture));
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Right);
  SaveScreenshot(window, output, prefix + QStringLiteral("exposure-pie-1000-highlight"));
  chart.pie.active = false;
  chart.bar.active = true;
  view->Refresh();
}

// Clicks the filter summary and, inside the filter dialog, does `edit`, photographs the dialog and presses
// `button`.
template <typename Edit>
void UseFilter(QWidget& window, const QString& folder, const QString& name, Edit edit, const char* button) {
  QTimer::singleShot(0, [&, name, button] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    edit(*dialog);
    // The dialog's scroll bars settle after its first paint, as a person sees it.
    QTest::qWait(300);
    SaveScreenshot(*dialog, folder, name);
    dialog->findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
  });
  QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Filter_Box")), Qt::LeftButton, {}, QPoint(20, 20));
}

// Surveys photos of sixty months and photographs the time pages in both languages, the date chart on a
// linear axis, and the filter dialog with a date range and the night hours.
void SaveTimePages(lumetra::TForm_Exif& window, lumetra::ChartTabs& tabs, const QString& output, const QString& prefix,
                   const std::filesystem::path& folder) {
  lumetra::testing::WriteTimeSpanFolder(folder, 60);
  window.myTreeChange(QString::fromStdString(folder.string()));
  window.findChild<QAbstractButton*>(QStringLiteral("but_Run"))->click();
  const auto save_tab = [&](int tab, const QString& name) {
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(tab).center());
    SaveScreenshot(window, output, prefix + name);
  };
  for (const char* language : {"rb_Rus", "rb_Eng"}) {
    window.findChild<QAbstractButton*>(QString::fromLatin1(language))->click();
    const QString suffix = language == std::string_view("rb_Rus") ? QStringLiteral("-russian") : QString();
    save_tab(lumetra::kTimeTab, QStringLiteral("time") + suffix);
    save_tab(lumetra::OwnTab(lumetra::ChartId::Chart_Date), QStringLiteral("date-alone") + suffix);
    save_tab(lumetra::OwnTab(lumetra::ChartId::Chart_Weekday), QStringLiteral("weekday-alone") + suffix);
    save_tab(lumetra::OwnTab(lumetra::ChartId::Chart_Hour), QStringLiteral("hour-alone") + suffix);
  }
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Linear"))->click();
  save_tab(lumetra::OwnTab(lumetra::ChartId::Chart_Date), QStringLiteral("date-alone-linear"));
  save_tab(lumetra::kTimeTab, QStringLiteral("time-linear"));
  UseFilter(
      window, output, prefix + QStringLiteral("filter-dialog-time"),
      [](QWidget& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_from5")), QStringLiteral("2020-01-01"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_to5")), QStringLiteral("2021-06-30"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_from6")), QStringLiteral("22"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_to6")), QStringLiteral("4"));
      },
      "but_OK");
  SaveScreenshot(window, output, prefix + QStringLiteral("time-filtered"));
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Text"))->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_screenshots OUTPUT_FOLDER WIDTHxHEIGHT\n");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  const QStringList size = QString::fromLocal8Bit(argv[2]).split(QLatin1Char('x'));
  const QSize screen(size.value(0).toInt(), size.value(1).toInt());
  QDir().mkpath(output);
  QTemporaryDir home;
  const std::filesystem::path photos = std::filesystem::path(home.path().toStdString()) / "demo-photos";
  lumetra::testing::WriteDemoFolder(photos);

  lumetra::TForm_Exif window(lumetra::WindowStart{{}, screen, home.path().toStdString(), [](const QString& message) {
                                                    std::fprintf(stderr, "%s\n", qPrintable(message));
                                                  }});
  lumetra::InstallChartCommands(window, lumetra::CommandDialogs{});
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  const QString prefix = QStringLiteral("%1x%2-").arg(screen.width()).arg(screen.height());
  SaveScreenshot(window, output, prefix + QStringLiteral("start"));
  SaveOpenMenu(window, output, prefix + QStringLiteral("menu"));
  window.myTreeChange(QString::fromStdString(photos.string()));
  window.findChild<QAbstractButton*>(QStringLiteral("but_Run"))->click();
  SaveScreenshot(window, output, prefix + QStringLiteral("tab0"));
  // A long filter: two exposure bounds, a program and a camera left out, flash off.
  UseFilter(
      window, output, prefix + QStringLiteral("filter-dialog"),
      [](QWidget& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_from1")), QStringLiteral("1/250"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_to1")), QStringLiteral("1/60"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("ed_from2")), QStringLiteral("2.8"));
        dialog.findChild<QCheckBox*>(QStringLiteral("cb_Manual"))->setChecked(false);
        dialog.findChild<QCheckBox*>(QStringLiteral("cb_Spot"))->setChecked(false);
        dialog.findChild<QCheckBox*>(QStringLiteral("ScrollBox_Photo_0"))->setChecked(false);
        dialog.findChild<QAbstractButton*>(QStringLiteral("rb_Flash_No"))->setChecked(true);
      },
      "but_OK");
  SaveScreenshot(window, output, prefix + QStringLiteral("tab0-filtered"));
  // Bounds that Apply refuses: the dialog stays open with the boxes painted.
  UseFilter(
      window, output, prefix + QStringLiteral("filter-dialog-refused"),
      [](QWidget& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("ed_from1"))->setText(QStringLiteral("1/60"));
        dialog.findChild<QLineEdit*>(QStringLiteral("ed_to1"))->setText(QStringLiteral("1/250"));
        dialog.findChild<QLineEdit*>(QStringLiteral("ed_from3"))->setText(QStringLiteral("55"));
        dialog.findChild<QLineEdit*>(QStringLiteral("ed_to3"))->setText(QStringLiteral("18"));
        dialog.findChild<QAbstractButton*>(QStringLiteral("but_OK"))->click();
      },
      "but_Close");
  auto* tabs = window.findChild<lumetra::ChartTabs*>(QStringLiteral("Tab_Exif"));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(lumetra::kAdditionalTab).center());
  SaveScreenshot(window, output, prefix + QStringLiteral("tab8"));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(5).center());
  SaveScreenshot(window, output, prefix + QStringLiteral("program-alone"));
  // The chart menu's "Only" and "All but" on the bar clicked (highlighted), then "Only" done and taken back.
  SaveChartMenu(window, lumetra::ChartId::Chart_Program, output, prefix + QStringLiteral("chart-menu"));
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Rus"))->click();
  SaveScreenshot(window, output, prefix + QStringLiteral("program-alone-russian"));
  SaveChartMenu(window, lumetra::ChartId::Chart_Program, output, prefix + QStringLiteral("chart-menu-russian"));
  window.findChild<QAction*>(QStringLiteral("mOnly"))->trigger();
  SaveScreenshot(window, output, prefix + QStringLiteral("program-only-russian"));
  window.findChild<QAction*>(QStringLiteral("mmPreviousFilter"))->trigger();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(14).center());
  SaveChartMenu(window, lumetra::ChartId::Chart_Model, output, prefix + QStringLiteral("model-menu-russian"));
  // The highlight the arrow keys move, on bars of a linear axis.
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Linear"))->click();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
  auto* fnumber = window.findChild<lumetra::ChartView*>(QStringLiteral("Chart_Fnumber"));
  fnumber->setFocus();
  for (int step = 0; step < 3; ++step) QTest::keyClick(fnumber, Qt::Key_Right);
  SaveScreenshot(window, output, prefix + QStringLiteral("fnumber-linear-highlight-russian"));
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Text"))->click();
  // With the photo formats turned on: its check mark.
  window.findChild<QAction*>(QStringLiteral("mmAllFormats"))->trigger();
  SaveOpenMenu(window, output, prefix + QStringLiteral("menu-russian"));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(lumetra::kMainTab).center());
  SaveScreenshot(window, output, prefix + QStringLiteral("tab0-russian"));
  UseFilter(
      window, output, prefix + QStringLiteral("filter-dialog-russian"), [](QWidget&) {}, "but_Close");
  window.SetLeftPanel(lumetra::TForm_Exif::PanelMode::Change);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(14).center());
  SaveScreenshot(window, output, prefix + QStringLiteral("model-alone-russian-panel-hidden"));
  window.SetLeftPanel(lumetra::TForm_Exif::PanelMode::Change);
  // The formats corpus (HEIC, AVIF, RAW), surveyed with the formats turned on.
  if (const std::optional<std::filesystem::path> formats = lumetra::testing::FormatsCorpusFolder()) {
    window.myTreeChange(QString::fromStdString(formats->string()));
    window.findChild<QAbstractButton*>(QStringLiteral("but_Run"))->click();
    SaveScreenshot(window, output, prefix + QStringLiteral("formats-tab0-russian"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(14).center());
    SaveScreenshot(window, output, prefix + QStringLiteral("formats-model-alone-russian"));
  }
  SaveTimePages(window, *tabs, output, prefix, std::filesystem::path(home.path().toStdString()) / "time-span");
  // A run that passed over folders it could not read: the status bar's note and the list, in both languages.
  const std::filesystem::path passed_over = std::filesystem::path(home.path().toStdString()) / "passed-over";
  std::filesystem::copy(photos, passed_over, std::filesystem::copy_options::recursive);
  std::filesystem::create_directory_symlink("/proc", passed_over / "proc");
  std::filesystem::create_directory_symlink("/sys", passed_over / "sys");
  // The time pages left English and a filter that passes none of these photos: Russian, the filter cleared.
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Rus"))->click();
  UseFilter(
      window, output, prefix + QStringLiteral("filter-dialog-cleared-russian"),
      [](QWidget& dialog) { dialog.findChild<QAbstractButton*>(QStringLiteral("but_Clear"))->click(); }, "but_OK");
  window.myTreeChange(QString::fromStdString(passed_over.string()));
  window.findChild<QAbstractButton*>(QStringLiteral("but_Run"))->click();
  SaveScreenshot(window, output, prefix + QStringLiteral("passed-over-russian"));
  window.findChild<QAction*>(QStringLiteral("mmSkipped"))->trigger();
  auto* skipped = window.findChild<QDialog*>(QStringLiteral("SkippedItems"));
  QTest::qWait(300);
  SaveScreenshot(*skipped, output, prefix + QStringLiteral("passed-over-list-russian"));
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Eng"))->click();
  QTest::qWait(300);
  SaveScreenshot(*skipped, output, prefix + QStringLiteral("passed-over-list"));
  skipped->close();
  SaveScreenshot(window, output, prefix + QStringLiteral("passed-over"));
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Rus"))->click();
  const std::filesystem::path empty = std::filesystem::path(home.path().toStdString()) / "no-photos";
  std::filesystem::create_directory(empty);
  window.myTreeChange(QString::fromStdString(empty.string()));
  window.findChild<QAbstractButton*>(QStringLiteral("but_Run"))->click();
  SaveScreenshot(window, output, prefix + QStringLiteral("no-photos-russian"));
  // The filter was cleared above.
  window.findChild<QAbstractButton*>(QStringLiteral("rb_Eng"))->click();
  SaveManyExposuresPie(window, *tabs, output, prefix,
                       std::filesystem::path(home.path().toStdString()) / "many-exposures");
  return 0;
}
