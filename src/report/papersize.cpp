#include "report/papersize.h"

#include <array>

namespace report {

namespace {
// Portrait width × length in millimetres of codes 1 to 68.
constexpr std::array<TBRPaperDimensions, 68> paperTable{{
    {215.9L, 279.4L},  {215.9L, 279.4L}, {279.4L, 431.8L}, {431.8L, 279.4L}, {215.9L, 355.6L},
    {139.7L, 215.9L},  {190.5L, 254L},   {297L, 420L},     {210L, 297L},     {210L, 297L},
    {148L, 210L},      {250L, 354L},     {182L, 257L},     {215.9L, 330.2L}, {215L, 275L},
    {254L, 355.6L},    {279.4L, 431.8L}, {215.9L, 279.4L}, {98.43L, 225.4L}, {104.8L, 241.3L},
    {114.3L, 263.5L},  {120.7L, 279.4L}, {127L, 292.1L},   {431.8L, 558.8L}, {558.8L, 863.6L},
    {863.6L, 1117.6L}, {110L, 220L},     {162L, 229L},     {324L, 458L},     {229L, 324L},
    {114L, 162L},      {114L, 229L},     {250L, 353L},     {176L, 250L},     {176L, 125L},
    {110L, 230L},      {98.43L, 190.5L}, {92.01L, 165.1L}, {377.8L, 279.4L}, {215.9L, 304.8L},
    {215.9L, 330.2L},  {250L, 353L},     {100L, 148L},     {228.6L, 279.4L}, {254L, 279.4L},
    {381L, 279.4L},    {220L, 220L},     {100L, 100L},     {100L, 100L},     {241.3L, 304.8L},
    {241.3L, 381L},    {296.9L, 457.2L}, {236L, 322L},     {279.4L, 215.9L}, {297L, 210L},
    {304.8L, 241.3L},  {227L, 356L},     {305L, 487L},     {215.9L, 322.3L}, {210L, 330L},
    {210L, 148L},      {257L, 182L},     {322L, 445L},     {174L, 235L},     {201L, 276L},
    {420L, 594L},      {420L, 297L},     {445L, 322L},
}};
} // namespace

std::optional<TBRPaperDimensions> PaperDimensions(TBRPaperSize size)
{
    const int code = static_cast<int>(size);
    if (code < 1 || code > static_cast<int>(paperTable.size()))
        return std::nullopt;
    return paperTable[static_cast<std::size_t>(code - 1)];
}

int PaperCode(TBRPaperSize size)
{
    return size == TBRPaperSize::Custom ? customPaperCode : static_cast<int>(size);
}

} // namespace report
