#pragma once
// TBREnvironment: the report's expression environment, named values that expression controls
// read. The run keeps "PAGENUMBER", "COLUMNNUMBER" and "REPORTTITLE" current.

#include <map>
#include <string>

namespace report {

inline constexpr const char *envPageNumber = "PAGENUMBER";
inline constexpr const char *envColumnNumber = "COLUMNNUMBER";
inline constexpr const char *envReportTitle = "REPORTTITLE";

class TBREnvironment {
public:
    TBREnvironment()
    {
        Set(envPageNumber, "0");
        Set(envColumnNumber, "0");
        Set(envReportTitle, "''");
    }
    void Set(const std::string &name, const std::string &value) { values_[name] = value; }
    // The value of `name`; empty when it is not defined.
    std::string Value(const std::string &name) const
    {
        const auto it = values_.find(name);
        return it == values_.end() ? std::string() : it->second;
    }

private:
    std::map<std::string, std::string> values_;
};

} // namespace report
