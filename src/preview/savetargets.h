#pragma once
// Where the preview's "&Gem" puts the pages, and as what: the save dialog's filters (the own
// format first, then one per export filter listed), the filter it preselects, the file a typed
// name becomes, and the export filter a chosen filter stands for. No window here: the rules
// hold for whichever dialog asks.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace output {
struct TBRExportFilterLibraryEntry;
}

namespace preview {

// One entry of the save dialog, in the words of this desktop (the engine's own names are
// English, "PDF document"): its name and the extensions a typed name may end in, the first
// the one added.
struct SaveKind {
    QString name;
    QStringList extensions;
};

// The entries in the dialog's order: the saved report file ("Udskriftsfiler", brp), then one
// per export filter in the order listed.
std::vector<SaveKind> saveKinds(const std::vector<output::TBRExportFilterLibraryEntry> &filters);

// The dialog's filters: "Name (*.ext)" with each entry's first extension.
QStringList saveFilters(const std::vector<SaveKind> &kinds);

// The filter preselected (1-based): the first export filter when there is one, else the own
// format.
int preselectedSaveFilter(const std::vector<SaveKind> &kinds);

// Where a typed name goes, and as what (1-based filter index): an extension an entry lists
// ("aj.brp", "aj.HTML", any letter case) chooses that entry; any other name gets the chosen
// filter's first extension added, in lower case (an index out of range counts as the nearest).
std::pair<QString, int> saveTarget(const std::vector<SaveKind> &kinds, const QString &typed,
                                   int filterIndex);

// The export filter (0-based, of `filterCount` listed) that filter `filterIndex` stands for;
// none for the own format: filter 1, and any index naming no export filter.
std::optional<std::size_t> exportFilterOf(int filterIndex, std::size_t filterCount);

} // namespace preview
