// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QtGlobal>
#include <optional>

// The 36 marker colours that list settings and the marker dialog offer. A list
// format keeps the index; index 0 means "not set" (the list keeps its own
// colour). Colours are Windows colour values: 0x00BBGGRR, blue in the high
// byte, as they are stored.
namespace lists {

inline constexpr int kPaletteSize = 36; // indexes 0..35

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour value of an index 1..35; none for 0 ("not set") and for an
// index outside the palette.
std::optional<quint32> paletteColour(int index);

// The index of a colour value; 0 when the palette has no such colour.
int paletteIndexOf(quint32 colour);

// Red, green and blue of a Windows colour value.
Rgb rgbOfColour(quint32 colour);

} // namespace lists
