#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// A colour as the sheet stores it: 0x00BBGGRR, red in the low byte.
using Colore = std::uint32_t;

// Program-wide state shared by the sheet's handlers.
inline std::int16_t NumeroColori = 0;            // palette size shown: 4, 8, 16 or 32
inline std::optional<std::int16_t> IndiceAttivo; // swatch shown as chosen; unset reads as 0
inline Colore ColoreAttivo = 0;                  // current fill colour

// IndiceAttivo as the handlers read it: 0 while unset.
inline std::int16_t indiceAttivo()
{
    return IndiceAttivo.value_or(0);
}

// The 32 palette colours, in swatch order.
inline constexpr std::array<Colore, 32> ColoriTavolozza = {
    0x00FF0000, 0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00F6D4D4, 0x00FF00FF, 0x00FFFF00, 0x00FFFFFF,
    0x00000000, 0x00800080, 0x00000080, 0x00FF7F7F, 0x00008080, 0x00008000, 0x00808000, 0x00C0C0C0,
    0x00808080, 0x00FF4040, 0x00C0C000, 0x00FFD427, 0x00FF80FF, 0x00C0C0FF, 0x00C0FFC0, 0x00FFC0FF,
    0x00C00000, 0x00C0C000, 0x0000C000, 0x0000C0C0, 0x000000C0, 0x00C000C0, 0x00FFFFC0, 0x00E4DCDC,
};

// The Italian names of the palette colours, slot by slot, as a screen reader
// says them. Slots 18 and 25 hold the same colour and so the same name.
inline constexpr std::array<std::string_view, 32> NomiTavolozza = {
    "Blu",          "Rosso",         "Verde",        "Giallo",         "Lavanda",
    "Magenta",      "Ciano",         "Bianco",       "Nero",           "Viola",
    "Marrone",      "Blu chiaro",    "Verde oliva",  "Verde scuro",    "Verde petrolio",
    "Argento",      "Grigio",        "Blu acceso",   "Ciano scuro",    "Azzurro cielo",
    "Rosa",         "Rosa chiaro",   "Verde chiaro", "Magenta chiaro", "Blu medio",
    "Ciano scuro",  "Verde medio",   "Giallo scuro", "Rosso scuro",    "Magenta scuro",
    "Ciano chiaro", "Grigio chiaro",
};

// The colour table: slots 0 .. 32, of which 0 .. 31 hold the palette colours
// once filled and slot 32 stays unset.
class ColourTable
{
public:
    static constexpr int kSlots = 33;

    void fill();
    // Throws std::out_of_range for a slot outside 0 .. 32.
    Colore at(int slot) const;

private:
    std::array<Colore, kSlots> slots_{};
};

// Where the swatches of one palette size stand, in pixels of the sheet.
struct SwatchPlace
{
    int left;
    int top;
    int width;
    int height;
};

struct SwatchGrid
{
    int columns;
    int rows;
    int width;
    int height;

    static constexpr int kLeft = 25;
    static constexpr int kTop = 150;
    static constexpr int kGap = 2;

    int left(int column) const { return kLeft + (width + kGap) * column; }
    int top(int row) const { return kTop + (height + kGap) * row; }
    // Swatches are numbered from 1 down the columns.
    SwatchPlace place(int swatch) const;
};

// The grid of a palette of 4, 8, 16 or 32 colours; nothing for other sizes.
std::optional<SwatchGrid> swatchGrid(int numeroColori);
