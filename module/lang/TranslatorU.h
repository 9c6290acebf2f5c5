// TTranslator: the translation library behind the code converter. It turns
// simplified Chinese (GB) text into traditional Chinese (Big5) text and back;
// inside the program both are UTF-8.
//
// The library is a folder of OpenCC conversion data; its two entry points
// are the conversion configurations in that folder: "GBtoBIG5" is
// "s2tw.json" (simplified to the Taiwan standard, the script of Big5) and
// "BIG5toGB" is "tw2s.json". A folder that does not exist or holds no
// conversion data cannot be loaded; a configuration that is missing or does
// not open is an entry point that cannot be found.
#pragma once

#include <string>

#include "Exceptions.h"

class ETranslatorError : public plat::Exception {
public:
    using plat::Exception::Exception;
};

class TTranslator {
public:
    // Loads the library. Raises ETranslatorError "Load Library <library>
    // Error!" when the folder cannot be loaded and "Get Library Procedure
    // Address Error!" when either conversion is missing.
    explicit TTranslator(const std::string& library = DefaultLibrary());
    ~TTranslator();
    TTranslator(const TTranslator&) = delete;
    TTranslator& operator=(const TTranslator&) = delete;

    // The library a translator loads by default: $ORTK_TRANSLATOR_LIBRARY
    // when set, else the folder of the installed OpenCC data.
    static std::string DefaultLibrary();

    const std::string& LibraryName() const { return library_; }

    // Entry points of the library. Text that is not valid UTF-8 comes back
    // unchanged, as does text the library fails on.
    std::string GBtoBIG5(const std::string& text) const;
    std::string BIG5toGB(const std::string& text) const;

private:
    std::string library_;
    void* gbToBig5_ = nullptr;   // opencc_t
    void* big5ToGb_ = nullptr;   // opencc_t
};
