// The main window scaled to a screen that is not 1024 pixels wide, and the layout log of how.

#include <QLocale>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/LeftPanel.h"
#include "app/Lumetra_main.h"
#include "app/MainWindowDesign.h"
#include "app/WindowStatusBar.h"
#include "numbers/FixedPoint.h"

namespace lumetra {

using namespace detail;

namespace {

// A fixed-point factor in 1/10000: numerator / denominator rounded to four decimals.
int64_t Factor(int numerator, int denominator) {
  return static_cast<int64_t>(std::nearbyint(static_cast<double>(numerator) * kFixedPointUnit / denominator));
}

// A factor in the general number format with the user's decimal separator: 1.25, 1.3333, 1.
QString FactorText(int64_t factor) {
  QString text = QString::number(static_cast<double>(factor) / kFixedPointUnit, 'g', 15);
  return text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

}  // namespace

int TForm_Exif::ClientWidth() const { return client_size_.width(); }
int TForm_Exif::ClientHeight() const { return client_size_.height(); }

void TForm_Exif::LogLayout(const char* suffix) {
  const auto log = [&](const char* name, int64_t value) {
    layout_log_->Log(std::string(name) + suffix + " = ", value);
  };
  const auto font_pixels = [this](const char* name) {
    return findChild<QWidget*>(QString::fromLatin1(name))->font().pixelSize();
  };
  log("F_E.W", window_size_.width());
  log("F_E.H", window_size_.height());
  log("P_L.L", Panel_Left->x());
  log("P_L.W", Panel_Left->width());
  log("T_E.L", Tab_Exif->x());
  log("T_E.W", Tab_Exif->width());
  log("C_S.L", Chart_SBox->x());
  log("C_S.W", Chart_SBox->width());
  log("T_E.F", Tab_Exif->font().pixelSize());
  log("lbF.F", font_pixels("lb_Filter"));
  log("lbA.F", font_pixels("lb_Axis"));
  log("rbT.F", font_pixels("rb_Text"));
  log("cbSF.F", font_pixels("cb_SubFolders"));
  log("StB.F", myStatusBar->font().pixelSize());
  log("StB.0W", myStatusBar->CounterWidth());
}

void TForm_Exif::ScaleToScreen(QSize screen) {
  const int W = screen.width();
  const int H = screen.height();
  window_size_ =
      QSize(W * kDesignWindow.width() / kDesignScreenWidth, H * kDesignWindow.height() / kDesignScreenHeight);
  // The frame around the client area keeps its size.
  client_size_ = window_size_ - (kDesignWindow - kDesignClient);
  LogLayout("");
  ScaleControls(W);
  LogLayout("2");

  Koef_ = Factor(W, kDesignScreenWidth);
  myStatusBar->ScaleCounters(Koef_);
  KoefH_ = Factor(H, kDesignScreenHeight);
  layout_log_->Log("Koef = ", FactorText(Koef_).toStdString());
  layout_log_->Log("KoefH = ", FactorText(KoefH_).toStdString());
  ScaleChartArea();

  Panel_Left->move(Panel_Left->x(), 0);
  layout_log_->Log("P_L.H = ", Panel_Left->height());
  layout_log_->Log("mT.H = ", Panel_Left->Tree().height());
  Panel_Left->resize(Panel_Left->width(), ClientHeight() - 2 * status_height_);
  FolderTree& tree = Panel_Left->Tree();
  tree.resize(tree.width(), Panel_Left->contentsRect().height() - tree.y());
  layout_log_->Log("P_L.H2 = ", Panel_Left->height());
  layout_log_->Log("mT.H2 = ", tree.height());
}

void TForm_Exif::ScaleControls(int screen_width) {
  // Every control, its place, size and font, by W / 1024.
  const int W = screen_width;
  window_font_pixels_ = ScaleLength(window_font_pixels_, W);
  setFont(PixelFont(font().family(), window_font_pixels_));
  for (const Placed& placed : placed_) {
    const QRect& d = placed.design;
    placed.widget->setGeometry(ScaleLength(d.x(), W), ScaleLength(d.y(), W), ScaleLength(d.width(), W),
                               ScaleLength(d.height(), W));
    QFont own = placed.widget->font();
    own.setPixelSize(ScaleLength(placed.font_pixels, W));
    placed.widget->setFont(own);
  }
  status_height_ = ScaleLength(kDesignStatusHeight, W);
  myStatusBar->setFixedHeight(status_height_);
}

void TForm_Exif::ScaleChartArea() {
  const auto times_koef = [this](int length) {
    return static_cast<int>(std::nearbyint(static_cast<double>(length) * Koef_ / kFixedPointUnit));
  };
  // The tab area reaches down to the status bar, less one status bar's height.
  layout_log_->Log("T_E.H = ", Tab_Exif->height());
  Tab_Exif->resize(Tab_Exif->width(), ClientHeight() - Tab_Exif->y() - 2 * status_height_);
  layout_log_->Log("T_E.H2 = ", Tab_Exif->height());
  layout_log_->Log("mSB.H = ", status_height_);
  Tab_Exif->setTabHeight(times_koef(kDesignTabHeight));
  Tab_Exif->move(Tab_Exif->x(), kTopOfTabs);

  layout_log_->Log("C_S.T = ", Chart_SBox->y());
  layout_log_->Log("C_S.H = ", Chart_SBox->height());
  const int chart_top = 2 * Tab_Exif->tabHeight() + times_koef(3);
  Chart_SBox->setGeometry(Chart_SBox->x(), chart_top, Chart_SBox->width(), Tab_Exif->height() - chart_top);
  layout_log_->Log("C_S.T2 = ", Chart_SBox->y());
  layout_log_->Log("C_S.H2 = ", Chart_SBox->height());
}

void TForm_Exif::PlaceTimeTabRow() {
  // The layout above, and its log, know the two rows of sixteen tabs; the time row below them moves the chart
  // area down by one more tab row, at every screen size.
  const int time_row = Tab_Exif->tabHeight();
  Chart_SBox->setGeometry(Chart_SBox->x(), Chart_SBox->y() + time_row, Chart_SBox->width(),
                          Chart_SBox->height() - time_row);
  PlaceNoPhotos();
}

}  // namespace lumetra
