#pragma once
// The settings a page output prints with: paper, orientation, copies, bin, duplex and page range
// as they travel from the report into the printer's device mode, and what the printer says of
// itself (resolution, physical offsets, the papers it offers).

#include "output/papersize.h"
#include "platform/length.h"
#include "platform/printer.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace output {

enum class TOrientation { Portrait, Landscape };

// Paper sources, each sending its device code (binCode).
enum class TBRBin {
    First,
    Upper,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    Last
};
int binCode(TBRBin bin);

// The device paper code of a paper size (Custom sends the user-defined size), and back.
int paperCode(int paperSize);
int paperSizeOfCode(int code);

// The options of one print job as a report hands them to its page output: copies, bin, duplex
// and page range, the raw device values a print settings dialog chose, and how the pages are
// kept and printed. The report's printer settings are these and its printer.
struct TJobOptions {
    static constexpr std::int64_t DefaultMemoryLimit = 250000;

    int Copies = 1;
    TBRBin OutputBin = TBRBin::Auto;
    bool Duplex = false;
    int FirstPage = 0; // 0: no bound
    int LastPage = 0;
    bool UseStandardprinter = false;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    int ExtendedDuplex = 0; // raw device duplex code; 0: from Duplex
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    bool PrintMetaFile = false;
    std::int64_t MemoryLimit = DefaultMemoryLimit;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    // The paper tray by its keyword (a TPaperSource's); empty: the printer's own choice.
    std::string PaperSource;
};

class TPrinterSettings {
public:
    static constexpr std::int64_t DefaultMemoryLimit = TJobOptions::DefaultMemoryLimit;

    // The job's options. Copies, duplex and bin are taken as the setters take them: only when
    // the printer's device mode has the field.
    TJobOptions JobOptions() const;
    void SetJobOptions(const TJobOptions &options);

    int PaperSize() const { return paperSize_; }
    // Takes a paper size only when the printer offers it; Default is always taken.
    bool SetPaperSize(int size);
    TOrientation Orientation() const { return orientation_; }
    // Orientation, copies, duplex and output bin are taken only when the printer's device mode
    // has the matching field (before a printer was read, every field counts as there).
    void SetOrientation(TOrientation o);
    int Copies() const { return copies_; }
    void SetCopies(int copies);
    bool Duplex() const { return duplex_; }
    void SetDuplex(bool duplex);
    TBRBin OutputBin() const { return outputBin_; }
    void SetOutputBin(TBRBin bin);

    // The paper of the page in native units (0.1 mm), with the orientation applied.
    long double PaperWidth() const;
    long double PaperLength() const;
    // The free paper size of Default and Custom, whole native units, portrait.
    int CustomWidth = 2100;
    int CustomLength = 2970;

    std::int64_t MemoryLimit = DefaultMemoryLimit;
    bool UseStandardprinter = false;
    int FirstPage = 0;
    int LastPage = 0;
    // The printer's physical offsets (whole native units) and resolution.
    int LeftOffset = 0;
    int TopOffset = 0;
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    // Paper sizes 1 to 69 the printer offers; until a printer is read, all of them.
    std::bitset<paperSizeCount> SupportedPapers = std::bitset<paperSizeCount>().set();

    int ExtendedDuplex = 0; // raw device duplex code; 0: from Duplex
    bool PrintMetaFile = false;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    // The paper tray by its keyword (a TPaperSource's); empty: the printer's own choice.
    std::string PaperSource;

    std::string DeviceName, DriverName, PortName;

    // The report's hooks: a handler that sets `handled` replaces the reading or applying.
    using TPrinterSettingsEvent =
        std::function<void(TPrinterSettings &, bool &handled, platform::TDeviceMode &)>;
    TPrinterSettingsEvent OnGetPrinterSettings;
    TPrinterSettingsEvent OnApplyPrinterSettings;

    // Takes everything from the printer's current device mode and capabilities.
    void ReadSettings(const platform::TPrinter &printer);
    // Writes the settings into the printer's device mode for the next document.
    void ApplySettings(platform::TPrinter &printer);

    // The reading and writing themselves, on a device mode and the printer's capabilities.
    struct Capabilities {
        int pixelsPerInchX = 0, pixelsPerInchY = 0;
        platform::TSize physicalOffset, physicalPageSize;
        std::vector<int> paperCodes;
    };
    void ReadFrom(const platform::TDeviceMode &mode, const Capabilities &caps);
    platform::TDeviceMode DeviceModeFor(platform::TDeviceMode mode) const;

private:
    // The paper of the page, portrait.
    std::pair<platform::TLength, platform::TLength> portraitPaper() const;
    bool deviceHas(unsigned field) const { return !deviceFields_ || (*deviceFields_ & field); }

    int paperSize_ = paperA4;
    TOrientation orientation_ = TOrientation::Portrait;
    int copies_ = 1;
    bool duplex_ = false;
    TBRBin outputBin_ = TBRBin::Auto;
    std::optional<unsigned> deviceFields_; // the mask of the printer's device mode, once read
};

} // namespace output
