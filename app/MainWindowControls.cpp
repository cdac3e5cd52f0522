// The main window's controls: made at their design places, their menu, and what they are wired to.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QToolButton>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/LeftPanel.h"
#include "app/Lumetra_main.h"
#include "app/MainWindowDesign.h"
#include "app/ProgramPictures.h"
#include "app/WindowStatusBar.h"
#include "charts/ChartPages.h"

namespace lumetra {

using namespace detail;

namespace {

// The main menu, in menu order. The name is the action's object name and the key of its caption.
constexpr CommandRow kMainMenu[] = {
    {"mmHideLeft", Qt::Key_F4, EnabledRule::kIdle},
    {"mmRun", Qt::Key_F5, EnabledRule::kIdleWithFolder},
    {"mmShortcut", Qt::Key_F6, EnabledRule::kIdleWithResult},
    {"mmCrop", Qt::Key_F7, EnabledRule::kIdle},
    // A setting, not a command: the next Run reads it, and the settings file keeps it.
    {"mmAllFormats", Qt::Key_F8, EnabledRule::kIdle, true},
    // Kept in the settings file too: the next Run reads photos already read from the records cache.
    {"mmRememberPhotos", Qt::Key_unknown, EnabledRule::kIdle, true},
    // Backspace takes back the last change of the filter, whatever made it.
    {"mmPreviousFilter", Qt::Key_Backspace, EnabledRule::kIdleWithPreviousFilter},
    // The list of what the last run passed over, and why.
    {"mmSkipped", Qt::Key_F9, EnabledRule::kIdleWithSkipped},
    {"mmExit", Qt::Key_F10, EnabledRule::kAlways},
};

}  // namespace

void TForm_Exif::Place(QWidget* widget, QRect design) {
  widget->setGeometry(design);
  // Every control holds its font itself: a style sheet above it would otherwise give it Qt's default.
  if (!widget->testAttribute(Qt::WA_SetFont)) widget->setFont(font());
  placed_.push_back({widget, design, widget->font().pixelSize()});
}

void TForm_Exif::CreateControls() {
  client_size_ = kDesignClient;
  window_size_ = kDesignWindow;
  window_font_pixels_ = kDesignFontPixels;
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), window_font_pixels_));
  central_ = new QWidget(this);
  central_->setObjectName("Form_Exif_Client");
  setCentralWidget(central_);

  Panel_Left = new LeftPanel(
      central_, [this](QWidget* widget, QRect design) { Place(widget, design); }, options_);

  Tab_Exif = new ChartTabs(central_);
  Tab_Exif->setObjectName("Tab_Exif");
  Tab_Exif->setFont(PixelFont(QStringLiteral("Tahoma"), 11, true));
  Tab_Exif->setTabHeight(kDesignTabHeight);
  Place(Tab_Exif, {285, kTopOfTabs, 725, 662});
  Chart_SBox = new QWidget(Tab_Exif);
  Chart_SBox->setObjectName("Chart_SBox");
  Place(Chart_SBox, {0, 52, 725, 610});
  const auto no_photos = [this](const char* name) {
    auto* picture = new QLabel(Tab_Exif);
    picture->setObjectName(name);
    picture->setScaledContents(true);
    picture->hide();
    return picture;
  };
  im_NoPhoto = no_photos("im_NoPhoto");
  im_NoPhotoEng = no_photos("im_NoPhotoEng");

  myStatusBar = new WindowStatusBar(this);
  setStatusBar(myStatusBar);
  status_height_ = kDesignStatusHeight;
}

void TForm_Exif::CreateMenu() {
  QMenu* mSettings = menuBar()->addMenu(QString());
  mSettings->setObjectName("mSettings");
  commands_ = new WindowCommands(kMainMenu, *mSettings, [this] { return CurrentContext(); });
  commands_->Bind("mmHideLeft", [this] { SetLeftPanel(PanelMode::Change); });
  commands_->Bind("mmRun", [this] { but_RunClick(); });
  commands_->Bind("mmSkipped", [this] { ShowSkippedItems(); });
  commands_->Bind("mmExit", [this] { close(); });
  commands_->Bind("mmPreviousFilter", [this] { PreviousFilter(); });
  // The crop editor and the shortcut list are bound by their own code.
  connect(&commands_->Action("mmAllFormats"), &QAction::toggled, this,
          [this](bool checked) { options_.formats = checked ? PhotoFormats::kAll : PhotoFormats::kJpeg; });
  connect(&commands_->Action("mmRememberPhotos"), &QAction::toggled, this,
          [this](bool checked) { options_.remember_photos = checked; });
  ShowMenuOptions();
}

void TForm_Exif::ShowMenuOptions() {
  commands_->Action("mmAllFormats").setChecked(options_.formats == PhotoFormats::kAll);
  commands_->Action("mmRememberPhotos").setChecked(options_.remember_photos);
}

void TForm_Exif::ConnectControls() {
  connect(&Panel_Left->RunButton(), &QToolButton::clicked, this, &TForm_Exif::but_RunClick);
  connect(&Panel_Left->StopButton(), &QToolButton::clicked, this, &TForm_Exif::but_StopClick);
  connect(&Panel_Left->ExitButton(), &QToolButton::clicked, this, [this] { close(); });
  connect(&myStatusBar->SkippedNote(), &QToolButton::clicked, this,
          [this] { commands_->Action("mmSkipped").trigger(); });
  connect(&Panel_Left->Tree(), &FolderTree::folderChanged, this, &TForm_Exif::myTreeChange);
  connect(Panel_Left, &LeftPanel::filterBoxClicked, this, &TForm_Exif::Filter_BoxClick);
  connect(Tab_Exif, &ChartTabs::currentChanged, this, [this](int) { Tab_ExifChange(); });
  // The panel has written the options before these run.
  const auto radio = [this](const char* name) { return Panel_Left->findChild<QRadioButton*>(name); };
  connect(radio("rb_Eng"), &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) LanguageClicked(kEnglish);
  });
  connect(radio("rb_Rus"), &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) LanguageClicked(kRussian);
  });
  // One handler for each pair: the toggle of the button that becomes checked.
  connect(radio("rb_Real"), &QRadioButton::toggled, this, [this](bool) { FocalClicked(); });
  connect(radio("rb_Text"), &QRadioButton::toggled, this, [this](bool) { RebuildCharts(RebuildMode::kAll); });
  connect(CropFactorQuery(), &QCheckBox::toggled, this, &TForm_Exif::CropFactorClicked);
}

void TForm_Exif::DrawPictures() {
  Panel_Left->DrawLights();
  im_NoPhoto->setPixmap(NoPhotosPicture(kRussian));
  im_NoPhotoEng->setPixmap(NoPhotosPicture(kEnglish));
  PlaceNoPhotos();
}

void TForm_Exif::PlaceNoPhotos() {
  // In the chart area's place: the picture stands for the charts that are not there.
  im_NoPhoto->setGeometry(Chart_SBox->geometry());
  im_NoPhotoEng->setGeometry(Chart_SBox->geometry());
}

}  // namespace lumetra
