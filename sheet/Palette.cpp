#include "Palette.h"

#include <stdexcept>
#include <string>

void ColourTable::fill()
{
    for (std::size_t slot = 0; slot < ColoriTavolozza.size(); ++slot)
        slots_[slot] = ColoriTavolozza[slot];
}

Colore ColourTable::at(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        throw std::out_of_range("colour table slot " + std::to_string(slot));
    return slots_[static_cast<std::size_t>(slot)];
}

SwatchPlace SwatchGrid::place(int swatch) const
{
    const int column = (swatch - 1) / rows;
    const int row = (swatch - 1) % rows;
    return {left(column), top(row), width, height};
}

std::optional<SwatchGrid> swatchGrid(int numeroColori)
{
    switch (numeroColori) {
    case 4:
        return SwatchGrid{1, 4, 100, 64};
    case 8:
        return SwatchGrid{2, 4, 50, 64};
    case 16:
        return SwatchGrid{2, 8, 50, 32};
    case 32:
        return SwatchGrid{4, 8, 25, 32};
    default:
        return std::nullopt;
    }
}
