// "Only" and "All but" from the charts and the way back, in the main window off-screen, through the object
// names of the controls and the mouse and keys a person uses.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include <QAbstractButton>
#include <QAbstractSeries>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include "app/ChartCommands.h"
#include "app/ChartMenu.h"
#include "app/ChartTabs.h"
#include "app/Lumetra_main.h"
#include "app/platform/WindowsFonts.h"
#include "charts/ChartPages.h"
#include "charts/ChartView.h"
#include "testing/DemoFolder.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/WindowHelpers.h"

namespace lumetra {

using testing::Find;

namespace fs = std::filesystem;

class ChartDrillDownTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  fs::path demo_;
  QStringList errors_;

  std::unique_ptr<TForm_Exif> OpenAndRun() { return OpenAndRun(demo_); }
  std::unique_ptr<TForm_Exif> OpenAndRun(const fs::path& folder) {
    auto window = std::make_unique<TForm_Exif>(
        WindowStart{{}, QSize(1024, 768), home_.path().toStdString(), [this](const QString& m) { errors_ << m; }});
    InstallChartCommands(*window, CommandDialogs{});
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    window->myTreeChange(QString::fromStdString(folder.string()));
    Find<QAbstractButton>(*window, "but_Run")->click();
    return window;
  }

  static ChartView* View(TForm_Exif& window, ChartId chart) {
    return Find<ChartView>(window, QString::fromStdString(window.Charts()[chart].name));
  }

  static void SelectTab(TForm_Exif& window, int tab) {
    Find<ChartTabs>(window, "Tab_Exif")->setCurrentIndex(tab);
    window.Tab_ExifChange();
    // The charts are laid out in their new places before anything is pointed at.
    QApplication::processEvents();
  }

  // Where point `point` of the shown series is drawn in `view`'s viewport, found through Qt Charts' own
  // mapping from values to positions: halfway up a bar, or halfway out along the middle of a slice.
  static QPoint PointPosition(ChartView& view, size_t point) {
    DrawnChart& drawn = view.Drawn();
    const ChartSeries& series = view.Model().Shown();
    const ChartPoint& shown = series.Points()[point];
    QPointF at;
    if (series.kind == SeriesKind::kBar) {
      QAbstractSeries* bars = drawn.series().front();
      at = drawn.mapToPosition(QPointF(shown.x, static_cast<qreal>(shown.value) / 2), bars);
    } else {
      qreal before = 0;
      for (size_t i = 0; i < point; ++i) before += static_cast<qreal>(series.Points()[i].value);
      const qreal middle = (before + static_cast<qreal>(shown.value) / 2) / static_cast<qreal>(series.Total());
      const qreal angle = middle * 2 * M_PI;
      const QRectF plot = drawn.plotArea();
      const qreal radius = std::min(plot.width(), plot.height()) / 4;
      at = plot.center() + QPointF(std::sin(angle) * radius, -std::cos(angle) * radius);
    }
    return view.mapFromScene(drawn.mapToScene(at));
  }

  // The point of the chart's shown series with the most photos.
  static size_t LargestPoint(const Chart& chart) {
    const std::vector<ChartPoint>& points = chart.Shown().Points();
    size_t largest = 0;
    for (size_t i = 1; i < points.size(); ++i) {
      if (points[i].value > points[largest].value) largest = i;
    }
    return largest;
  }

