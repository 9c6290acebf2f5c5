// TKVForm: the root of every window and dialog of the suite. It owns the
// window's code converter (KvConverter: code pages, conversion modes, GB/Big5
// conversion) and language controller (LangController: language packages),
// converts the window once and translates it when it is first shown.
#pragma once

#include <string>

#include "Forms.h"
#include "Graphics.h"
#include "Variant.h"

class TCodeConverter;
class TKvLangController;

// The disabled look of a one-image glyph: pixels that are dark (red + green
// + blue below 384) or border the transparent colour are drawn embossed, in
// the highlight colour one pixel down and right and in the shadow colour on
// top; everything else is button face. The result has the glyph's size.
QImage DisabledGlyphImage(const vcl::TBitmap& glyph);
// Appends the disabled image to a glyph strip of exactly one image (width
// equal to the height, or NumGlyphs 1) and answers whether it did.
bool AddDisabledGlyph(vcl::TBitmap& glyph, int& numGlyphs);
// The disabled look of a glyph drawn with an alpha channel (the suite's
// stock glyphs): its see-through pixels count as the transparent colour.
QImage DisabledGlyphImage(const QImage& glyph);

class TKVForm : public vcl::TForm {
    VCL_DECLARE_CLASS(TKVForm)
public:
    explicit TKVForm(vcl::TComponent* owner);

    bool Converted = false;        // the code converter has already run over the form
    bool TranslateOnShow = true;   // FormShow runs TranslateForm

    TCodeConverter* KvConverter() const { return converter_; }
    TKvLangController* LangController() const { return langController_; }

    // Code pages ("437", "936" or "950") and conversion modes of the window:
    // the converter's, read from the client settings when it was created.
    const std::string& SystemCodePage() const;
    const std::string& UICodePage() const;
    const std::string& DBCodePage() const;
    int UIConversion() const;
    int DBConversion() const;
    // Replaces the code pages; the modes follow from them (and the converter
    // loads or frees its translator).
    void SetCodePages(const std::string& system, const std::string& ui, const std::string& db);

    // Runs the code converter over the whole form (tree nodes and grid cells
    // included) once; later calls do nothing.
    void ConvertForm();
    // ApplyLanguage(this, true).
    virtual void TranslateForm();
    // Translates `component` from the language packages of its class chain,
    // root-most class first (below the platform's form or data-module class),
    // or of its own class only; a class without a package file is passed by.
    virtual void ApplyLanguage(vcl::TComponent* component, bool withAncestors);
    // The same, but the chain also stops below TKVForm.
    virtual void ApplyOwnLanguage(vcl::TComponent* component, bool withAncestors);
    // The message `key` of class `className`'s package into `text`; the
    // default (converted for display first when `convert`) when there is none.
    void GetLangText(const std::string& className, const std::string& key, std::string& text, bool convert,
                     const std::string& defaultText) const;

    // Published handlers; descendants extend them and call the inherited one first.
    // FormCreate clears every owned component's "ImeName", gives fonts the
    // Latin face under code page 437 and adds disabled images to one-image
    // glyphs of buttons.
    virtual void FormCreate(vcl::TObject* sender);
    virtual void FormShow(vcl::TObject* sender);

    void AfterConstruction() override;

protected:
    // Binds the published handlers to the form's events, as a window description does.
    virtual void BindHandlers();

private:
    void ApplyPackages(vcl::TComponent* component, bool withAncestors, bool stopBelowKVForm);

    TCodeConverter* converter_;
    TKvLangController* langController_;
};
