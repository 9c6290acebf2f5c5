// The code converter of a window: settings and modes, the translator's
// lifetime, conversion of values and variant arrays, fonts, the conversion
// of a window's component tree and message boxes in the interface script.
#include "CodeConverter.h"

#include "Forms.h"
#include "Graphics.h"
#include "StrUtils.h"
#include "host/CorvaneIni.h"
#include "lang/LangControls.h"
#include "lang/PropAccess.h"

using plat::Variant;
using plat::VarArray;

namespace {

constexpr int kBig5ToGb = 1;
constexpr int kGbToBig5 = 2;

constexpr const char* kFontName = "SimSun";

// Property groups that a selection entry can name; each is looked for in
// the entry's upper-cased list as it stands, so "TITLEFONT" also names
// "FONT".
constexpr const char* kSelectableGroups[] = {"CAPTION", "HINT", "FONT", "TITLEFONT", "ITEMS",
                                             "LINES", "TEXT", "STYLE", "PANELS"};

bool Names(const std::string& only, const char* group) {
    return only.empty() || only.find(group) != std::string::npos;
}

}  // namespace

uint8_t UIModeOf(const std::string& ui, const std::string& system) {
    if (ui == "950") return 2;
    if (ui == "936" && system == "950") return 4;
    return 0;
}

uint8_t DBModeOf(const std::string& ui, const std::string& db) {
    if (ui == "950" && db == "936") return 2;
    if (ui == "936" && db == "950") return 1;
    return 0;
}

const vcl::TClassInfo& TCodeConverter::StaticClass() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo i = vcl::MakeComponentClass<TCodeConverter>("TCodeConverter", vcl::TComponent::StaticClass());
        vcl::TPropBuilder<TCodeConverter>(i)
            .Enum<TDesignType>("DesignType", &TCodeConverter::DesignType, &TCodeConverter::SetDesignType,
                               DesignTypeNames())
            .Str("SystemCodePage", &TCodeConverter::SystemCodePage, nullptr)
            .Str("UICodePage", &TCodeConverter::UICodePage, nullptr)
            .Str("DBCodePage", &TCodeConverter::DBCodePage, nullptr)
            .Int("UIMode", &TCodeConverter::UIMode, nullptr)
            .Int("DBMode", &TCodeConverter::DBMode, nullptr);
        return i;
    }();
    return info;
}

TCodeConverter::TCodeConverter(vcl::TComponent* owner) : vcl::TComponent(owner) { ReadSettings(); }

TCodeConverter::~TCodeConverter() = default;

void TCodeConverter::SetDesignType(TDesignType type) {
    if (type == designType_) return;
    designType_ = type;
    ReadSettings();
}

void TCodeConverter::ReadSettings() {
    if (designType_ == TDesignType::dtServer) {
        TCorvaneIniS settings;
        SetCodePages(settings.SystemCodePage, settings.UICodePage, settings.DBCodePage);
    } else {
        TCorvaneIniC settings;
        SetCodePages(settings.SystemCodePage, settings.UICodePage, settings.DBCodePage);
    }
}

void TCodeConverter::SetCodePages(const std::string& system, const std::string& ui, const std::string& db) {
    systemCodePage_ = system;
    uiCodePage_ = ui;
    dbCodePage_ = db;
    uiMode_ = UIModeOf(ui, system);
    dbMode_ = DBModeOf(ui, db);
    UpdateTranslator();
}

// The translator is needed as soon as either direction converts: a GB
// interface over a Big5 database (interface mode 0, database mode 1) still
// converts every row it reads.
void TCodeConverter::UpdateTranslator() {
    bool needed = uiMode_ != 0 || dbMode_ != 0;
    if (needed && !translator_) translator_ = std::make_unique<TTranslator>();
    if (!needed) translator_.reset();
}

std::string TCodeConverter::ConvertString(int kind, const std::string& text) const {
    if (!translator_ || text.empty()) return text;
    if (kind == kBig5ToGb) return translator_->BIG5toGB(text);
    if (kind == kGbToBig5) return translator_->GBtoBIG5(text);
    return text;
}

