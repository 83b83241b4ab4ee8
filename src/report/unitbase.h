#pragma once
// TBRUnitBase: an object that holds lengths in native units and shows them in its Units,
// converting on every read and write. TBRPage, TBRBandSize and TBRPrintableSize build on it.

#include "platform/length.h"
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

    // A length in Units by its index. Setting one the object does not hold, or refuses now,
    // does nothing; the owner control follows a length that was set.
    long double GetValue(int index) const;
    void SetValue(int index, long double value);

    // A length in native units, as a number and as the engine's length type, whatever Units is.
    long double Native(int index) const { return native_.at(static_cast<std::size_t>(index)); }
    platform::TLength LengthAt(int index) const
    {
        return platform::TLength::fromNative(Native(index));
    }

protected:
    // `resolution` is the screen's pixels per inch when the object is made; it never changes.
    TBRUnitBase(int resolution, const std::vector<platform::TLength> &initial,
                std::vector<bool> horizontal);

    void StoreNative(int index, platform::TLength value)
    {
        native_.at(static_cast<std::size_t>(index)) = value.native();
    }
    bool Horizontal(int index) const { return horizontal_.at(static_cast<std::size_t>(index)); }
    // What a subclass adds to SetValue: whether it takes the length at `index` now, and what
    // follows when it did (by default the owner control's bounds).
    virtual bool TakesValue(int index) const { return true; }
    virtual void ValueSet(int index) { UpdateParent(); }
    // What follows SetValues taking a stored list.
    virtual void ValuesTaken() {}

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
