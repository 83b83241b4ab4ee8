#include "output/export/exportfilterlibrary.h"

#include "output/export/htmldocumentfilter.h"
#include "output/export/pdfdocumentfilter.h"
#include "output/export/xlsfilter.h"

#include <algorithm>

namespace output {

void TBRExportFilterLibrary::Add(TBRExportFilterLibraryEntry entry)
{
    const bool listed = std::any_of(entries_.begin(), entries_.end(),
                                    [&](const auto &e) { return e.ClassName == entry.ClassName; });
    if (!listed)
        entries_.push_back(std::move(entry));
}

void TBRExportFilterLibrary::Remove(const std::string &name)
{
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const auto &e) { return e.Name == name; });
    if (it != entries_.end())
        entries_.erase(it);
}

TBRExportFilterLibrary &ExportFilterLibrary()
{
    static TBRExportFilterLibrary library;
    return library;
}

namespace {
template <class Filter>
TBRExportFilterLibraryEntry entry(const char *className, const char *name, const char *extension)
{
    return {className, name, extension,
            [](const std::filesystem::path &file) { return std::make_unique<Filter>(file); }};
}
} // namespace

std::vector<TBRExportFilterLibraryEntry> StandardExportFilters()
{
    return {entry<TBRPDFDocumentFilter>("TBRPDFDocumentFilter", "PDF document", "PDF"),
            entry<TBRXLSFilter>("TBRXLSFilter", "Excel regneark", "XLSX"),
            entry<TBRGHTMLDocumentFilter>("TBRGHTMLDocumentFilter", "HTML dokument", "HTM")};
}

} // namespace output
