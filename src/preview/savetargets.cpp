#include "preview/savetargets.h"

#include "output/export/exportfilterlibrary.h"
#include "platform/cp1252.h"

#include <QFileInfo>
#include <algorithm>
#include <map>
#include <string>

namespace preview {

using output::TBRExportFilterLibraryEntry;

namespace {

SaveKind saveKindOf(const TBRExportFilterLibraryEntry &entry)
{
    static const std::map<std::string, SaveKind> danish = {
        {"TBRPDFDocumentFilter", {QStringLiteral("PDF-dokument"), {QStringLiteral("pdf")}}},
        {"TBRXLSFilter", {QStringLiteral("Excel-regneark"), {QStringLiteral("xlsx")}}},
        {"TBRGHTMLDocumentFilter",
         {QStringLiteral("HTML-dokument"), {QStringLiteral("htm"), QStringLiteral("html")}}}};
    if (const auto known = danish.find(entry.ClassName); known != danish.end())
        return known->second;
    return {platform::toQString(entry.Name), {platform::toQString(entry.Extension).toLower()}};
}

} // namespace

std::vector<SaveKind> saveKinds(const std::vector<TBRExportFilterLibraryEntry> &filters)
{
    std::vector<SaveKind> kinds{{QStringLiteral("Udskriftsfiler"), {QStringLiteral("brp")}}};
    for (const TBRExportFilterLibraryEntry &entry : filters)
        kinds.push_back(saveKindOf(entry));
    return kinds;
}

QStringList saveFilters(const std::vector<SaveKind> &kinds)
{
    QStringList filters;
    for (const SaveKind &kind : kinds)
        filters << QStringLiteral("%1 (*.%2)").arg(kind.name, kind.extensions.constFirst());
    return filters;
}

int preselectedSaveFilter(const std::vector<SaveKind> &kinds) { return kinds.size() > 1 ? 2 : 1; }

std::pair<QString, int> saveTarget(const std::vector<SaveKind> &kinds, const QString &typed,
                                   int filterIndex)
{
    const QString suffix = QFileInfo(typed).suffix().toLower();
    for (std::size_t k = 0; k < kinds.size() && !suffix.isEmpty(); ++k)
        if (kinds[k].extensions.contains(suffix))
            return {typed, static_cast<int>(k) + 1}; // the name says what it is
    const auto chosen = static_cast<std::size_t>(std::clamp<int>(filterIndex, 1, kinds.size()));
    return {typed + QLatin1Char('.') + kinds[chosen - 1].extensions.constFirst(),
            static_cast<int>(chosen)};
}

std::optional<std::size_t> exportFilterOf(int filterIndex, std::size_t filterCount)
{
    const auto entry = static_cast<std::size_t>(filterIndex - 2);
    if (filterIndex <= 1 || entry >= filterCount)
        return std::nullopt;
    return entry;
}

} // namespace preview
