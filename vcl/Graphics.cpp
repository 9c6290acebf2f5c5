// Colour and cursor identifiers, the mapping of colours, cursors and fonts to
// Qt, the font object of a control and the bitmap behind glyphs.
#include "Graphics.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <cstdio>
#include <cstdlib>

namespace vcl {

const TIdentMap& ColorIdents() {
    static const TIdentMap map = {
        {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
        {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
        {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
        {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
        {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
        {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"}, {clNone, "clNone"}, {clDefault, "clDefault"},
    };
    return map;
}

TColor StringToColor(const std::string& text) {
    int value = 0;
    if (IdentToInt(text, value, ColorIdents())) return value;
    std::string t = text;
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    char* end = nullptr;
    long long n = 0;
    if (!t.empty() && t[0] == '$') n = std::strtoll(t.c_str() + 1, &end, 16);
    else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) n = std::strtoll(t.c_str() + 2, &end, 16);
    else n = std::strtoll(t.c_str(), &end, 10);
    if (t.empty() || !end || *end != '\0') throw plat::Exception("'" + text + "' is not a valid colour");
    return static_cast<TColor>(static_cast<uint32_t>(n));
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (IntToIdent(color, ident, ColorIdents())) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
    return buf;
}

QColor ColorToQColor(TColor color) {
    uint32_t c = static_cast<uint32_t>(color);
    if (c & 0x80000000u) {
        QPalette p = QApplication::palette();
        switch (c & 0xFF) {
        case 0: return p.color(QPalette::Mid);                      // scroll bar
        case 1: case 12: return p.color(QPalette::Mid);             // desktop, MDI workspace
        case 2: case 13: return p.color(QPalette::Highlight);       // active caption, highlight
        case 3: case 11: case 10: return p.color(QPalette::Midlight);
        case 4: return p.color(QPalette::Window);                   // menu
        case 5: return p.color(QPalette::Base);                     // window
        case 6: case 21: return p.color(QPalette::Shadow);
        case 7: case 8: return p.color(QPalette::Text);
        case 9: case 14: return p.color(QPalette::HighlightedText);
        case 15: return p.color(QPalette::Button);                  // button face
        case 16: return p.color(QPalette::Dark);
        case 17: case 19: return p.color(QPalette::Disabled, QPalette::Text);
        case 18: return p.color(QPalette::ButtonText);
        case 20: return p.color(QPalette::Light);
        case 22: return p.color(QPalette::Midlight);
        case 23: return p.color(QPalette::ToolTipText);
        case 24: return p.color(QPalette::ToolTipBase);
        default: return p.color(QPalette::Window);
        }
    }
    if (color == clNone) return QColor(Qt::transparent);
    if (color == clDefault) return QApplication::palette().color(QPalette::Window);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

const TIdentMap& CursorIdents() {
    static const TIdentMap map = {
        {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
        {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
        {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
        {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"},
        {crSQLWait, "crSQLWait"}, {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
        {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}, {crSizeAll, "crSize"},
    };
    return map;
}

Qt::CursorShape CursorToShape(TCursor cursor) {
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

const TIdentMap& CharsetIdents() {
    static const TIdentMap map = {
        {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
        {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
        {GB2312_CHARSET, "GB2312_CHARSET"}, {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
        {OEM_CHARSET, "OEM_CHARSET"},
    };
    return map;
}

// ---- TFont ----

const TClassInfo& TFont::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TFont", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TFont>(c)
            .Int("Charset", &TFont::Charset, &TFont::SetCharset, &CharsetIdents())
            .Int("Color", &TFont::Color, &TFont::SetColor, &ColorIdents())
            .Int("Height", &TFont::Height, &TFont::SetHeight)
            .Str("Name", &TFont::Name, &TFont::SetName)
            .Enum<TFontPitch>("Pitch", &TFont::Pitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"})
            .Int("Size", &TFont::Size, &TFont::SetSize)
            .Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
        return c;
    }();
    return info;
}

TFont::TFont() { InstallFontSubstitutions(); }

void TFont::NotifyChanged() {
    if (Changed) Changed();
    OnChange(this);
}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    NotifyChanged();
}

void TFont::SetSize(int points) {
    if (points == size_) return;
    size_ = points;
    NotifyChanged();
}

// Height and size meet as the platform rounds them: -Height = Size * 96 / 72.
int TFont::Height() const { return -((size_ * PixelsPerInch + 36) / 72); }

void TFont::SetHeight(int height) {
    int pixels = height < 0 ? -height : height;
    SetSize((pixels * 72 + PixelsPerInch / 2) / PixelsPerInch);
}

void TFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    NotifyChanged();
}

void TFont::SetStyle(int style) {
    if (style == style_) return;
    style_ = style;
    NotifyChanged();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    NotifyChanged();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    NotifyChanged();
}

void TFont::Assign(const TFont& other) {
    if (*this == other) return;
    name_ = other.name_;
    size_ = other.size_;
    charset_ = other.charset_;
    style_ = other.style_;
    color_ = other.color_;
    pitch_ = other.pitch_;
    NotifyChanged();
}

bool TFont::operator==(const TFont& o) const {
    return name_ == o.name_ && size_ == o.size_ && charset_ == o.charset_ && style_ == o.style_ && color_ == o.color_ &&
           pitch_ == o.pitch_;
}

QFont TFont::ToQFont() const {
    QFont f(QString::fromStdString(name_));
    f.setPointSize(size_ > 0 ? size_ : 8);
    f.setBold(style_ & fsBold);
    f.setItalic(style_ & fsItalic);
    f.setUnderline(style_ & fsUnderline);
    f.setStrikeOut(style_ & fsStrikeOut);
    if (pitch_ == TFontPitch::fpFixed) f.setFixedPitch(true);
    return f;
}

void InstallFontSubstitutions() {
    static bool done = false;
    if (done || !QApplication::instance()) return;
    done = true;
    // Families that carry the Chinese glyphs, best first; only installed ones count.
    QStringList cjk;
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC",
                               "AR PL UMing CN", "Droid Sans Fallback"})
        if (installed.contains(QString::fromUtf8(family))) cjk << QString::fromUtf8(family);
    if (cjk.isEmpty()) return;
    for (const char* name : {"宋体", "新宋体", "SimSun", "NSimSun", "黑体", "SimHei", "微软雅黑", "Microsoft YaHei",
                             "细明体", "新细明体", "MingLiU", "PMingLiU", "MS Sans Serif", "MS Shell Dlg",
                             "MS Shell Dlg 2", "Tahoma", "Arial", "System", "Courier New"}) {
        QString family = QString::fromUtf8(name);
        if (!installed.contains(family)) QFont::insertSubstitutions(family, cjk);
    }
}

// ---- TBitmap ----

const TClassInfo& TBitmap::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TBitmap", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TBitmap>(c).Int("Width", &TBitmap::Width, nullptr).Int("Height", &TBitmap::Height, nullptr);
        return c;
    }();
    return info;
}

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

void TBitmap::SetSize(int width, int height) {
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!image_.isNull())
        for (int y = 0; y < std::min(height, image_.height()); ++y)
            for (int x = 0; x < std::min(width, image_.width()); ++x) next.setPixel(x, y, image_.pixel(x, y));
    image_ = next;
    if (Changed) Changed();
}

TColor TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return -1;
    return QColorToColor(QColor::fromRgb(image_.pixel(x, y)));
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    image_.setPixel(x, y, ColorToQColor(color).rgb());
    if (Changed) Changed();
}

void TBitmap::Fill(TColor color) {
    image_.fill(ColorToQColor(color));
    if (Changed) Changed();
}

TColor TBitmap::TransparentColor() const { return Empty() ? clNone : Pixel(0, Height() - 1); }

bool TBitmap::LoadFromFile(const std::string& fileName) {
    QImage loaded;
    if (!loaded.load(QString::fromStdString(fileName))) return false;
    SetImage(loaded);
    return true;
}

bool TBitmap::SaveToFile(const std::string& fileName) const { return image_.save(QString::fromStdString(fileName)); }

void TBitmap::Assign(const TBitmap& other) { SetImage(other.image_); }

void TBitmap::SetImage(const QImage& image) {
    image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    if (Changed) Changed();
}

QImage TBitmap::MaskedImage() const {
    if (image_.isNull()) return {};
    QImage masked = image_.convertToFormat(QImage::Format_ARGB32);
    QRgb transparent = image_.pixel(0, image_.height() - 1);
    for (int y = 0; y < masked.height(); ++y)
        for (int x = 0; x < masked.width(); ++x)
            if ((image_.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF)) masked.setPixel(x, y, 0);
    return masked;
}

}  // namespace vcl
