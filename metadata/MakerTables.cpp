#include "metadata/MakerTables.h"

#include "metadata/MakerRenderers.h"

namespace lumetra {
namespace {

// Code lists are kept exactly as the makers' tables have them, odd ones included: a missing comma in
// Nikon's quality list, "0=Normal" in Olympus's macro list.

// Nikon table 1
constexpr MakerRow kNikonTable1[] = {
    {0x0002, "FamilyID", nullptr, "", nullptr},
    {0x0003, "Quality", nullptr,
     "1:Vga Basic,2:Vga Normal,3:Vga Fine,4:SXGA Basic,5:SXGA Normal,6:SXGA Fine10:2 Mpixel Basic,11:2 Mpixel "
     "Normal,12:2 Mpixel Fine",
     nullptr},
    {0x0004, "ColorMode", nullptr, "1:Color,2:Monochrome", nullptr},
    {0x0005, "ImageAdjustment", nullptr, "0:Normal,1:Bright+,2:Bright-,3:Contrast+,4:Contrast-", nullptr},
    {0x0006, "ISOSpeed", nullptr, "0:ISO80,2:ISO160,4:ISO320,5:ISO100", nullptr},
    {0x0007, "WhiteBalance", nullptr, "0:Auto,1:Preset,2:Daylight,3:Incandescense,4:Fluorescence,5:Cloudy,6:SpeedLight",
     nullptr},
    {0x0008, "Focus", nullptr, "", nullptr},
    {0x0009, "Skip", nullptr, "", nullptr},
    {0x000A, "DigitalZoom", nullptr, "", nullptr},
    {0x000B, "Converter", nullptr, "0:Not used,1:Used", nullptr},
    {0x0F00, "Skip", nullptr, "", nullptr},
};

// Nikon table 2
constexpr MakerRow kNikonTable2[] = {
    {0x0001, "FamilyID", "Family ID", "", nullptr},
    {0x0002, "ISOSpeed", "ISO Speed", "", nullptr},
    {0x0003, "ColorMode", "Color Mode", "", nullptr},
    {0x0004, "Quality", nullptr, "", nullptr},
    {0x0005, "WhiteBalance", "White Balance", "", nullptr},
    {0x0006, "ImageSharpening", "Image Sharpening", "", nullptr},
    {0x0007, "FocusMode", "Focus Mode", "", nullptr},
    {0x0008, "FlashSetting", "Flash Setting", "", nullptr},
    {0x0009, "AutoFlashMode", "Auto Flash Mode", "", nullptr},
    {0x000A, "Skip", nullptr, "", nullptr},
    {0x000B, "WhiteBiasValue", "White Bias Value", "", nullptr},
    {0x000F, "DigitalZoom", "Digital Zoom", "", nullptr},
    {0x0010, "Skip", nullptr, "", nullptr},
    {0x0011, "Skip", nullptr, "", nullptr},
    {0x0080, "ImageAdjustment", "Image Adjustment", "", nullptr},
    {0x0081, "ImageAdjustment", "Image Adjustment", "", nullptr},
    {0x0082, "Adapter", nullptr, "", nullptr},
    {0x0084, "LensInformation", "Lens information", "", RenderNikonLensInformation},
    {0x0085, "ManualFocusDistance", "Manual Focus Distance", "", nullptr},
    {0x0086, "DigitalZoom", "Digital Zoom", "", nullptr},
    {0x0088, "FocusArea", "Focus Area", "", nullptr},
    {0x0089, "Mode", nullptr, "", nullptr},
    {0x008D, "ColorMode", "Color Mode", "", RenderNikonColourMode},
    {0x008F, "SceneMode", "Scene Mode", "", nullptr},
    {0x0092, "HueAdjustment", "Hue Adjustment", "", nullptr},
    {0x0094, "Saturation", nullptr, "", nullptr},
    {0x0095, "NoiseReduction", "Noise Reduction", "", nullptr},
    {0x0F00, "Skip", nullptr, "", nullptr},
};

// Olympus table
constexpr MakerRow kOlympusTable[] = {
    {0x0200, "SpecialMode", nullptr, "", nullptr},
    {0x0201, "JpegQual", nullptr, "1:SQ,2:HQ,3:SHQ,4:Raw", nullptr},
    {0x0202, "Macro", nullptr, "0=Normal,1:Macro;", nullptr},
    {0x0203, "Skip", nullptr, "", nullptr},
    {0x0204, "DigiZoom", "Digital Zoom Ratio", "", nullptr},
    {0x0205, "Skip", nullptr, "", nullptr},
    {0x0206, "Skip", nullptr, "", nullptr},
    {0x0207, "Firmware", nullptr, "", nullptr},
    {0x0208, "PictInfo", "Picture Info", "", nullptr},
    {0x0209, "CameraID", "Camera ID", "", nullptr},
    {0x0F00, "Skip", nullptr, "", nullptr},
    {0x1004, "FlashMode", "Flash Mode", "", nullptr},
    {0x1006, "Bracket", nullptr, "", nullptr},
    {0x100B, "FocusMode", "Focus Mode", "", nullptr},
    {0x100C, "FocusDistance", "Focus Distance", "", nullptr},
    {0x100D, "Zoom", nullptr, "", nullptr},
    {0x100E, "MacroFocus", "Macro Focus", "", nullptr},
    {0x100F, "Sharpness", nullptr, "", nullptr},
    {0x1011, "ColorMatrix", "Color Matrix", "", nullptr},
    {0x1012, "BlackLevel", "Black Level", "", nullptr},
    {0x1015, "WhiteBalance", "White Balance", "", nullptr},
    {0x1017, "RedBias", "Red Bias", "", nullptr},
    {0x1018, "BlueBias", "Blue Bias", "", nullptr},
    {0x101A, "SerialNumber", nullptr, "", nullptr},
    {0x1023, "FlashBias", "Flash Bias", "", nullptr},
    {0x1029, "Contrast", nullptr, "", nullptr},
    {0x102A, "SharpnessFactor", "Sharpness Factor", "", nullptr},
    {0x102B, "ColorControl", "Color Control", "", nullptr},
    {0x102C, "ValidBits", "Valid Bits", "", nullptr},
    {0x102D, "Coring", "Coring Filter", "", nullptr},
    {0x102E, "FinalWidth", "Final Width", "", nullptr},
    {0x102F, "FinalHeight", "Final Height", "", nullptr},
    {0x1034, "CompressionRatio", "Compression Ratio", "", nullptr},
};

// Casio table
constexpr MakerRow kCasioTable[] = {
    {0x0001, "RecordingMode", nullptr, "1:Single Shutter,2:Panorama,3:Night Scene,4:Portrait,5:Landscape", nullptr},
    {0x0002, "Quality", nullptr, "1:Economy,2:Normal,3:Fine", nullptr},
    {0x0003, "FocusingMode", nullptr, "2:Macro,3:Auto Focus,4:Manual Focus,5:Infinity", nullptr},
    {0x0004, "FlashMode", nullptr, "1:Auto,2:On,3:Off,4:Red Eye Reduction", nullptr},
    {0x0005, "FlashIntensity", nullptr, "11:Weak,13:Normal,15:Strong", nullptr},
    {0x0006, "ObjectDistance", nullptr, "", nullptr},
    {0x0007, "WhiteBalance", nullptr, "1:Auto,2:Tungsten,3:Daylight,4:Fluorescent,5:Shade,129:Manual", nullptr},
    {0x0008, "Skip", nullptr, "", nullptr},
    {0x0009, "Skip", nullptr, "", nullptr},
    {0x000A, "DigitalZoom", nullptr, "65536:Off,65537:2X Digital Zoom", nullptr},
    {0x000B, "Sharpness", nullptr, "0:Normal,1:Soft,2:Hard", nullptr},
    {0x000C, "Contrast", nullptr, "0:Normal,1:Low,2:High", nullptr},
    {0x000D, "Saturation", nullptr, "0:Normal,1:Low,2:High", nullptr},
    {0x000E, "Skip", nullptr, "", nullptr},
    {0x000F, "Skip", nullptr, "", nullptr},
    {0x0010, "Skip", nullptr, "", nullptr},
    {0x0011, "Skip", nullptr, "", nullptr},
    {0x0012, "Skip", nullptr, "", nullptr},
    {0x0013, "Skip", nullptr, "", nullptr},
    {0x0014, "CCDSensitivity", nullptr, "64:Normal,125:+1.0,250:+2.0,244:+3.0,80:Normal,100:High", nullptr},
    {0x0015, "Skip", nullptr, "", nullptr},
    {0x0016, "Skip", nullptr, "", nullptr},
    {0x0017, "Skip", nullptr, "", nullptr},
    {0x0018, "Skip", nullptr, "", nullptr},
    {0x0019, "Skip", nullptr, "", nullptr},
    {0x001A, "Skip", nullptr, "", nullptr},
};

// Fujifilm table
constexpr MakerRow kFujifilmTable[] = {
    {0x0000, "Version", nullptr, "", nullptr},
    {0x1000, "Quality", nullptr, "", nullptr},
    {0x1001, "Sharpness", nullptr, "1:Soft,2:Soft,3:Normal,4:Hard,5:Hard", nullptr},
    {0x1002, "WhiteBalance", nullptr,
     "0:Auto,256:Daylight,512:Cloudy,768:DaylightColor-fluorescence,769:DaywhiteColor-fluorescence,770:White-"
     "fluorescence,1024:Incandenscense,3840:Custom white balance.",
     nullptr},
    {0x1003, "Color", nullptr, "0:Normal,256:High,512:Low", nullptr},
    {0x1004, "Tone", nullptr, "0:Normal,256:High,512:Low", nullptr},
    {0x1010, "FlashMode", nullptr, "0:Auto,1:On,2:Off,3:Red-eye reduction", nullptr},
    {0x1011, "FlashStrength", nullptr, "", nullptr},
    {0x1020, "Macro", nullptr, "0:Off,1:On", nullptr},
    {0x1021, "Focusmode", nullptr, "0:Auto Focus,1:Manual Focus", nullptr},
    {0x1030, "SlowSync", nullptr, "0:Off,1:On", nullptr},
    {0x1031, "PictureMode", nullptr,
     "0:Auto,1:Portrait scene,2:Landscape scene,4:Sports scene,5:Night scene,6:Program AE,256:Aperture prior "
     "AE,512:Shutter prior AE,768:Manual exposure",
     nullptr},
    {0x1032, "Skip", nullptr, "", nullptr},
    {0x1100, "ContTake/Bracket", nullptr, "0:Off,1:On", nullptr},
    {0x1200, "Skip", nullptr, "", nullptr},
    {0x1300, "BlurWarning", nullptr, "0:No blur warning,1:Blur warning", nullptr},
    {0x1301, "FocusWarning", nullptr, "0:Auto Focus good,1:Out of focus", nullptr},
    {0x1302, "AEWarning", nullptr, "0:AE good,1:Over exposure", nullptr},
};

// Canon table
constexpr MakerRow kCanonTable[] = {
    {0x0000, "Skip", nullptr, "", nullptr},
    {0x0001, "ExposureInfo1", nullptr, "", RenderCanonCameraSettings},
    {0x0002, "Skip", nullptr, "", nullptr},
    {0x0003, "Skip", nullptr, "", nullptr},
    {0x0004, "ExposureInfo2", nullptr, "", RenderCanonShotInformation},
    {0x0006, "ImageType", nullptr, "", nullptr},
    {0x0007, "FirmwareVersion", nullptr, "", nullptr},
    {0x0008, "ImageNumber", nullptr, "", nullptr},
    {0x0009, "OwnerName", nullptr, "", nullptr},
    {0x000A, "Skip", nullptr, "", nullptr},
    {0x000B, "Skip", nullptr, "", nullptr},
    {0x000C, "CameraSerialNumber", nullptr, "", nullptr},
    {0x000D, "Skip", nullptr, "", nullptr},
    {0x000E, "Skip", nullptr, "", nullptr},
    {0x000F, "CustomFunctions", nullptr, "", RenderCanonCustomFunctions},
    {0x0010, "Skip", nullptr, "", nullptr},
    // The lens the camera names, in its own words ("EF-S18-55mm f/3.5-5.6 IS II").
    {0x0095, "MakerLensModel", "Lens Model", "", nullptr},
};

// Olympus' later notes ("OLYMPUS\0" and a byte-order mark): only the equipment directory is read.
constexpr MakerRow kOlympusTable2[] = {
    {0x0000, "MakerNoteVersion", nullptr, "", nullptr},
    {0x2010, "Equipment", nullptr, "", nullptr},
};

// The equipment directory of Olympus' later notes: the lens's name and range. Apertures are in steps of
// 1/256 EV.
constexpr MakerRow kOlympusEquipmentTable[] = {
    {0x0000, "EquipmentVersion", nullptr, "", nullptr},      {0x0203, "MakerLensModel", "Lens Model", "", nullptr},
    {0x0205, "MaxApertureAtMinFocal", nullptr, "", nullptr}, {0x0206, "MaxApertureAtMaxFocal", nullptr, "", nullptr},
    {0x0207, "MinFocalLength", nullptr, "", nullptr},        {0x0208, "MaxFocalLength", nullptr, "", nullptr},
};

// Seiko table
constexpr MakerRow kSeikoTable[] = {
    {0x0200, "Special Mode", nullptr, "", nullptr}, {0x0201, "JpegQuality", nullptr, "", nullptr},
    {0x0202, "Macro", nullptr, "", nullptr},        {0x0203, "Skip", nullptr, "", nullptr},
    {0x0204, "DigiZoom", nullptr, "", nullptr},     {0x0209, "CameraID", nullptr, "", nullptr},
    {0x020A, "Comments", nullptr, "", nullptr},     {0x020B, "Width", nullptr, "", nullptr},
    {0x020C, "Height", nullptr, "", nullptr},       {0x020D, "SoftRelease", nullptr, "", nullptr},
    {0x0300, "??", nullptr, "", nullptr},           {0x0F00, "skip", nullptr, "", nullptr},
};

// Sanyo table
constexpr MakerRow kSanyoTable[] = {
    {0x0200, "Special Mode", nullptr, "", nullptr}, {0x0201, "JpegQuality", nullptr, "", nullptr},
    {0x0202, "Macro", nullptr, "", nullptr},        {0x0203, "Skip", nullptr, "", nullptr},
    {0x0204, "DigiZoom", nullptr, "", nullptr},     {0x0F00, "DataDump", nullptr, "", nullptr},
};

// Minolta table
constexpr MakerRow kMinoltaTable[] = {
    {0x0000, "ModelID", nullptr, "", nullptr},
    {0x0E00, "PIMdata", nullptr, "", nullptr},
};
}  // namespace

std::span<const MakerRow> NikonTable1() { return kNikonTable1; }
std::span<const MakerRow> NikonTable2() { return kNikonTable2; }
std::span<const MakerRow> OlympusTable() { return kOlympusTable; }
std::span<const MakerRow> OlympusTable2() { return kOlympusTable2; }
std::span<const MakerRow> OlympusEquipmentTable() { return kOlympusEquipmentTable; }
std::span<const MakerRow> CasioTable() { return kCasioTable; }
std::span<const MakerRow> FujifilmTable() { return kFujifilmTable; }
std::span<const MakerRow> CanonTable() { return kCanonTable; }
std::span<const MakerRow> SeikoTable() { return kSeikoTable; }
std::span<const MakerRow> SanyoTable() { return kSanyoTable; }
std::span<const MakerRow> MinoltaTable() { return kMinoltaTable; }

}  // namespace lumetra
