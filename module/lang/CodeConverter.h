// TCodeConverter: the code-page side of a window (KvConverter). From the
// installation settings it knows the system, interface and database code
// pages and derives whether texts must be converted between simplified (GB,
// code page 936) and traditional (Big5, code page 950) script: for the
// window's own texts (UIMode) and for values that go to or come from the
// database (DBMode). It converts single values and variant arrays, the texts
// of a whole component tree when a window starts, sets fonts and character
// sets that can show the result, and shows message boxes in that font.
//
// Text is UTF-8 throughout; the translator (TranslatorU) does the script
// conversion. Conversion kinds: 1 = Big5 to GB, 2 = GB to Big5; any other
// kind leaves texts unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Dialogs.h"
#include "Variant.h"
#include "lang/DesignType.h"
#include "lang/TranslatorU.h"

namespace vcl {
class TFont;
}

class TCodeConverter : public vcl::TComponent {
    VCL_DECLARE_CLASS(TCodeConverter)
public:
    // Reads the client settings and, when either mode asks for a
    // conversion, loads the translator (which may raise ETranslatorError).
    explicit TCodeConverter(vcl::TComponent* owner);
    ~TCodeConverter() override;

    TDesignType DesignType() const { return designType_; }
    // Switching to the server settings (or back) reads them again.
    void SetDesignType(TDesignType type);

    // "936", "950" or "437".
    const std::string& SystemCodePage() const { return systemCodePage_; }
    const std::string& UICodePage() const { return uiCodePage_; }
    const std::string& DBCodePage() const { return dbCodePage_; }
    // 2: Big5 interface; 4: GB interface on a Big5 system; 0: none.
    uint8_t UIMode() const { return uiMode_; }
    // 2: Big5 interface over a GB database; 1: GB interface over a Big5 database; 0: none.
    uint8_t DBMode() const { return dbMode_; }
    // Sets the code pages as the settings would, derives both modes and
    // loads or frees the translator accordingly.
    void SetCodePages(const std::string& system, const std::string& ui, const std::string& db);

    bool HasTranslator() const { return translator_ != nullptr; }
    const TTranslator* Translator() const { return translator_.get(); }

    // A copy of `value`, converted when `kind` is 1 or 2, a translator is
    // loaded and the value is neither Empty nor Null. Texts are converted;
    // one-dimensional arrays element by element (nested arrays at every
    // depth), two-dimensional arrays cell by cell. Numbers, dates, booleans,
    // Null and Empty elements are kept as they are.
    plat::Variant Convert(int kind, const plat::Variant& value) const;
    plat::Variant ToDisplay(const plat::Variant& value) const { return Convert(uiMode_, value); }
    plat::Variant ToDatabase(const plat::Variant& value) const { return Convert(dbMode_, value); }
    // The way back: mode 1 converts with kind 2, mode 2 with kind 1, other
    // modes leave the value. A failing conversion gives the input back.
    plat::Variant FromDisplay(const plat::Variant& value) const;
    plat::Variant FromDatabase(const plat::Variant& value) const;

    // Single texts through the translator; "" stays "", and without a
    // translator the text comes back unchanged.
    std::string Big5ToGbText(const std::string& text) const;
    std::string GbToBig5Text(const std::string& text) const;
    std::string ConvertString(int kind, const std::string& text) const;

    // Modes 0, 1 and 4: "SimSun" with the GB2312 character set (134); modes
    // 2 and 3: "SimSun" with the Big5 character set (136); other modes leave
    // the font alone.
    static void AdjustFont(int mode, vcl::TFont* font);

    // On a Big5 system (system code page "950") the form's caption is
    // converted to traditional script; `mode` does not change that.
    void ConvertFormCaption(vcl::TComponent* form, int mode) const;

    // Converts the texts of `root` and of the components it owns (see the
    // source for the properties and classes); nothing happens without a
    // translator. With `useSelection` only the components listed in
    // Selection() are converted, each only in the properties listed for it;
    // with `deep` also every tree node, grid cell and aligned-grid text.
    void ConvertComponentTree(vcl::TComponent* root, bool useSelection, bool deep) const;
    // Fills the selection list from `selection` and converts with it. `selection` is a
    // one-dimensional array whose elements are "Name=Caption,Hint,..." texts
    // or two-element arrays [Name, "Caption,Hint,..."].
    void ConvertSelected(vcl::TComponent* root, const plat::Variant& selection, bool deep);
    // "Name=property names" lines used by selective conversion.
    vcl::TStrings& Selection() { return selection_; }

    // A message dialog of the given type and buttons in a font that shows
    // the interface script, captioned like the active window; answers its
    // modal result, 0 for an empty text (nothing shown).
    int ShowMessageBox(const std::string& text, plat::MsgDlgType type, const std::vector<plat::MsgDlgBtn>& buttons) const;

private:
    void ReadSettings();
    void UpdateTranslator();
    void ConvertComponent(vcl::TComponent* component, const std::string& only, bool deep) const;

    TDesignType designType_ = TDesignType::dtClient;
    std::string systemCodePage_ = "936";
    std::string uiCodePage_ = "936";
    std::string dbCodePage_ = "936";
    uint8_t uiMode_ = 0;
    uint8_t dbMode_ = 0;
    std::unique_ptr<TTranslator> translator_;
    vcl::TStrings selection_;
};

// The interface and database modes of a set of code pages, as the
// installation settings derive them.
uint8_t UIModeOf(const std::string& ui, const std::string& system);
uint8_t DBModeOf(const std::string& ui, const std::string& db);
