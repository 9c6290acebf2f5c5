// The translation library over OpenCC: loading the folder of conversion
// data, opening its two conversions, converting UTF-8 text.
#include "TranslatorU.h"

#include <opencc.h>

#include <cstdlib>
#include <filesystem>

#include "TextFile.h"

namespace {

constexpr const char* kGbToBig5Config = "s2tw.json";
constexpr const char* kBig5ToGbConfig = "tw2s.json";

#ifndef ORTK_OPENCC_DATA_DIR
#define ORTK_OPENCC_DATA_DIR "/usr/share/opencc"
#endif

// True when `folder` is a folder holding at least one conversion
// configuration or dictionary of OpenCC.
bool HoldsConversionData(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::string ext = entry.path().extension().string();
        if (ext == ".json" || ext == ".ocd2" || ext == ".ocd") return true;
    }
    return false;
}

std::string Run(void* handle, const std::string& text) {
    if (!handle || text.empty() || !plat::IsValidUtf8(text)) return text;
    char* converted = opencc_convert_utf8(static_cast<opencc_t>(handle), text.data(), text.size());
    if (!converted) return text;
    std::string result(converted);
    opencc_convert_utf8_free(converted);
    return result;
}

void Close(void*& handle) {
    if (handle) opencc_close(static_cast<opencc_t>(handle));
    handle = nullptr;
}

}  // namespace

std::string TTranslator::DefaultLibrary() {
    const char* configured = std::getenv("ORTK_TRANSLATOR_LIBRARY");
    if (configured && *configured) return configured;
    return ORTK_OPENCC_DATA_DIR;
}

TTranslator::TTranslator(const std::string& library) : library_(library) {
    if (!HoldsConversionData(library_)) throw ETranslatorError("Load Library " + library_ + " Error!");
    auto open = [this](const char* config) -> void* {
        std::error_code ec;
        std::filesystem::path file = std::filesystem::path(library_) / config;
        if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
        opencc_t handle = opencc_open(file.c_str());
        return handle == reinterpret_cast<opencc_t>(-1) ? nullptr : handle;
    };
    gbToBig5_ = open(kGbToBig5Config);
    big5ToGb_ = open(kBig5ToGbConfig);
    if (!gbToBig5_ || !big5ToGb_) {
        Close(gbToBig5_);
        Close(big5ToGb_);
        throw ETranslatorError("Get Library Procedure Address Error!");
    }
}

TTranslator::~TTranslator() {
    Close(gbToBig5_);
    Close(big5ToGb_);
}

std::string TTranslator::GBtoBIG5(const std::string& text) const { return Run(gbToBig5_, text); }

std::string TTranslator::BIG5toGB(const std::string& text) const { return Run(big5ToGb_, text); }
