#include "app/WindowStatusBar.h"

#include <cmath>

#include <QLabel>
#include <QToolButton>

#include "app/MainWindowDesign.h"
#include "app/UiTexts.h"
#include "numbers/FixedPoint.h"
#include "survey/SurveyTexts.h"
#include "survey/Tallies.h"

namespace lumetra {

using namespace detail;

WindowStatusBar::WindowStatusBar(QWidget* parent) : QStatusBar(parent), skipped_(new QToolButton(this)) {
  setObjectName("myStatusBar");
  setSizeGripEnabled(false);
  for (int panel = 0; panel < 3; ++panel) {
    QLabel* label = new QLabel(this);
    panels_[static_cast<size_t>(panel)] = label;
    label->setObjectName(QStringLiteral("myStatusBar_Panel%1").arg(panel));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    if (panel < 2) label->setFixedWidth(kDesignStatusWidths[panel]);
    addWidget(label, panel < 2 ? 0 : 1);
    if (panel == 1) {
      skipped_->setObjectName("myStatusBar_Skipped");
      skipped_->setAutoRaise(true);
      skipped_->setFocusPolicy(Qt::TabFocus);
      skipped_->hide();
      addWidget(skipped_);
    }
  }
  setFixedHeight(kDesignStatusHeight);
}

void WindowStatusBar::ShowCounters(const SurveyState& survey, Language language) {
  panels_[0]->setText(ToQString(ProcessedText(survey.processedCount, language)));
  panels_[1]->setText(ToQString(FilteredText(survey.filteredCount, language)));
}

void WindowStatusBar::ShowCredit(Language language) {
  before_note_.reset();
  panels_[2]->setText(ToQString(kCreditLine.In(language)));
  panels_[2]->setToolTip(QString());
}

void WindowStatusBar::ShowRecordsProblem(const std::string& problem, const std::string& program_folder,
                                         Language language) {
  if (problem.empty()) return ShowCredit(language);
  before_note_.reset();
  QLabel* panel = panels_[2];
  QString text = ToQString(kRecordsNotUsed.In(language)) + ToQString(problem);
  text.replace(QString::fromStdString(program_folder), QString());
  panel->setToolTip(ToQString(problem));
  panel->setText(panel->fontMetrics().elidedText(text, Qt::ElideRight, panel->contentsRect().width() - 4));
}

void WindowStatusBar::ShowNote(const QString& note) {
  if (!before_note_) before_note_ = panels_[2]->text();
  panels_[2]->setText(note);
}

void WindowStatusBar::EndNote() {
  if (before_note_) panels_[2]->setText(*before_note_);
  before_note_.reset();
}

void WindowStatusBar::ShowSkipped(size_t count, Language language) {
  skipped_->setText(ToQString(kSkippedNote.In(language)).arg(count));
  skipped_->setToolTip(ToQString(kSkippedNoteTip.In(language)));
  skipped_->setVisible(count > 0);
}

void WindowStatusBar::ScaleCounters(int64_t koef) {
  for (size_t panel = 0; panel < 2; ++panel) {
    panels_[panel]->setFixedWidth(
        static_cast<int>(std::nearbyint(static_cast<double>(kDesignStatusWidths[panel]) * koef / kFixedPointUnit)));
  }
}

int WindowStatusBar::CounterWidth() const { return panels_[0]->width(); }

}  // namespace lumetra
