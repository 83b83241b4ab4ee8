#pragma once
// TBRBands, the report's Bands flags: whether the report has a band of a type. Setting a flag
// makes a band of that type in the report or destroys the report's first one.

#include "report/band.h"

#include <optional>

namespace report {

class TCustomBandReport;

class TBRBands {
public:
    // Property indexes; 5 names no band type and always reads False.
    enum Index {
        HasTitleIndex = 1,
        HasPageHeaderIndex = 2,
        HasColumnHeaderIndex = 3,
        HasDetailIndex = 4,
        HasPageFooterIndex = 6,
        HasSummaryIndex = 7
    };

    explicit TBRBands(TCustomBandReport &report) : report_(report) {}
    TBRBands(const TBRBands &) = delete;
    TBRBands &operator=(const TBRBands &) = delete;

    bool GetFlag(int index) const;
    void SetFlag(int index, bool on);

    bool HasTitle() const { return GetFlag(HasTitleIndex); }
    bool HasPageHeader() const { return GetFlag(HasPageHeaderIndex); }
    bool HasColumnHeader() const { return GetFlag(HasColumnHeaderIndex); }
    bool HasDetail() const { return GetFlag(HasDetailIndex); }
    bool HasPageFooter() const { return GetFlag(HasPageFooterIndex); }
    bool HasSummary() const { return GetFlag(HasSummaryIndex); }
    void SetHasTitle(bool on) { SetFlag(HasTitleIndex, on); }
    void SetHasPageHeader(bool on) { SetFlag(HasPageHeaderIndex, on); }
    void SetHasColumnHeader(bool on) { SetFlag(HasColumnHeaderIndex, on); }
    void SetHasDetail(bool on) { SetFlag(HasDetailIndex, on); }
    void SetHasPageFooter(bool on) { SetFlag(HasPageFooterIndex, on); }
    void SetHasSummary(bool on) { SetFlag(HasSummaryIndex, on); }

    // The band type a flag stands for; none for index 5 and indexes out of range.
    static std::optional<TBRBandType> TypeOf(int index);

private:
    TCustomBandReport &report_;
};

} // namespace report
