#pragma once
// TBRUnitBase: an object that holds lengths in native units and shows them in its Units,
// converting on every read and write. TBRPage, TBRBandSize and TBRPrintableSize build on it.

#include "report/reportunits.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace report {

class TCustomBandReport;

class TBRUnitBase {
public:
    virtual ~TBRUnitBase() = default;
    TBRUnitBase(const TBRUnitBase &) = delete;
    TBRUnitBase &operator=(const TBRUnitBase &) = delete;

    // Slot order of the engine: the two conversions, units, the after-load update, the
    // "Values" reader, the push into the owner control, the units setter, the "Values" writer.
    virtual long double FromNative(long double x, TBRUnit unit, bool horizontal) const;
    virtual long double ToNative(long double x, TBRUnit unit, bool horizontal) const;
    virtual TBRUnit Units() const { return units_; }
    virtual void Loaded() { UpdateParent(); }
    virtual void ReadValues(std::istream &in);
    virtual void UpdateParent() = 0;
    virtual void SetUnits(TBRUnit units) { units_ = units; }
    virtual void WriteValues(std::ostream &out) const;

    // Temporary switches nest: each restore returns to the units before the matching save.
    void SaveUnits(TBRUnit switchTo);
    void RestoreUnits();

    int Resolution() const { return resolution_; }
    int Zoom() const { return zoom_; }
    void SetZoom(int zoom) { zoom_ = zoom; }
    bool ParentUpdating() const { return parentUpdating_; }
    TCustomBandReport *ParentReport() const { return parentReport_; }
    void SetParentReport(TCustomBandReport *report) { parentReport_ = report; }

    // The stored "Values" list: every length in native units, in index order.
    const std::vector<long double> &Values() const { return native_; }
    // Takes stored values as they are, without conversion (the definition being loaded).
    virtual void SetValues(const std::vector<long double> &values);
    // The list as it is written to the definition stream, e.g. "(90.0 2970.0 85.0)".
    std::string ValuesText() const;
    void SetValuesText(const std::string &text);

    // A length in native units, and in Units.
    long double Native(int index) const { return native_.at(static_cast<std::size_t>(index)); }
    long double Get(int index) const;

protected:
    // `resolution` is the screen's pixels per inch when the object is made; it never changes.
    TBRUnitBase(int resolution, std::vector<long double> initial, std::vector<bool> horizontal);

    long double ToNativeAt(int index, long double value) const;
    void StoreNative(int index, long double value)
    {
        native_.at(static_cast<std::size_t>(index)) = value;
    }
    bool Horizontal(int index) const { return horizontal_.at(static_cast<std::size_t>(index)); }

    // Sets the parent-updating flag for the life of the guard; nested pushes keep it set.
    class UpdatingGuard {
    public:
        explicit UpdatingGuard(TBRUnitBase &base) : base_(base), previous_(base.parentUpdating_)
        {
            base_.parentUpdating_ = true;
        }
        ~UpdatingGuard() { base_.parentUpdating_ = previous_; }
        UpdatingGuard(const UpdatingGuard &) = delete;
        UpdatingGuard &operator=(const UpdatingGuard &) = delete;

    private:
        TBRUnitBase &base_;
        bool previous_;
    };

private:
    TBRUnitContext context() const;

    TBRUnit units_ = TBRUnit::MM;
    std::vector<TBRUnit> savedUnits_;
    int resolution_;
    int zoom_ = standardZoom;
    bool parentUpdating_ = false;
    TCustomBandReport *parentReport_ = nullptr;
    std::vector<long double> native_;
    std::vector<bool> horizontal_;
};

} // namespace report
