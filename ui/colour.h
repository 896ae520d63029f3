#pragma once
// Colours as the window description gives them, RGB(red, green, blue). The
// ones that more than one control shows are named here, once.
struct Colour {
    unsigned char r = 0;
    unsigned char g = 0;
    unsigned char b = 0;
    friend constexpr bool operator==(Colour x, Colour y) { return x.r == y.r && x.g == y.g && x.b == y.b; }
    friend constexpr bool operator!=(Colour x, Colour y) { return !(x == y); }
};

// The background of the window and of every radio button, panel, label and link label.
inline constexpr Colour panel_colour{236, 236, 236};
inline constexpr Colour black{0, 0, 0};
inline constexpr Colour grey{128, 128, 128};
inline constexpr Colour blue{0, 0, 255};
