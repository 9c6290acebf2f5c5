// The root window class: the code converter and language controller of a
// window, the handler binding of every window, conversion of the whole
// window, translation from the language packages of its class chain.
#include "KVForm.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "Buttons.h"
#include "KvCtrls.h"
#include "controls/SelectPnl.h"
#include "lang/CodeConverter.h"
#include "lang/LanguageController.h"

const vcl::TClassInfo& TKVForm::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TKVForm>("TKVForm", vcl::TForm::StaticClass());
    return info;
}

TKVForm::TKVForm(vcl::TComponent* owner)
    : vcl::TForm(owner),
      converter_(vcl::TComponent::Create<TCodeConverter>(this)),
      langController_(vcl::TComponent::Create<TKvLangController>(this)) {
    converter_->SetName("KvConverter");
    langController_->SetName("LangController");
    // The suite's windows are designed in SimSun 9 pt, centred, with hints.
    // 9 points (12 pixels) is also the size at which the installed CJK face
    // fits the pixel widths the windows give (a 30-pixel "序号" column holds
    // "0001", a 50-pixel status panel "单据笔数"); one size larger cuts them.
    Font()->SetName("宋体");
    Font()->SetHeight(-12);
    SetKeyPreview(true);
    SetPosition(vcl::TPosition::poScreenCenter);
    SetShowHint(true);
}

QImage DisabledGlyphImage(const vcl::TBitmap& glyph) {
    const int w = glyph.Width(), h = glyph.Height();
    const vcl::TColor transparent = glyph.TransparentColor();
    std::vector<bool> mask(static_cast<size_t>(w) * static_cast<size_t>(h), false);
    auto isTransparent = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return glyph.Pixel(x, y) == transparent;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            vcl::TColor c = glyph.Pixel(x, y);
            if (c == transparent) continue;
            int sum = (c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF);
            if (sum < 384 || isTransparent(x - 1, y) || isTransparent(x + 1, y) || isTransparent(x, y - 1) ||
                isTransparent(x, y + 1))
                mask[static_cast<size_t>(y) * w + x] = true;
        }
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(vcl::ColorToQColor(vcl::clBtnFace));
    const QColor highlight = vcl::ColorToQColor(vcl::clBtnHighlight), shadow = vcl::ColorToQColor(vcl::clBtnShadow);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (mask[static_cast<size_t>(y) * w + x] && x + 1 < w && y + 1 < h) out.setPixelColor(x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (mask[static_cast<size_t>(y) * w + x]) out.setPixelColor(x, y, shadow);
    return out;
}

bool AddDisabledGlyph(vcl::TBitmap& glyph, int& numGlyphs) {
    if (glyph.Width() <= 0 || glyph.Height() <= 0 || numGlyphs != 1) return false;
    QImage disabled = DisabledGlyphImage(glyph);
    QImage strip(glyph.Width() * 2, glyph.Height(), QImage::Format_RGB32);
    QImage first = glyph.Image().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < glyph.Height(); ++y)
        for (int x = 0; x < glyph.Width(); ++x) {
            strip.setPixel(x, y, first.pixel(x, y));
            strip.setPixel(x + glyph.Width(), y, disabled.pixel(x, y));
        }
    // The strip's bottom-left pixel stays the glyph's: the transparent colour is kept.
    glyph.SetImage(strip);
    numGlyphs = 2;
    return true;
}

QImage DisabledGlyphImage(const QImage& glyph) {
    if (glyph.isNull()) return {};
    // Magenta is no colour of a glyph: it stands for "see-through" in the
    // bitmap, whose bottom-left pixel names the transparent colour.
    QImage opaque(glyph.size(), QImage::Format_RGB32);
    opaque.fill(QColor(255, 0, 255));
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            QColor c = glyph.pixelColor(x, y);
            if (c.alpha() >= 128) opaque.setPixelColor(x, y, QColor(c.red(), c.green(), c.blue()));
        }
    vcl::TBitmap bitmap;
    bitmap.SetImage(opaque);
    return DisabledGlyphImage(bitmap);
}

namespace {

// Buttons that show a stock glyph by number (lookup buttons, the buttons
// of selection panels, button edits) get its disabled look as well.
void GiveDisabledLook(vcl::TComponent* component) {
    if (auto* edit = dynamic_cast<vcl::TKvBtnEdit*>(component)) {
        if (edit->DisabledImage().isNull()) edit->SetDisabledImage(DisabledGlyphImage(edit->GlyphImage()));
        return;
    }
    if (auto* button = dynamic_cast<vcl::TGSpeedButton*>(component)) {
        QImage image = button->IndexImage();
        if (!image.isNull() && button->DisabledImage().isNull()) button->SetDisabledImage(DisabledGlyphImage(image));
    }
}

}  // namespace

