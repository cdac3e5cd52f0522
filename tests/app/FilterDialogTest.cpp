// The filter dialog and the summary box, driven through their object names: alone for the input rules
// and Apply's checks, and from the main window for what an Apply does to the survey shown.

#include <filesystem>
#include <functional>
#include <sstream>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>

#include "app/Lumetra_main.h"
#include "app/cli/SurveyCommand.h"
#include "app/platform/WindowsFonts.h"
#include "filter/ApplyChecks.h"
#include "filter/ChartFilterChange.h"
#include "filter/FilterDialog.h"
#include "survey/CaptureTime.h"
#include "testing/DemoFolder.h"
#include "tests/support/WindowHelpers.h"

namespace lumetra {
namespace {

using testing::Find;

const QColor kInvalidColour(0xF0, 0x97, 0xCF);

bool Painted(QWidget& dialog, const QString& name) {
  QWidget* widget = Find<QWidget>(dialog, name);
  if (auto* list = qobject_cast<QScrollArea*>(widget)) {
    return list->viewport()->palette().color(QPalette::Window) == kInvalidColour;
  }
  return widget->palette().color(QPalette::Base) == kInvalidColour;
}

const QStringList kPaintable = {"ed_from1", "ed_to1",   "ed_from2",        "ed_to2",        "ed_from3",
                                "ed_to3",   "ed_from4", "ed_to4",          "ed_from5",      "ed_to5",
                                "ed_from6", "ed_to6",   "ScrollBox_Photo", "ScrollBox_Lens"};

}  // namespace

class FilterDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::filesystem::path demo_;
  QStringList errors_;

  // The dialog alone on criteria of the test's own, shown without waiting.
  struct Alone {
    FilterCriteria criteria;
    SurveyState survey;
    std::unique_ptr<TForm_Filter> dialog;
  };
  static std::unique_ptr<Alone> ShowAlone(int32_t processed = 0) {
    auto alone = std::make_unique<Alone>();
    alone->survey.processedCount = processed;
    alone->criteria.ModelChecks = {{"Canon EOS 40D", true}, {"NIKON D70", true}};
    alone->criteria.LensChecks = {{"EF24-105mm f/4L IS USM", true}};
    alone->dialog = std::make_unique<TForm_Filter>(alone->criteria);
    alone->dialog->Show(FilterDialogContext{
        .survey = &alone->survey, .rb_Real = true, .language = kEnglish, .screen = QSize(1024, 768), .separator = '.'});
    return alone;
  }

