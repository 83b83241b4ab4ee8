#pragma once
// TBRController: the report's data controller. It drives the data loop of a run: it asks the
// report's OnNeedData handler for records and prints the detail band once for every record,
// with the title band before the first and the summary band after the last.

#include <functional>

namespace report {

class TCustomBandReport;
class TBRCustomBand;

class TBRController {
public:
    using NeedData = std::function<void(TCustomBandReport &Sender, bool &MoreData)>;

    explicit TBRController(TCustomBandReport &report) : report_(report) {}
    TBRController(const TBRController &) = delete;
    TBRController &operator=(const TBRController &) = delete;

    TBRCustomBand *HeaderBand = nullptr;
    TBRCustomBand *DetailBand = nullptr;
    TBRCustomBand *FooterBand = nullptr;
    NeedData OnNeedData;
    bool PrintIfEmpty = true;

    // Records printed by the current run.
    int DetailNumber() const { return detailNumber_; }

    void Prepare() { detailNumber_ = 0; }
    void Unprepare()
    {
        HeaderBand = DetailBand = FooterBand = nullptr;
        OnNeedData = nullptr;
    }
    // The data loop of one run.
    void Execute();

private:
    TCustomBandReport &report_;
    int detailNumber_ = 0;
};

} // namespace report