void TKVForm::AfterConstruction() {
    BindHandlers();
    vcl::TForm::AfterConstruction();
}

void TKVForm::BindHandlers() {
    OnCreate = vcl::TNotifyEvent([this](vcl::TObject* s) { FormCreate(s); }, this);
    OnShow = vcl::TNotifyEvent([this](vcl::TObject* s) { FormShow(s); }, this);
}

void TKVForm::FormCreate(vcl::TObject*) {
    Converted = false;
    TranslateOnShow = true;
    const bool latin = converter_->UICodePage() == "437";
    const std::vector<vcl::TComponent*> owned = ComponentList();
    for (vcl::TComponent* component : owned) {
        if (vcl::IsPublishedProp(component, "ImeName")) {
            try {
                vcl::SetPropValue(component, "ImeName", plat::Variant(std::string()));
            } catch (const std::exception&) {
            }
        }
        if (latin && vcl::IsPublishedProp(component, "Font") &&
            vcl::PropType(component, "Font") == vcl::TTypeKind::Class) {
            if (auto* font = dynamic_cast<vcl::TFont*>(vcl::GetObjectProp(component, "Font"))) {
                font->SetCharset(vcl::GB2312_CHARSET);
                font->SetName("Tahoma");
            }
        }
    }
    // Buttons designed with one glyph get the disabled look as second image.
    for (vcl::TComponent* component : owned) {
        if (auto* speed = dynamic_cast<vcl::TSpeedButton*>(component)) {
            int count = speed->NumGlyphs();
            if (AddDisabledGlyph(*speed->Glyph(), count)) speed->SetNumGlyphs(count);
        } else if (auto* bit = dynamic_cast<vcl::TBitBtn*>(component)) {
            int count = bit->NumGlyphs();
            if (AddDisabledGlyph(*bit->Glyph(), count)) bit->SetNumGlyphs(count);
        }
        GiveDisabledLook(component);
        // A selection panel owns its lookup, delete and clear buttons.
        if (component->Is<TSelectPanel>())
            for (vcl::TComponent* part : component->ComponentList()) GiveDisabledLook(part);
    }
}

void TKVForm::FormShow(vcl::TObject*) {
    if (TranslateOnShow) TranslateForm();
}

const std::string& TKVForm::SystemCodePage() const { return converter_->SystemCodePage(); }
const std::string& TKVForm::UICodePage() const { return converter_->UICodePage(); }
const std::string& TKVForm::DBCodePage() const { return converter_->DBCodePage(); }
int TKVForm::UIConversion() const { return converter_->UIMode(); }
int TKVForm::DBConversion() const { return converter_->DBMode(); }

void TKVForm::SetCodePages(const std::string& system, const std::string& ui, const std::string& db) {
    converter_->SetCodePages(system, ui, db);
}

void TKVForm::ConvertForm() {
    if (Converted) return;
    converter_->ConvertComponentTree(this, false, true);
    Converted = true;
}

void TKVForm::TranslateForm() { ApplyLanguage(this, true); }

void TKVForm::ApplyLanguage(vcl::TComponent* component, bool withAncestors) {
    ApplyPackages(component, withAncestors, false);
}

void TKVForm::ApplyOwnLanguage(vcl::TComponent* component, bool withAncestors) {
    ApplyPackages(component, withAncestors, true);
}

void TKVForm::ApplyPackages(vcl::TComponent* component, bool withAncestors, bool stopBelowKVForm) {
    if (!component) return;
    std::vector<std::string> classes;
    if (withAncestors) {
        for (const vcl::TClassInfo* c = &component->ClassType(); c; c = c->Parent) {
            // The platform's classes have no packages.
            if (c == &vcl::TForm::StaticClass() || c == &vcl::TDataModule::StaticClass() ||
                c == &vcl::TComponent::StaticClass())
                break;
            if (stopBelowKVForm && c == &TKVForm::StaticClass()) break;
            classes.insert(classes.begin(), c->Name);
        }
    } else {
        classes.push_back(component->ClassName());
    }
    std::error_code ec;
    for (const std::string& name : classes) {
        langController_->SetLangPackageName(name);
        if (!std::filesystem::is_regular_file(langController_->FileName(), ec)) continue;
        langController_->SetActive(true);
        langController_->TranslateComponent(component);
    }
}

void TKVForm::GetLangText(const std::string& className, const std::string& key, std::string& text, bool convert,
                          const std::string& defaultText) const {
    std::string fallback = convert ? converter_->ToDisplay(plat::Variant(defaultText)).ToString() : defaultText;
    GetLangMessage(langController_->DesignType(), className, key, text, fallback);
}
