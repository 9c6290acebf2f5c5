// Colours, cursors, fonts and bitmaps as the component properties carry
// them: a colour is an integer in blue-green-red order or a system colour
// (0x80000000 + index), a cursor a small negative number, and both accept
// their identifiers ("clBtnFace", "crHourGlass") where a property is set by
// text. A font is a persistent object of its control with Name, Size,
// Height, Charset, Style and Color.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QColor>
#include <QFont>
#include <QImage>
#include <Qt>

#include "Classes.h"

namespace vcl {

using TColor = int32_t;

// Standard colours (0x00BBGGRR).
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A4;
// System colours: 0x80000000 + the system colour index.
constexpr TColor clScrollBar = TColor(0x80000000), clBackground = TColor(0x80000001),
                 clActiveCaption = TColor(0x80000002), clInactiveCaption = TColor(0x80000003),
                 clMenu = TColor(0x80000004), clWindow = TColor(0x80000005), clWindowFrame = TColor(0x80000006),
                 clMenuText = TColor(0x80000007), clWindowText = TColor(0x80000008),
                 clCaptionText = TColor(0x80000009), clActiveBorder = TColor(0x8000000A),
                 clInactiveBorder = TColor(0x8000000B), clAppWorkSpace = TColor(0x8000000C),
                 clHighlight = TColor(0x8000000D), clHighlightText = TColor(0x8000000E),
                 clBtnFace = TColor(0x8000000F), clBtnShadow = TColor(0x80000010), clGrayText = TColor(0x80000011),
                 clBtnText = TColor(0x80000012), clInactiveCaptionText = TColor(0x80000013),
                 clBtnHighlight = TColor(0x80000014), cl3DDkShadow = TColor(0x80000015),
                 cl3DLight = TColor(0x80000016), clInfoText = TColor(0x80000017), clInfoBk = TColor(0x80000018);
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// RGB(r, g, b) as a colour value.
constexpr TColor RGB(int r, int g, int b) { return (b & 0xFF) << 16 | (g & 0xFF) << 8 | (r & 0xFF); }

const TIdentMap& ColorIdents();
// "clRed", "$00AFFFFF" or a decimal number; raises plat::Exception otherwise.
TColor StringToColor(const std::string& text);
// The identifier when the colour has one, else "$00BBGGRR".
std::string ColorToString(TColor color);
// The colour as Qt draws it; system colours come from the application palette.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

using TCursor = int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;
const TIdentMap& CursorIdents();
Qt::CursorShape CursorToShape(TCursor cursor);

// Character sets of a font, as the platform numbers them.
constexpr int ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128,
              HANGEUL_CHARSET = 129, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136, OEM_CHARSET = 255;
const TIdentMap& CharsetIdents();

// Font styles; a style set is a bit mask of these.
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// Screen resolution used to turn point sizes into pixel heights.
constexpr int PixelsPerInch = 96;

class TFont : public TPersistent {
    VCL_DECLARE_CLASS(TFont)
public:
    TFont();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Size() const { return size_; }
    void SetSize(int points);
    // Negative: character height in pixels; positive: cell height.
    int Height() const;
    void SetHeight(int height);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    int Style() const { return style_; }
    void SetStyle(int style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    void Assign(const TFont& other);
    bool operator==(const TFont& other) const;
    QFont ToQFont() const;

    // Called after every change.
    std::function<void()> Changed;
    TNotifyEvent OnChange;

private:
    void NotifyChanged();
    std::string name_ = "MS Sans Serif";
    int size_ = 8;
    int charset_ = DEFAULT_CHARSET;
    int style_ = 0;
    TColor color_ = clWindowText;
    TFontPitch pitch_ = TFontPitch::fpDefault;
};

// Maps the font names that windows are designed with ("宋体", "SimSun",
// "MS Sans Serif", "Tahoma", ...) to installed families that can show
// Chinese text; runs once, before the first control is made.
void InstallFontSubstitutions();

// A device-independent bitmap: pixels that can be read and written, loaded
// from and saved to image files.
class TBitmap : public TPersistent {
    VCL_DECLARE_CLASS(TBitmap)
public:
    TBitmap() = default;
    TBitmap(int width, int height);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    void SetSize(int width, int height);
    bool Empty() const { return image_.isNull(); }
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    void Fill(TColor color);
    // The colour treated as transparent: the bottom-left pixel, as glyphs use it.
    TColor TransparentColor() const;
    bool LoadFromFile(const std::string& fileName);
    bool SaveToFile(const std::string& fileName) const;
    void Assign(const TBitmap& other);

    const QImage& Image() const { return image_; }
    void SetImage(const QImage& image);
    // The image with its transparent colour made transparent.
    QImage MaskedImage() const;

    std::function<void()> Changed;

private:
    QImage image_;
};

}  // namespace vcl