  std::unique_ptr<TForm_Exif> OpenWindow(QSize screen = QSize(1024, 768)) {
    auto window = std::make_unique<TForm_Exif>(
        WindowStart{{}, screen, home_.path().toStdString(), [this](const QString& message) { errors_ << message; }});
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

  static void Survey(TForm_Exif& window, const std::filesystem::path& folder) {
    window.myTreeChange(QString::fromStdString(folder.string()));
    Find<QAbstractButton>(window, "but_Run")->click();
  }

  // Clicks the filter summary as a person does; inside the modal dialog, does `act`, which ends by
  // pressing one of its buttons or keys.
  static void UseFilter(TForm_Exif& window, const std::function<void(QWidget&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->objectName(), QStringLiteral("Form_Filter"));
      acted = true;
      act(*dialog);
      // A step that left the dialog open would hang the test: close it as Cancel does.
      if (dialog->isVisible()) Find<QAbstractButton>(*dialog, "but_Close")->click();
    });
    QTest::mouseClick(Find<QWidget>(window, "Filter_Box"), Qt::LeftButton, {}, QPoint(30, 30));
    QVERIFY(acted);
  }

  static void Type(QWidget& dialog, const char* box, const QString& text) {
    auto* edit = Find<QLineEdit>(dialog, box);
    edit->clear();
    QTest::keyClicks(edit, text);
  }

  static QString Panel(TForm_Exif& window, int panel) {
    return Find<QLabel>(window, QStringLiteral("myStatusBar_Panel%1").arg(panel))->text();
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    // The fonts the dialog asks for by name, as the program finds them.
    SubstituteWindowsFonts();
    demo_ = std::filesystem::path(home_.path().toStdString()) / "demo";
    testing::WriteDemoFolder(demo_);
  }

  void init() {
    errors_.clear();
    std::filesystem::remove(std::filesystem::path(home_.path().toStdString()) / "Lumetra.ini");
  }

  void cleanup() { QCOMPARE(errors_, QStringList()); }

  // What a bound box keeps of typed and pasted text; the criteria follow the box at once.
  void boundBoxesKeepOnlyWhatTheirRulesAllow_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("a fraction") << "ed_from1"
                                << "1/250"
                                << ""
                                << "1/250";
    QTest::newRow("a second slash is undone") << "ed_from1"
                                              << "1/2/50"
                                              << ""
                                              << "1/250";
    QTest::newRow("a second point is undone") << "ed_to1"
                                              << "0.5.1"
                                              << ""
                                              << "0.51";
    QTest::newRow("a seventh character is refused") << "ed_from1"
                                                    << "1234567"
                                                    << ""
                                                    << "123456";
    QTest::newRow("letters are refused") << "ed_to1"
                                         << "1/a60s"
                                         << ""
                                         << "1/60";
    QTest::newRow("F-number: four characters") << "ed_from2"
                                               << "2.8.15"
                                               << ""
                                               << "2.81";
    QTest::newRow("F-number: a lone point") << "ed_to2"
                                            << "."
                                            << ""
                                            << ".";
    QTest::newRow("focal: digits only") << "ed_from3"
                                        << "18mm"
                                        << ""
                                        << "18";
    QTest::newRow("ISO: six digits") << "ed_to4"
                                     << "1000000"
                                     << ""
                                     << "100000";
    QTest::newRow("date: digits and dashes") << "ed_from5"
                                             << "2019-03-14"
                                             << ""
                                             << "2019-03-14";
    QTest::newRow("date: an eleventh character is refused") << "ed_to5"
                                                            << "2019-03-145"
                                                            << ""
                                                            << "2019-03-14";
    QTest::newRow("date: slashes and letters are refused") << "ed_from5"
                                                           << "2019/03a-1"
                                                           << ""
                                                           << "201903-1";
    QTest::newRow("hours: two digits") << "ed_from6"
                                       << "223"
                                       << ""
                                       << "22";
    QTest::newRow("hours: pasted text with a colon") << "ed_to6"
                                                     << ""
                                                     << "4:00"
                                                     << "";
    QTest::newRow("pasted fraction") << "ed_from1"
                                     << ""
                                     << "1/60"
                                     << "1/60";
    QTest::newRow("pasted text with two slashes") << "ed_to1"
                                                  << "1/"
                                                  << "1/60"
                                                  << "1/";
    QTest::newRow("pasted letters into focal") << "ed_from3"
                                               << ""
                                               << "18mm"
                                               << "";
    QTest::newRow("pasted seven digits into ISO") << "ed_from4"
                                                  << ""
                                                  << "1000000"
                                                  << "";
  }

  void boundBoxesKeepOnlyWhatTheirRulesAllow() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    auto alone = ShowAlone();
    auto* edit = Find<QLineEdit>(*alone->dialog, box);
    QTest::keyClicks(edit, typed);
    if (!pasted.isEmpty()) {
      QApplication::clipboard()->setText(pasted);
      edit->paste();
    }
    QCOMPARE(edit->text(), kept);
    const std::string FilterCriteria::*fields[] = {
        &FilterCriteria::ed_from1, &FilterCriteria::ed_to1, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2,
        &FilterCriteria::ed_from3, &FilterCriteria::ed_to3, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4,
        &FilterCriteria::ed_from5, &FilterCriteria::ed_to5, &FilterCriteria::ed_from6, &FilterCriteria::ed_to6};
    const int index = static_cast<int>(kPaintable.indexOf(box));
    QCOMPARE(QString::fromStdString(alone->criteria.*fields[index]), kept);
  }

  // Apply with input that its checks refuse: the dialog stays open with exactly these boxes painted.
  void applyRefusesAndPaints_data() {
    QTest::addColumn<QStringList>("texts");  // box=text pairs
    QTest::addColumn<QStringList>("painted");
    QTest::newRow("exposure bounds reversed")
        << QStringList{"ed_from1=1/60", "ed_to1=1/250"} << QStringList{"ed_from1", "ed_to1"};
    QTest::newRow("a lone slash paints both") << QStringList{"ed_to1=/"} << QStringList{"ed_from1", "ed_to1"};
    QTest::newRow("a fraction of a second or more") << QStringList{"ed_from1=3/2"} << QStringList{"ed_from1"};
    QTest::newRow("a zero exposure, unpainted") << QStringList{"ed_to1=0.0"} << QStringList{};
    QTest::newRow("F-number: a lone point") << QStringList{"ed_from2=."} << QStringList{"ed_from2"};
    QTest::newRow("F-number 0, unpainted") << QStringList{"ed_from2=0"} << QStringList{};
    QTest::newRow("focal reversed") << QStringList{"ed_from3=55", "ed_to3=18"} << QStringList{"ed_from3", "ed_to3"};
    QTest::newRow("ISO 0, unpainted") << QStringList{"ed_from4=0"} << QStringList{};
    QTest::newRow("a day that does not exist") << QStringList{"ed_from5=2019-02-29"} << QStringList{"ed_from5"};
    QTest::newRow("a date without its dashes' places") << QStringList{"ed_to5=2019-3-14"} << QStringList{"ed_to5"};
    QTest::newRow("dates reversed") << QStringList{"ed_from5=2021-01-01", "ed_to5=2020-12-31"}
                                    << QStringList{"ed_from5", "ed_to5"};
    QTest::newRow("hour 24") << QStringList{"ed_to6=24"} << QStringList{"ed_to6"};
    QTest::newRow("every model unticked")
        << QStringList{"ScrollBox_Photo_0=", "ScrollBox_Photo_1="} << QStringList{"ScrollBox_Photo"};
    QTest::newRow("every lens unticked") << QStringList{"ScrollBox_Lens_0="} << QStringList{"ScrollBox_Lens"};
  }

  void applyRefusesAndPaints() {
    QFETCH(QStringList, texts);
    QFETCH(QStringList, painted);
    auto alone = ShowAlone(/*processed=*/5);
    TForm_Filter& dialog = *alone->dialog;
    for (const QString& entry : texts) {
      const QString box = entry.section(QLatin1Char('='), 0, 0);
      if (box.startsWith(QStringLiteral("ScrollBox"))) {
        Find<QCheckBox>(dialog, box)->click();
      } else {
        Type(dialog, qPrintable(box), entry.section(QLatin1Char('='), 1));
      }
    }
    QSignalSpy finished(&dialog, &QDialog::finished);
    QTest::keyClick(Find<QLineEdit>(dialog, "ed_from1"), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);
    for (const QString& box : kPaintable) QVERIFY2(Painted(dialog, box) == painted.contains(box), qPrintable(box));
    // The next Apply starts from normal backgrounds.
    Find<QAbstractButton>(dialog, "but_Clear")->click();
    for (const QString& box : kPaintable) QVERIFY2(!Painted(dialog, box), qPrintable(box));
    Find<QAbstractButton>(dialog, "but_OK")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void applyRewritesAFractionAndStoresTheExclusions() {
    auto alone = ShowAlone(5);
    TForm_Filter& dialog = *alone->dialog;
    Type(dialog, "ed_from1", QStringLiteral("2/500"));
    Find<QCheckBox>(dialog, "ScrollBox_Photo_1")->click();
    Find<QCheckBox>(dialog, "cb_Manual")->click();
    Find<QAbstractButton>(dialog, "rb_Orientation_V")->click();
    Find<QAbstractButton>(dialog, "but_OK")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(alone->criteria.ed_from1, std::string("1/250"));
    QCOMPARE(alone->criteria.ModelExclusions, std::vector<std::string>{"NIKON D70"});
    QVERIFY(!dialog.Applied().cb_Manual);
    QCOMPARE(dialog.Applied().orientation, 1);
    QCOMPARE(Find<QLineEdit>(dialog, "ed_from1")->text(), QStringLiteral("1/250"));
  }

  // Cancel, Escape and the window's close button drop every change since the dialog was shown.
  void cancelPutsBackTheFilterAsApplied_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close button") << "close";
  }

  void cancelPutsBackTheFilterAsApplied() {
    QFETCH(QString, how);
    auto alone = ShowAlone(5);
    TForm_Filter& dialog = *alone->dialog;
    Type(dialog, "ed_to4", QStringLiteral("800"));
    Find<QCheckBox>(dialog, "cb_Manual")->click();
    Find<QAbstractButton>(dialog, "but_OK")->click();
    const FilterCriteria applied = alone->criteria;

    alone->criteria.keepChecks = true;
    alone->dialog->Show(FilterDialogContext{.survey = &alone->survey, .screen = QSize(1024, 768)});
    Type(dialog, "ed_to4", QStringLiteral("1600"));
    Type(dialog, "ed_from1", QStringLiteral("1/8"));
    Find<QCheckBox>(dialog, "cb_Manual")->click();
    Find<QCheckBox>(dialog, "cb_Spot")->click();
    Find<QCheckBox>(dialog, "ScrollBox_Lens_0")->click();
    Find<QAbstractButton>(dialog, "rb_Flash_Yes")->click();
    QCOMPARE(alone->criteria.ed_to4, std::string("1600"));
    if (how == QStringLiteral("button")) {
      Find<QAbstractButton>(dialog, "but_Close")->click();
    } else if (how == QStringLiteral("escape")) {
      QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
      dialog.close();
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!alone->criteria.keepChecks);
    QCOMPARE(alone->criteria.ed_to4, applied.ed_to4);
    QCOMPARE(alone->criteria.ed_from1, applied.ed_from1);
    QCOMPARE(alone->criteria.cb_Manual, false);
    QCOMPARE(alone->criteria.cb_Spot, true);
    QCOMPARE(alone->criteria.rb_Flash_Yes, false);
    QVERIFY(alone->criteria.LensChecks[0].checked);
    // Shown again, the dialog shows the filter as applied.
    alone->dialog->Show(FilterDialogContext{.survey = &alone->survey, .screen = QSize(1024, 768)});
    QCOMPARE(Find<QLineEdit>(dialog, "ed_to4")->text(), QStringLiteral("800"));
    QVERIFY(!Find<QCheckBox>(dialog, "cb_Manual")->isChecked());
    QVERIFY(Find<QCheckBox>(dialog, "cb_Spot")->isChecked());
    QVERIFY(!Find<QAbstractButton>(dialog, "rb_Flash_Yes")->isChecked());
  }

  // "Only" a bar of the program chart changes the filter without the dialog; shown next, the dialog shows
  // that filter rather than the boxes of its own last Apply.
  void aFilterChangedFromAChartIsShownAsApplied() {
    auto alone = ShowAlone(5);
    TForm_Filter& dialog = *alone->dialog;
    Find<QAbstractButton>(dialog, "but_Close")->click();
    alone->survey.tallyProgram[0].count = 3;
    alone->survey.tallyProgram[1].count = 2;
    const FilterChange change = ChartFilterChange(alone->criteria,
                                                  {.dimension = FilterDimension::kProgram,
                                                   .rows = alone->survey.tallyProgram,
                                                   .row = 0,
                                                   .command = ChartCommand::kOnly,
                                                   .filtered_count = 5},
                                                  alone->survey.processedCount);
    QVERIFY(change.criteria);
    alone->criteria = *change.criteria;
    dialog.SetApplied(ChoicesOf(alone->criteria));

    alone->dialog->Show(FilterDialogContext{.survey = &alone->survey, .screen = QSize(1024, 768)});
    QVERIFY(Find<QCheckBox>(dialog, "cb_Manual")->isChecked());
    for (const char* box : {"cb_Aperture", "cb_Normal", "cb_OtherP"}) {
      QVERIFY2(!Find<QCheckBox>(dialog, box)->isChecked(), box);
    }
    QVERIFY(Find<QCheckBox>(dialog, "cb_Spot")->isChecked());
    // Cancel keeps the chart's filter.
    Find<QAbstractButton>(dialog, "but_Close")->click();
    QVERIFY(!alone->criteria.cb_Aperture);
    QVERIFY(alone->criteria.cb_Manual);
  }

  void captionsFollowTheLanguage() {
    auto alone = ShowAlone();
    TForm_Filter& dialog = *alone->dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Filter"));
    QCOMPARE(Find<QLabel>(dialog, "lb_from1")->x(), 30);
    QCOMPARE(Find<QLabel>(dialog, "lb_Now1")->text(), QStringLiteral("Current range:  - "));
    QCOMPARE(Find<QLabel>(dialog, "lb_Now2")->text(), QStringLiteral("Current range: -"));
    alone->dialog->Show(
        FilterDialogContext{.survey = &alone->survey, .language = kRussian, .screen = QSize(1280, 1024)});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Фильтр"));
    QCOMPARE(Find<QAbstractButton>(dialog, "but_OK")->text(), QStringLiteral("Применить"));
    QCOMPARE(Find<QGroupBox>(dialog, "Box_FocalLength")->title(), QStringLiteral(" Фокусное растояние, мм "));
    QCOMPARE(Find<QLabel>(dialog, "lb_to2")->text(), QStringLiteral("до F/"));
    QCOMPARE(Find<QLabel>(dialog, "lb_from1")->x(), 42);
    QCOMPARE(Find<QLabel>(dialog, "lb_to2")->x(), 177);
    QCOMPARE(dialog.pos(), QPoint(312, 130));
    QCOMPARE(Find<QGroupBox>(dialog, "Box_Date")->title(), QStringLiteral(" Дата, ГГГГ-ММ-ДД "));
    QCOMPARE(Find<QLabel>(dialog, "lb_to6")->text(), QStringLiteral("до"));
    // Every caption fits its control.
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 6 <= button->width(),
               qPrintable(button->objectName()));
    }
  }

  // The date and hour boxes stand in one row below the category boxes, inside the dialog and clear of the
  // buttons; in both languages their words, boxes and current ranges stay apart and a whole day fits its box.
  void timeBoxesFitTheirRowInBothLanguages() {
    auto alone = ShowAlone();
    TForm_Filter& dialog = *alone->dialog;
    for (const Language language : {kEnglish, kRussian}) {
      alone->dialog->Show(
          FilterDialogContext{.survey = &alone->survey, .language = language, .screen = QSize(1024, 768)});
      QVERIFY(dialog.height() + 30 <= 768);  // with its title bar, on the smallest screen
      const QRect program = Find<QWidget>(dialog, "Box_Program")->geometry();
      const QRect ok = Find<QWidget>(dialog, "but_OK")->geometry();
      for (const int number : {5, 6}) {
        const QString n = QString::number(number);
        QWidget* box = Find<QWidget>(dialog, number == 5 ? "Box_Date" : "Box_Hours");
        QVERIFY(box->geometry().top() > program.bottom());
        QVERIFY(box->geometry().bottom() < ok.top());
        QVERIFY(dialog.rect().contains(box->geometry()));
        auto* from = Find<QLineEdit>(dialog, "ed_from" + n);
        auto* to = Find<QLineEdit>(dialog, "ed_to" + n);
        QWidget* from_label = Find<QWidget>(dialog, "lb_from" + n);
        QWidget* to_label = Find<QWidget>(dialog, "lb_to" + n);
        QVERIFY2(from_label->geometry().right() < from->x(), qPrintable(from_label->objectName()));
        QVERIFY2(from->geometry().right() < to_label->x(), qPrintable(to_label->objectName()));
        QVERIFY2(to_label->geometry().right() < to->x(), qPrintable(to->objectName()));
        QVERIFY(box->rect().contains(to->geometry()));
        QVERIFY(box->rect().contains(Find<QWidget>(dialog, "lb_Now" + n)->geometry()));
      }
      auto* day = Find<QLineEdit>(dialog, "ed_from5");
      QVERIFY(day->fontMetrics().horizontalAdvance(QStringLiteral("2019-03-14")) + 8 <= day->width());
    }
  }

  // The current ranges of the date and hour boxes come from the survey's capture times.
  void timeBoxesShowTheCurrentRanges() {
    auto alone = ShowAlone();
    alone->survey.CurrentRanges.taken_min = ParseCaptureTime("2019:03:14 06:10:00");
    alone->survey.CurrentRanges.taken_max = ParseCaptureTime("2021:07:02 23:59:00");
    alone->survey.CurrentRanges.hour_min = 6;
    alone->survey.CurrentRanges.hour_max = 23;
    alone->dialog->Show(
        FilterDialogContext{.survey = &alone->survey, .language = kEnglish, .screen = QSize(1024, 768)});
    QCOMPARE(Find<QLabel>(*alone->dialog, "lb_Now5")->text(), QStringLiteral("Current range: 2019-03-14 - 2021-07-02"));
    QCOMPARE(Find<QLabel>(*alone->dialog, "lb_Now6")->text(), QStringLiteral("Current range: 6 - 23"));
  }

  void clearCommandsUncheckWhatTheyName() {
    auto alone = ShowAlone(5);
    TForm_Filter& dialog = *alone->dialog;
    Find<QAbstractButton>(dialog, "rb_Flash_No")->click();
    Find<QAbstractButton>(dialog, "rb_Orientation_H")->click();
    Find<QAbstractButton>(dialog, "but_Flash")->click();
    QVERIFY(!Find<QAbstractButton>(dialog, "rb_Flash_No")->isChecked());
    QVERIFY(!alone->criteria.rb_Flash_No);
    QVERIFY(alone->criteria.rb_Orientation_H);
    Find<QAbstractButton>(dialog, "but_Orientation")->click();
    QVERIFY(!Find<QAbstractButton>(dialog, "rb_Orientation_H")->isChecked());
    QVERIFY(!alone->criteria.rb_Orientation_H);
    // A cleared pair still takes a choice.
    Find<QAbstractButton>(dialog, "rb_Flash_Yes")->click();
    QVERIFY(alone->criteria.rb_Flash_Yes);

    Type(dialog, "ed_from2", QStringLiteral("2.8"));
    Find<QCheckBox>(dialog, "cb_Partial")->click();
    Find<QCheckBox>(dialog, "ScrollBox_Photo_0")->click();
    Find<QAbstractButton>(dialog, "but_Clear")->click();
    QVERIFY(Find<QLineEdit>(dialog, "ed_from2")->text().isEmpty());
    QVERIFY(Find<QCheckBox>(dialog, "cb_Partial")->isChecked());
    QVERIFY(Find<QCheckBox>(dialog, "ScrollBox_Photo_0")->isChecked());
    QVERIFY(!Find<QAbstractButton>(dialog, "rb_Flash_Yes")->isChecked());
    QVERIFY(HasNoCriteria(alone->criteria));
    // Nothing is applied until Apply.
    QVERIFY(dialog.isVisible());
  }

  void usableFromTheKeyboardAlone() {
    auto alone = ShowAlone(5);
    TForm_Filter& dialog = *alone->dialog;
    QTRY_VERIFY(Find<QLineEdit>(dialog, "ed_from1")->hasFocus());
    // Tab runs through the eight bound boxes in reading order, the choices and lists, then the date and hours.
    for (const char* next : {"ed_to1", "ed_from2", "ed_to2", "ed_from3", "ed_to3", "ed_from4", "ed_to4"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("800"));
    for (int step = 0; step < 7 && QApplication::focusWidget()->objectName() != QStringLiteral("ed_from5"); ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("ed_from5"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2019-01-01"));
    for (const char* next : {"ed_to5", "ed_from6", "ed_to6"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(alone->criteria.ed_to4, std::string("800"));
    QCOMPARE(alone->criteria.ed_from5, std::string("2019-01-01"));
    QCOMPARE(alone->criteria.ed_to6, std::string("4"));
  }

  void aLongCheckListScrolls() {
    auto alone = std::make_unique<Alone>();
    for (int i = 0; i < 12; ++i) alone->criteria.ModelChecks.push_back({"Camera " + std::to_string(i), true});
    alone->dialog = std::make_unique<TForm_Filter>(alone->criteria);
    alone->dialog->Show(FilterDialogContext{.survey = &alone->survey, .screen = QSize(1024, 768)});
    QVERIFY(QTest::qWaitForWindowExposed(alone->dialog.get()));
    auto* list = Find<QScrollArea>(*alone->dialog, "ScrollBox_Photo");
    QVERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(list->verticalScrollBar()->maximum() > 0);
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    // The last entry can be reached and ticked.
    auto* last = Find<QCheckBox>(*alone->dialog, "ScrollBox_Photo_11");
    list->ensureWidgetVisible(last);
    QTest::mouseClick(last, Qt::LeftButton, {}, QPoint(8, last->height() / 2));
    QVERIFY(!alone->criteria.ModelChecks[11].checked);
  }

  // From the main window: an Apply recounts what the survey read, and the summary says what was applied.
  void applyRecountsLikeTheCommandLine() {
    auto window = OpenWindow();
    QVERIFY(window);
    Survey(*window, demo_);
    const int processed = window->Survey().processedCount;
    QString excluded;
    UseFilter(*window, [&](QWidget& dialog) {
      Type(dialog, "ed_from1", QStringLiteral("1/250"));
      Type(dialog, "ed_to1", QStringLiteral("1/60"));
      auto* model = Find<QCheckBox>(dialog, "ScrollBox_Photo_0");
      excluded = model->text();
      model->click();
      QTest::keyClick(Find<QLineEdit>(dialog, "ed_to1"), Qt::Key_Return);
    });

    cli::SurveyRequest request;
    request.folder = demo_.string();
    request.json = true;
    request.crop_file = (std::filesystem::path(home_.path().toStdString()) / "Lumetra.crop").string();
    request.exposure = "1/250:1/60";
    request.exclude_model = {excluded.toStdString()};
    std::ostringstream out;
    std::ostringstream errors;
    QCOMPARE(cli::RunSurveyCommand(request, out, errors), 0);
    const QJsonObject cli = QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
    QCOMPARE(cli["processed"].toInt(), processed);
    const int filtered = cli["filtered"].toInt();
    QVERIFY(filtered > 0 && filtered < processed);
    QCOMPARE(Panel(*window, 0), QStringLiteral(" Processed %1 photos with EXIF").arg(processed));
    QCOMPARE(Panel(*window, 1), QStringLiteral(" Filtered %1 photos").arg(filtered));
    QJsonArray rows;
    for (const myRecord& row : window->Survey().tallyShutter)
      rows.append(QJsonArray{QString::fromStdString(row.text), row.count});
    QCOMPARE(rows, cli["tallies"].toObject()["shutter"].toArray());
    QVERIFY(!window->Charts()[ChartId::Chart_ShutterSpeed].bar.Points().empty());

    // The summary, and the panel below it moved down.
    QVERIFY(Find<QLabel>(*window, "lb_Filter")->isHidden());
    auto* exposure = Find<QLabel>(*window, "lb_ShutterSpeed");
    QCOMPARE(exposure->text(), QStringLiteral("Exposure from 1/250sec to 1/60sec"));
    QCOMPARE(exposure->pos(), QPoint(3, 5));
    auto* models = Find<QLabel>(*window, "lb_Model");
    QCOMPARE(models->pos(), QPoint(3, 25));
    QVERIFY(models->text().startsWith(QStringLiteral("Models:\n   - ")));
    QVERIFY(!models->text().contains(excluded));
    const int list_lines = static_cast<int>(models->text().count(QLatin1Char('\n')));
    const int box = 5 + 40 + 13 * list_lines + 10;
    QCOMPARE(Find<QGroupBox>(*window, "Filter_Box")->height(), std::min(box, 268));
    auto* settings = Find<QGroupBox>(*window, "Box_Settings");
    QCOMPARE(settings->y(), 45 + std::min(box, 268) + 5);
    QCOMPARE(Find<QWidget>(*window, "myTree")->y(), settings->y() + settings->height() + 10);

    // Reopened, the dialog shows what was applied; in Russian the summary is rewritten, not recounted.
    UseFilter(*window, [&](QWidget& dialog) {
      QCOMPARE(Find<QLineEdit>(dialog, "ed_to1")->text(), QStringLiteral("1/60"));
      QVERIFY(!Find<QCheckBox>(dialog, "ScrollBox_Photo_0")->isChecked());
      Find<QAbstractButton>(dialog, "but_Close")->click();
    });
    Find<QRadioButton>(*window, "rb_Rus")->click();
    QCOMPARE(exposure->text(), QStringLiteral("Выдержка от 1/250с до 1/60с"));
    QVERIFY(models->text().startsWith(QStringLiteral("Фотоаппараты:\n")));
    QCOMPARE(window->Survey().filteredCount, filtered);

    // The default criteria applied: no filter, the box and the panel below back where they were.
    UseFilter(*window, [&](QWidget& dialog) {
      Find<QAbstractButton>(dialog, "but_Clear")->click();
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    QVERIFY(!Find<QLabel>(*window, "lb_Filter")->isHidden());
    QVERIFY(exposure->isHidden());
    QCOMPARE(Find<QGroupBox>(*window, "Filter_Box")->height(), 52);
    QCOMPARE(settings->y(), 102);
    QCOMPARE(window->Survey().filteredCount, processed);
    QVERIFY(window->Criteria().ModelExclusions.empty());
  }

  void aFilterThatPassesNothingShowsTheNoPhotosPicture() {
    auto window = OpenWindow();
    QVERIFY(window);
    Survey(*window, demo_);
    UseFilter(*window, [](QWidget& dialog) {
      Type(dialog, "ed_from4", QStringLiteral("999999"));
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    QCOMPARE(window->Survey().filteredCount, 0);
    QCOMPARE(Panel(*window, 1), QStringLiteral(" Filtered 0 photos"));
    QVERIFY(Find<QWidget>(*window, "Chart_SBox")->isHidden());
    QVERIFY(!Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
    // Lifting the bound brings the charts back without reading a file.
    UseFilter(*window, [](QWidget& dialog) {
      Find<QLineEdit>(dialog, "ed_from4")->clear();
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    QCOMPARE(window->Survey().filteredCount, window->Survey().processedCount);
    QVERIFY(!Find<QWidget>(*window, "Chart_SBox")->isHidden());
    QVERIFY(Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
  }

  void aFilterBeforeAnySurveyShowsTheNoPhotosPicture() {
    auto window = OpenWindow();
    QVERIFY(window);
    UseFilter(*window, [](QWidget& dialog) {
      Find<QAbstractButton>(dialog, "rb_Flash_Yes")->click();
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    QVERIFY(Find<QWidget>(*window, "Chart_SBox")->isHidden());
    QVERIFY(!Find<QLabel>(*window, "im_NoPhotoEng")->isHidden());
    QCOMPARE(Find<QLabel>(*window, "lb_Flash")->text(), QStringLiteral("Flash on"));
  }

  void aCancelledDialogRecountsNothing() {
    auto window = OpenWindow();
    QVERIFY(window);
    Survey(*window, demo_);
    const int filtered = window->Survey().filteredCount;
    UseFilter(*window, [](QWidget& dialog) {
      Type(dialog, "ed_from4", QStringLiteral("999999"));
      QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(window->Survey().filteredCount, filtered);
    QVERIFY(window->Criteria().ed_from4.empty());
    QVERIFY(!Find<QLabel>(*window, "lb_Filter")->isHidden());
  }

  void focalChoiceRecountsWhileAFocalBoundIsSet() {
    auto window = OpenWindow();
    QVERIFY(window);
    Survey(*window, demo_);
    UseFilter(*window, [](QWidget& dialog) {
      Type(dialog, "ed_from3", QStringLiteral("50"));
      Find<QAbstractButton>(dialog, "but_OK")->click();
    });
    const int real = window->Survey().filteredCount;
    Find<QRadioButton>(*window, "rb_Equivalent")->click();
    const int equivalent = window->Survey().filteredCount;
    QVERIFY2(real != equivalent, "the demo folder has photos at 50 mm and more in one measure only");
    QCOMPARE(Panel(*window, 1), QStringLiteral(" Filtered %1 photos").arg(equivalent));
  }
};

}  // namespace lumetra

QTEST_MAIN(lumetra::FilterDialogTest)
#include "FilterDialogTest.moc"
