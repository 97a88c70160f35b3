// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/Palette.h"

#include <array>

namespace lists {

namespace {

// Index 0 has no colour of its own; the table starts at index 1.
constexpr std::array<quint32, kPaletteSize - 1> kPaletteColours = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x0080FF, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0xE0E0E0,
    0xC0C0FF, 0x8080FF, 0xB5E4FF, 0x80C0FF, 0x8CB4D2, 0xC0FFFF, 0x80FFFF, 0xC0FFC0, 0x80FF80,
    0x9AFA00, 0xFFFFC0, 0xEBCE87, 0xFFBF00, 0xFFC0C0, 0xFFA776, 0xFFC0FF, 0xFF80FF,
};

} // namespace

std::optional<quint32> paletteColour(int index)
{
    if (index < 1 || index >= kPaletteSize)
        return std::nullopt;
    return kPaletteColours[static_cast<std::size_t>(index - 1)];
}

int paletteIndexOf(quint32 colour)
{
    for (std::size_t i = 0; i < kPaletteColours.size(); ++i) {
        if (kPaletteColours[i] == colour)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

Rgb rgbOfColour(quint32 colour)
{
    return Rgb{static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
               static_cast<int>((colour >> 16) & 0xFF)};
}

} // namespace lists
