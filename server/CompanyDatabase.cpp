// CompanyDatabase: the translation cache every backend shares.
#include "CompanyDatabase.h"

#include <algorithm>
#include <cctype>

namespace server {

namespace {
constexpr size_t kTranslationCacheLimit = 4096;
}

std::string CompanyDatabase::Translate(const std::string& sqlServerText) {
    {
        std::lock_guard lock(cacheMutex_);
        auto it = translations_.find(sqlServerText);
        if (it != translations_.end()) return it->second;
    }
    std::string translated = dialect_.Translate(sqlServerText);
    std::lock_guard lock(cacheMutex_);
    if (translations_.size() >= kTranslationCacheLimit) translations_.clear();
    translations_.emplace(sqlServerText, translated);
    return translated;
}

bool IsPlainDatabaseName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '-';
    });
}

}  // namespace server
