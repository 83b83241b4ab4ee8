#pragma once
// The paper sizes the page output knows, numbered as the printers' paper codes, with their
// portrait width and length in millimetres (codes 1 to 68).

#include <array>

namespace output {

inline constexpr int paperDefault = 0;
inline constexpr int paperA4 = 9;
inline constexpr int paperA4Small = 10;
inline constexpr int paperCustom = 69;
inline constexpr int paperSizeCount = 70;
// The paper guess of a loaded file considers the table's first 26 rows.
inline constexpr int paperGuessLastRow = 26;

struct TPaperDimensions {
    double Width;  // mm, portrait
    double Length; // mm, portrait
};

inline constexpr std::array<TPaperDimensions, 69> paperTable = {{
    {0, 0}, // Default: the printer's own paper
    {215.9, 279.4}, {215.9, 279.4},  {279.4, 431.8}, {431.8, 279.4}, {215.9, 355.6}, {139.7, 215.9},
    {190.5, 254},   {297, 420},      {210, 297},     {210, 297},     {148, 210},     {250, 354},
    {182, 257},     {215.9, 330.2},  {215, 275},     {254, 355.6},   {279.4, 431.8}, {215.9, 279.4},
    {98.43, 225.4}, {104.8, 241.3},  {114.3, 263.5}, {120.7, 279.4}, {127, 292.1},   {431.8, 558.8},
    {558.8, 863.6}, {863.6, 1117.6}, {110, 220},     {162, 229},     {324, 458},     {229, 324},
    {114, 162},     {114, 229},      {250, 353},     {176, 250},     {176, 125},     {110, 230},
    {98.43, 190.5}, {92.01, 165.1},  {377.8, 279.4}, {215.9, 304.8}, {215.9, 330.2}, {250, 353},
    {100, 148},     {228.6, 279.4},  {254, 279.4},   {381, 279.4},   {220, 220},     {100, 100},
    {100, 100},     {241.3, 304.8},  {241.3, 381},   {296.9, 457.2}, {236, 322},     {279.4, 215.9},
    {297, 210},     {304.8, 241.3},  {227, 356},     {305, 487},     {215.9, 322.3}, {210, 330},
    {210, 148},     {257, 182},      {322, 445},     {174, 235},     {201, 276},     {420, 594},
    {420, 297},     {445, 322},
}};

} // namespace output
