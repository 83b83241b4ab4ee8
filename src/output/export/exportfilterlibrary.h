#pragma once
// TBRExportFilterLibrary: the export filters the preview's save command offers, in the order
// they joined. A filter class joins once (by class name) and leaves by its filter name. A
// TBRExportFilterRegistration keeps one filter class listed for as long as it lives, the way
// each filter component of the preview window does; StandardExportFilters are the program's
// three filters in the order the preview lists them.

#include "output/export/exportfilter.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace output {

struct TBRExportFilterLibraryEntry {
    std::string ClassName;
    std::string Name;      // the filter text, Windows-1252
    std::string Extension; // without the dot, upper case
    std::function<std::unique_ptr<TBRExportFilter>(const std::filesystem::path &)> Create;
};

class TBRExportFilterLibrary {
public:
    // Ignored when an entry of the same class name is listed.
    void Add(TBRExportFilterLibraryEntry entry);
    // Removes the entry with this filter name, if any.
    void Remove(const std::string &name);
    const std::vector<TBRExportFilterLibraryEntry> &Entries() const { return entries_; }

private:
    std::vector<TBRExportFilterLibraryEntry> entries_;
};

// The process-wide library (user-interface thread only).
TBRExportFilterLibrary &ExportFilterLibrary();

// "PDF document", "Excel regneark", "HTML dokument".
std::vector<TBRExportFilterLibraryEntry> StandardExportFilters();

class TBRExportFilterRegistration {
public:
    TBRExportFilterRegistration(TBRExportFilterLibrary &library, TBRExportFilterLibraryEntry entry)
        : library_(library), name_(entry.Name)
    {
        library_.Add(std::move(entry));
    }
    ~TBRExportFilterRegistration() { library_.Remove(name_); }
    TBRExportFilterRegistration(const TBRExportFilterRegistration &) = delete;
    TBRExportFilterRegistration &operator=(const TBRExportFilterRegistration &) = delete;

private:
    TBRExportFilterLibrary &library_;
    std::string name_;
};

} // namespace output