Variant TCodeConverter::Convert(int kind, const Variant& value) const {
    if (kind == 0 || !translator_ || value.IsEmptyOrNull()) return value;
    if (value.IsArray()) {
        Variant result = value;
        VarArray& array = result.Array();
        if (array.DimCount() == 1) {
            for (int i = array.LowBound(1); i <= array.HighBound(1); ++i) array.At(i) = Convert(kind, array.At(i));
        } else {
            for (int i = array.LowBound(1); i <= array.HighBound(1); ++i)
                for (int j = array.LowBound(2); j <= array.HighBound(2); ++j)
                    array.At(i, j) = Convert(kind, array.At(i, j));
        }
        return result;
    }
    if (!value.IsString()) return value;
    return Variant(ConvertString(kind, value.ToString()));
}

Variant TCodeConverter::FromDisplay(const Variant& value) const {
    int kind = uiMode_ == 1 ? kGbToBig5 : uiMode_ == 2 ? kBig5ToGb : 0;
    try {
        return Convert(kind, value);
    } catch (const std::exception&) {
        return value;
    }
}

Variant TCodeConverter::FromDatabase(const Variant& value) const {
    int kind = dbMode_ == 1 ? kGbToBig5 : dbMode_ == 2 ? kBig5ToGb : 0;
    try {
        return Convert(kind, value);
    } catch (const std::exception&) {
        return value;
    }
}

std::string TCodeConverter::Big5ToGbText(const std::string& text) const { return ConvertString(kBig5ToGb, text); }

std::string TCodeConverter::GbToBig5Text(const std::string& text) const { return ConvertString(kGbToBig5, text); }

void TCodeConverter::AdjustFont(int mode, vcl::TFont* font) {
    if (!font) return;
    switch (mode) {
    case 0:
    case 1:
    case 4:
        font->SetName(kFontName);
        font->SetCharset(vcl::GB2312_CHARSET);
        break;
    case 2:
    case 3:
        font->SetName(kFontName);
        font->SetCharset(vcl::CHINESEBIG5_CHARSET);
        break;
    default:
        break;
    }
}

void TCodeConverter::ConvertFormCaption(vcl::TComponent* form, int) const {
    if (systemCodePage_ != "950" || !langprop::IsTextProp(form, "Caption")) return;
    langprop::TrySetProp(form, "Caption", ConvertString(kGbToBig5, vcl::GetPropValue(form, "Caption").ToString()));
}

void TCodeConverter::ConvertComponentTree(vcl::TComponent* root, bool useSelection, bool deep) const {
    if (!translator_ || !root) return;
    ConvertFormCaption(root, uiMode_);
    if (langprop::IsTextProp(root, "Hint"))
        langprop::TrySetProp(root, "Hint", ToDisplay(vcl::GetPropValue(root, "Hint")));
    vcl::TScreen& screen = vcl::TScreen::Instance();
    AdjustFont(uiMode_, &screen.IconFont());
    AdjustFont(uiMode_, &screen.HintFont());
    AdjustFont(uiMode_, &screen.MenuFont());
    // The hint window takes the new font only when it is made again.
    vcl::TApplication::Instance().ShowHint = false;
    vcl::TApplication::Instance().ShowHint = true;
    if (uiMode_ == 0) return;

    // Copied first: converting a component must not disturb the walk.
    const std::vector<vcl::TComponent*> owned = root->ComponentList();
    for (vcl::TComponent* component : owned) {
        if (!useSelection) {
            ConvertComponent(component, {}, deep);
            continue;
        }
        const std::string key = plat::UpperCase(component->Name());
        for (int i = 0; i < selection_.Count(); ++i) {
            if (plat::UpperCase(selection_.Names(i)) != key) continue;
            langprop::TrySetProp(component, "ParentFont", Variant(false));
            std::string only = plat::UpperCase(selection_.Strings(i).substr(selection_.Names(i).size() + 1));
            std::string groups;
            for (const char* group : kSelectableGroups)
                if (only.find(group) != std::string::npos) groups += std::string(group) + ";";
            // A listed component with none of the groups converts nothing.
            if (groups.empty()) groups = ";";
            ConvertComponent(component, groups, deep);
            break;
        }
    }
}

