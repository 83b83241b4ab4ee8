#pragma once
// Paper sizes. Values 1 to 68 are also the Windows paper codes of the same number.

#include "platform/length.h"

#include <optional>

namespace report {

enum class TBRPaperSize {
    Default,
    Letter,
    LetterSmall,
    Tabloid,
    Ledger,
    Legal,
    Statement,
    Executive,
    A3,
    A4,
    A4Small,
    A5,
    B4,
    B5,
    Folio,
    Quarto,
    br10X14,
    br11X17,
    Note,
    Env9,
    Env10,
    Env11,
    Env12,
    Env14,
    CSheet,
    DSheet,
    ESheet,
    EnvDL,
    EnvC5,
    EnvC3,
    EnvC4,
    EnvC6,
    EnvC65,
    EnvB4,
    EnvB5,
    EnvB6,
    EnvItaly,
    EnvMonarch,
    EnvPersonal,
    FanfoldUSStd,
    FanfoldGerStd,
    FanfoldGerLegal,
    B4ISO,
    PostcardJap,
    br9X11,
    br10X11,
    br15X11,
    EnvInvite,
    Reserved1,
    Reserved2,
    LetterExtra,
    LegalExtra,
    TabloidExtra,
    A4Extra,
    LetterTrans,
    A4Trans,
    LetterExtraTrans,
    SuperASuperAA4,
    SuperBSuperBA3,
    LetterPlus,
    A4Plus,
    A5Trans,
    B5Trans,
    A3Extra,
    A5Extra,
    B5Extra,
    A2,
    A3Trans,
    A3ExtraTrans,
    Custom
};

inline constexpr int paperSizeCount = 70;
static_assert(static_cast<int>(TBRPaperSize::Custom) == paperSizeCount - 1);
// The Windows paper code sent for a custom paper.
inline constexpr int customPaperCode = 256;

struct TBRPaperDimensions {
    platform::TLength Width;
    platform::TLength Length;
};

// Portrait width and length of a standard paper; none for Default and Custom.
std::optional<TBRPaperDimensions> PaperDimensions(TBRPaperSize size);

// The paper code a printer receives for `size`.
int PaperCode(TBRPaperSize size);

} // namespace report
