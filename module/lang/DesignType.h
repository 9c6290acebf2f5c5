// Which installation settings a localization component reads: the client's
// ("CorvaneC.ini") or the application server's ("CorvaneS.ini").
#pragma once

#include <string>
#include <vector>

enum class TDesignType { dtClient, dtServer };

inline const std::vector<std::string>& DesignTypeNames() {
    static const std::vector<std::string> names{"dtClient", "dtServer"};
    return names;
}