// Converts one component: the property groups named in `only` (every group
// when `only` is empty), then what its class holds.
void TCodeConverter::ConvertComponent(vcl::TComponent* component, const std::string& only, bool deep) const {
    const int kind = uiMode_;   // the direction of the interface mode; mode 4 converts no text
    auto convertText = [&](const char* name) {
        if (langprop::IsTextProp(component, name))
            langprop::TrySetProp(component, name, ToDisplay(vcl::GetPropValue(component, name)));
    };
    auto convertLines = [&](vcl::TStrings* lines) {
        if (lines) lines->SetText(ConvertString(kind, lines->Text()));
    };

    if (Names(only, "FONT")) AdjustFont(uiMode_, langprop::FontProp(component, "Font"));
    if (Names(only, "TITLEFONT")) AdjustFont(uiMode_, langprop::FontProp(component, "TitleFont"));
    if (Names(only, "CAPTION")) convertText("Caption");
    if (Names(only, "HINT")) {
        convertText("Hint");
        convertText("ButtonHint");
    }
    const bool isCombo = langprop::InheritsFromName(component, "TCustomComboBox") ||
                         langprop::InheritsFromName(component, "TComboBox") ||
                         langprop::InheritsFromName(component, "TwwDBCustomComboBox");
    const bool isListBox = langprop::InheritsFromName(component, "TCustomListBox") ||
                           langprop::InheritsFromName(component, "TListBox");
    if (Names(only, "ITEMS") && (isCombo || isListBox)) {
        int index = langprop::IntProp(component, "ItemIndex", -1);
        convertLines(langprop::StringsProp(component, "Items"));
        if (isCombo) langprop::TrySetProp(component, "ItemIndex", Variant(index));
    }
    if (Names(only, "LINES")) convertLines(langprop::StringsProp(component, "Lines"));
    if (Names(only, "TEXT")) convertText("Text");
    if (Names(only, "STYLE") && uiMode_ != 0) {
        // Owner-drawn styles, so that the lists draw with the converted font.
        int style = langprop::IntProp(component, "Style", -1);
        if (isCombo && (style == 0 || style == 2)) {
            int index = langprop::IntProp(component, "ItemIndex", -1);
            langprop::TrySetProp(component, "Style", Variant(style == 0 ? 4 : 3));
            langprop::TrySetProp(component, "ItemIndex", Variant(index));
        } else if (isListBox && style == 0) {
            langprop::TrySetProp(component, "Style", Variant(1));
        }
    }
    if (Names(only, "PANELS")) langcontrols::ConvertStatusPanels(component, [&](const std::string& s) { return ConvertString(kind, s); });

    langcontrols::ConvertClassTexts(component, deep, [&](const std::string& s) { return ConvertString(kind, s); },
                                    [&](vcl::TFont* font) { AdjustFont(uiMode_, font); });
}

void TCodeConverter::ConvertSelected(vcl::TComponent* root, const Variant& selection, bool deep) {
    selection_.Clear();
    if (selection.IsArray() && selection.Array().DimCount() == 1) {
        const VarArray& entries = selection.Array();
        for (int i = entries.LowBound(1); i <= entries.HighBound(1); ++i) {
            const Variant& entry = entries.At(i);
            try {
                if (entry.IsArray() && entry.Array().DimCount() == 1 && entry.Array().Count(1) >= 2) {
                    const VarArray& pair = entry.Array();
                    selection_.Add(pair.At(pair.LowBound(1)).ToString() + "=" + pair.At(pair.LowBound(1) + 1).ToString());
                } else if (entry.IsString()) {
                    selection_.Add(entry.ToString());
                }
            } catch (const plat::EVariantError&) {
                // an entry that is not text names nothing
            }
        }
    }
    ConvertComponentTree(root, true, deep);
}

int TCodeConverter::ShowMessageBox(const std::string& text, plat::MsgDlgType type,
                                   const std::vector<plat::MsgDlgBtn>& buttons) const {
    if (text.empty()) return 0;
    plat::MessageDialog dialog;
    dialog.Text = text;
    // Keeps the last characters of a GB text clear of the dialog's edge.
    if (uiCodePage_ == "936" || systemCodePage_ == "936") dialog.Text += "      ";
    dialog.Type = type;
    dialog.Buttons = buttons;
    vcl::TForm* window = dynamic_cast<vcl::TForm*>(Owner());
    if (!window) window = vcl::TScreen::Instance().ActiveForm();
    if (window) {
        if (window->WindowState() == vcl::TWindowState::wsMinimized) window->SetWindowState(vcl::TWindowState::wsNormal);
        // The window's caption may still be in the designed script (it is
        // converted only on a Big5 system); the dialog speaks the interface's.
        dialog.Caption = ConvertString(uiMode_, window->Caption());
    }
    vcl::TFont font;
    AdjustFont(uiMode_, &font);
    dialog.FontName = font.Name();
    dialog.FontCharset = font.Charset();
    return plat::Dialogs().ShowMessageDialog(dialog);
}
