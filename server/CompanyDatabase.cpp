// CompanyDatabase: the translation cache every backend shares.
#include "CompanyDatabase.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "SqlError.h"

namespace server {

namespace {
constexpr size_t kTranslationCacheLimit = 4096;
}

std::string CompanyDatabase::Cached(std::unordered_map<std::string, std::string>& cache, const std::string& key,
                                    std::string (SqlDialect::*translate)(std::string_view) const) {
    {
        std::lock_guard lock(cacheMutex_);
        auto it = cache.find(key);
        if (it != cache.end()) return it->second;
    }
    std::string translated = (dialect_.*translate)(key);
    std::lock_guard lock(cacheMutex_);
    if (cache.size() >= kTranslationCacheLimit) cache.clear();
    cache.emplace(key, translated);
    return translated;
}

std::string CompanyDatabase::Translate(const std::string& sqlServerText) {
    return Cached(translations_, sqlServerText, &SqlDialect::Translate);
}

ResultTable CompanyDatabase::Query(const std::string& sqlServerText) {
    ParameterisedStatement statement = Parameterise(sqlServerText);
    return QueryNative(Cached(shapes_, statement.shape, &SqlDialect::TranslateShape), statement.parameters);
}

void CompanyDatabase::SetTimeLimit(std::chrono::milliseconds limit) {
    if (limit.count() <= 0) limit = kDefaultStatementTimeLimit;
    // PostgreSQL's statement_timeout takes at most INT_MAX milliseconds.
    limit = std::min(limit, std::chrono::milliseconds(std::numeric_limits<int>::max()));
    if (timeLimitMs_.exchange(limit.count()) != limit.count()) TimeLimitChanged();
}

std::string CompanyDatabase::TimeLimitText() const {
    long long ms = timeLimitMs_.load();
    std::string limit = ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
    return "statement interrupted: it ran longer than the time limit of " + limit +
           " (\"TimeOut\" of the server settings)";
}

void CompanyDatabase::CheckAnswerSize(size_t rows, size_t columns) {
    if (columns > 0 && rows > kMaxAnswerCells / columns)
        throw SqlError("statement interrupted: its answer grew past " + std::to_string(kMaxAnswerCells) + " values");
}

bool IsPlainDatabaseName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '-';
    });
}

}  // namespace server