  static QMenu* RightClick(TForm_Exif& window, ChartView& view, QPoint at) {
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, at);
    return Find<QMenu>(window, "myPopup");
  }

  static QString StatusNote(TForm_Exif& window) { return Find<QLabel>(window, "myStatusBar_Panel2")->text(); }

  // Inside the modal filter dialog opened from the summary box, does `act`, which ends with a button.
  static void UseFilter(TForm_Exif& window, const std::function<void(QWidget&)>& act) {
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      QVERIFY(dialog != nullptr);
      act(*dialog);
      if (dialog->isVisible()) Find<QAbstractButton>(*dialog, "but_Close")->click();
    });
    QTest::mouseClick(Find<QWidget>(window, "Filter_Box"), Qt::LeftButton, {}, QPoint(30, 30));
    // The window is active again, as the window system makes it when a person closes the dialog (the
    // off-screen platform leaves the dialog active), so that its keys work.
    QApplication::setActiveWindow(&window);
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    SubstituteWindowsFonts();
    demo_ = fs::path(home_.path().toStdString()) / "demo";
    testing::WriteDemoFolder(demo_);
  }

  void theMenuNamesTheBarOrSliceUnderThePointer() {
    // Each chart kind on the page that shows it, as the user points at its largest bar or slice: the
    // caption quotes the label, and the commands are greyed with the reason where the filter has no
    // condition for the chart.
    struct Case {
      ChartId chart;
      int tab;
      bool linear_axis;
      bool zoomed;
      bool expressible;
    };
    const Case cases[] = {
        {ChartId::Chart_ShutterSpeed, 1, false, false, true}, {ChartId::Chart_ShutterSpeed, 1, true, false, true},
        {ChartId::Chart_ISO, 4, false, true, true},           {ChartId::Chart_FocalLength, 3, true, true, true},
        {ChartId::Chart_Program, 0, false, false, true},      {ChartId::Chart_Fnumber, 0, false, false, true},
        {ChartId::Chart_Orientation, 9, false, false, true},  {ChartId::Chart_Make, 8, false, false, false},
        {ChartId::Chart_Drive, 0, false, false, false},
    };
    for (const Language language : {kEnglish, kRussian}) {
      auto window = OpenAndRun();
      QVERIFY(window);
      Find<QAbstractButton>(*window, language == kEnglish ? "rb_Eng" : "rb_Rus")->click();
      for (const Case& c : cases) {
        Find<QAbstractButton>(*window, c.linear_axis ? "rb_Linear" : "rb_Text")->click();
        SelectTab(*window, c.tab);
        ChartView& view = *View(*window, c.chart);
        const QString trace = view.objectName() + QStringLiteral(" tab %1").arg(c.tab);
        if (c.zoomed) {
          // Zoomed into the right half of the bars and panned a little: the bar is found where it is drawn.
          const QRectF plot = view.Drawn().plotArea();
          view.Drawn().zoomIn(QRectF(plot.center().x(), plot.top(), plot.width() / 2, plot.height()));
          view.Drawn().scroll(-plot.width() / 20, 0);
          QApplication::processEvents();
        }
        const std::vector<ChartPoint>& points = view.Model().Shown().Points();
        // On a linear axis close values stand within a pixel of each other: the last bar stands apart, and
        // is in the right half a zoom keeps.
        const size_t point = c.zoomed || c.linear_axis ? points.size() - 1 : LargestPoint(view.Model());
        QMenu* popup = RightClick(*window, view, PointPosition(view, point));
        QVERIFY2(popup->isVisible(), qPrintable(trace));
        auto* only = Find<QAction>(*window, "mOnly");
        auto* all_but = Find<QAction>(*window, "mAllBut");
        QCOMPARE(only->text(),
                 QString::fromStdString(ChartCommandCaption(ChartCommand::kOnly, points[point].label, language)));
        QCOMPARE(all_but->text(),
                 QString::fromStdString(ChartCommandCaption(ChartCommand::kAllBut, points[point].label, language)));
        QVERIFY2(only->isEnabled() == c.expressible, qPrintable(trace));
        if (!c.expressible) {
          QVERIFY2(!all_but->isEnabled(), qPrintable(trace));
          const QString reason = language == kEnglish ? QStringLiteral("The filter has no condition for this chart")
                                                      : QStringLiteral("В фильтре нет условия для этой диаграммы");
          QCOMPARE(StatusNote(*window), reason);
        }
        popup->hide();
        view.Drawn().zoomReset();
      }
    }
  }

  void aMenuOffEveryBarIsGreyedAndSaysWhy() {
    auto window = OpenAndRun();
    QVERIFY(window);
    SelectTab(*window, 1);
    ChartView& view = *View(*window, ChartId::Chart_ShutterSpeed);
    // The top left corner of the view is outside the plot: no bar there.
    QMenu* popup = RightClick(*window, view, QPoint(3, 3));
    QVERIFY(popup->isVisible());
    QVERIFY(!Find<QAction>(*window, "mOnly")->isEnabled());
    QVERIFY(!Find<QAction>(*window, "mAllBut")->isEnabled());
    QCOMPARE(Find<QAction>(*window, "mOnly")->text(), QStringLiteral("Only"));
    QCOMPARE(StatusNote(*window), QStringLiteral("Point at a bar or slice, or choose one with the arrow keys"));
    popup->hide();
    QCOMPARE(StatusNote(*window), QStringLiteral("Lumetra: how your photos were taken"));
  }

  void ctrlClickKeepsOnlyTheBarsPhotosAndCtrlAltClickLeavesThemOut() {
    auto window = OpenAndRun();
    QVERIFY(window);
    const int32_t all = window->Survey().filteredCount;
    SelectTab(*window, 1);
    ChartView& view = *View(*window, ChartId::Chart_ShutterSpeed);
    const size_t point = LargestPoint(view.Model());
    const ChartPoint chosen = view.Model().Shown().Points()[point];
    QVERIFY(chosen.value < all);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, PointPosition(view, point));
    QCOMPARE(window->Survey().filteredCount, chosen.value);
    // The page still shows the chart, now of one bar, and the summary says what is applied.
    QCOMPARE(window->CurrentTab(), 1);
    QCOMPARE(view.Model().Shown().Points().size(), size_t{1});
    QVERIFY(Find<QLabel>(*window, "lb_Filter")->isHidden());

    QTest::keyClick(window.get(), Qt::Key_Backspace);
    QCOMPARE(window->Survey().filteredCount, all);
    QVERIFY(!Find<QLabel>(*window, "lb_Filter")->isHidden());

    // "All but" inside the one range the filter holds cannot be said: nothing changes, the reason shows.
    QApplication::processEvents();
    const size_t inner = view.Model().Shown().Points().size() / 2;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier,
                      PointPosition(view, inner));
    QCOMPARE(window->Survey().filteredCount, all);
    QCOMPARE(StatusNote(*window),
             QStringLiteral("The filter holds one range: \"All but\" works on the first or the last bar"));

    // On the model pie it leaves the camera out.
    SelectTab(*window, 14);
    ChartView& models = *View(*window, ChartId::Chart_Model);
    const size_t slice = LargestPoint(models.Model());
    const ChartPoint model = models.Model().Shown().Points()[slice];
    QTest::mouseClick(models.viewport(), Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier,
                      PointPosition(models, slice));
    QCOMPARE(window->Survey().filteredCount, all - model.value);
    for (const ChartPoint& left : models.Model().Shown().Points()) QVERIFY(left.label != model.label);
    QCOMPARE(StatusNote(*window), QStringLiteral("Lumetra: how your photos were taken"));
  }

  void theKeyboardHighlightsABarAndOpensItsMenu() {
    auto window = OpenAndRun();
    QVERIFY(window);
    SelectTab(*window, 2);
    ChartView& view = *View(*window, ChartId::Chart_Fnumber);
    view.setFocus();
    QCOMPARE(view.Highlighted(), std::nullopt);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.Highlighted(), std::optional<size_t>(1));
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Left);
    QCOMPARE(view.Highlighted(), std::optional<size_t>(0));
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier);
    QMenu* popup = Find<QMenu>(*window, "myPopup");
    QVERIFY(popup->isVisible());
    const std::string label = view.Model().Shown().Points()[1].label;
    QCOMPARE(Find<QAction>(*window, "mOnly")->text(),
             QString::fromStdString(ChartCommandCaption(ChartCommand::kOnly, label, kEnglish)));
    const int32_t expected = static_cast<int32_t>(view.Model().Shown().Points()[1].value);
    Find<QAction>(*window, "mOnly")->trigger();
    popup->hide();
    QCOMPARE(window->Survey().filteredCount, expected);
  }

  // The exposure chart of 300 distinct times, one of them shared by 100 photos, switched to its pie by its
  // menu: a pie painted by one item, whose slices the mouse and the keys still find.
  void aPieOfHundredsOfRowsAnswersClicksAndKeys() {
    const fs::path folder = fs::path(home_.path().toStdString()) / "many-exposures";
    for (uint32_t i = 0; i < 400; ++i) {
      testing::Ifd exif;
      exif.Rationals(0x829A, {{1, 100 + (i < 300 ? i : 0)}}).Rationals(0x829D, {{28, 10}}).Long(0x8827, {200});
      testing::Ifd ifd0;
      ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 5D").Sub(0x8769, exif);
      testing::WriteFileBytes(folder / ("IMG_" + std::to_string(i) + ".JPG"),
                              testing::BuildJpeg({testing::ExifSegment(ifd0, testing::ByteOrder::kLittle)}));
    }
    auto window = OpenAndRun(folder);
    QVERIFY(window);
    SelectTab(*window, OwnTab(ChartId::Chart_ShutterSpeed));
    ChartView& view = *View(*window, ChartId::Chart_ShutterSpeed);
    RightClick(*window, view, view.rect().center())->hide();
    Find<QAction>(*window, "mChangeType")->trigger();
    QApplication::processEvents();
    QCOMPARE(view.Drawn().PaintedSlices().Slices().size(), size_t{300});
    const size_t largest = LargestPoint(view.Model());
    QCOMPARE(view.Model().Shown().Points()[largest].value, int64_t{101});
    // Ctrl+click on the large slice keeps only its photos.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, PointPosition(view, largest));
    QCOMPARE(window->Survey().filteredCount, 101);
    QCOMPARE(view.Drawn().PaintedSlices().Slices().size(), size_t{0});
    Find<QAction>(*window, "mmPreviousFilter")->trigger();
    QCOMPARE(window->Survey().filteredCount, 400);
    // The keys move the highlight over the thin slices, the painted pie pulling out the one chosen.
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.Highlighted(), std::optional<size_t>(1));
    QCOMPARE(view.Drawn().PaintedSlices().Highlighted(), std::optional<size_t>(1));
  }

  void backspaceWalksBackThroughDialogChartAndClear() {
    auto window = OpenAndRun();
    QVERIFY(window);
    const int32_t all = window->Survey().filteredCount;
    QAction& previous = *Find<QAction>(*window, "mmPreviousFilter");
    QVERIFY(!previous.isEnabled());

    // 1. The dialog: photos from ISO 200 on.
    UseFilter(*window, [](QWidget& dialog) {
      Find<QLineEdit>(dialog, "ed_from4")->setText(QStringLiteral("200"));
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    const int32_t by_dialog = window->Survey().filteredCount;
    QVERIFY(by_dialog < all && by_dialog > 0);
    QVERIFY(previous.isEnabled());

    // 2. The chart: only the largest orientation of those.
    SelectTab(*window, 9);
    ChartView& view = *View(*window, ChartId::Chart_Orientation);
    const size_t point = LargestPoint(view.Model());
    const int32_t by_chart = static_cast<int32_t>(view.Model().Shown().Points()[point].value);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, PointPosition(view, point));
    QCOMPARE(window->Survey().filteredCount, by_chart);
    QVERIFY(by_chart < by_dialog);

    // 3. Clear in the dialog.
    UseFilter(*window, [](QWidget& dialog) {
      Find<QAbstractButton>(dialog, "but_Clear")->click();
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    QCOMPARE(window->Survey().filteredCount, all);
    QVERIFY(!Find<QLabel>(*window, "lb_Filter")->isHidden());

    // Back, step by step, the summary following.
    const int32_t expected[] = {by_chart, by_dialog, all};
    for (const int32_t count : expected) {
      QTest::keyClick(window.get(), Qt::Key_Backspace);
      QCOMPARE(window->Survey().filteredCount, count);
      QCOMPARE(Find<QLabel>(*window, "lb_Filter")->isHidden(), count != all);
    }
    QVERIFY(!previous.isEnabled());
    // Nothing more to take back: the key changes nothing.
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    QCOMPARE(window->Survey().filteredCount, all);
    // The dialog opens with the filter now applied: no ISO bound left behind.
    UseFilter(*window, [](QWidget& dialog) {
      QCOMPARE(Find<QLineEdit>(dialog, "ed_from4")->text(), QString());
      Find<QAbstractButton>(dialog, "but_Close")->click();
    });
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::ChartDrillDownTest)
#include "ChartDrillDownTest.moc"
