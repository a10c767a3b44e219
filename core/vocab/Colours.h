#pragma once

#include <cstdint>

// The program's colours. The data layer may not depend on the graphics library, so a colour is
// a plain 32-bit value laid out as 0xAARRGGBB (the graphics library's own RGB layout, always
// opaque here); the widget layer turns it into its colour type. Colours that follow the desktop
// theme are named by their role, and the widget layer looks the role up in the current palette.

using TRgbColour = std::uint32_t;

constexpr TRgbColour RgbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return 0xFF000000u | (TRgbColour{red} << 16) | (TRgbColour{green} << 8) | TRgbColour{blue};
}
constexpr std::uint8_t RedOf(TRgbColour colour) {
    return static_cast<std::uint8_t>(colour >> 16);
}
constexpr std::uint8_t GreenOf(TRgbColour colour) {
    return static_cast<std::uint8_t>(colour >> 8);
}
constexpr std::uint8_t BlueOf(TRgbColour colour) {
    return static_cast<std::uint8_t>(colour);
}

// Highlights of data-entry cells; the fourth also marks the files open on this desktop in the
// open-file list.
inline constexpr TRgbColour HighlightColour1 = RgbColour(255, 255, 160);
inline constexpr TRgbColour HighlightColour2 = RgbColour(252, 211, 116);
inline constexpr TRgbColour HighlightColour3 = RgbColour(179, 215, 255);
inline constexpr TRgbColour HighlightColour4 = RgbColour(226, 255, 225);
// Read-only or inactive controls in dialogs.
inline constexpr TRgbColour InactiveColour = RgbColour(140, 142, 140);

// The starting backgrounds of the transaction grid: a highlighted entry, a contra line, a
// dissection and a tax line.
inline constexpr TRgbColour DefaultEntryHighlightBackground = RgbColour(255, 255, 0);
inline constexpr TRgbColour DefaultContraBackground = RgbColour(0, 128, 128);
inline constexpr TRgbColour DefaultDissectionBackground = RgbColour(0, 255, 255);
inline constexpr TRgbColour DefaultTaxLineBackground = RgbColour(240, 202, 166);
// The fixed colours of the transaction grid: the text of a reconciled entry, the text on a
// highlight or contra background, and the warning pair of a non-contra posting to a bank account.
inline constexpr TRgbColour ReconciledTextColour = RgbColour(0, 0, 255);
inline constexpr TRgbColour EntryTextColour = RgbColour(0, 0, 0);
inline constexpr TRgbColour BankPostingBackground = RgbColour(255, 0, 0);
inline constexpr TRgbColour BankPostingTextColour = RgbColour(255, 255, 0);

// Colours taken from the desktop theme.
enum class TSystemColourRole {
    InactiveBorder, // the border of an inactive window
    Window,         // the background of an editable field
};

// An edit box that is disabled takes the inactive-border colour, an enabled one the window colour.
inline constexpr TSystemColourRole DisabledEditColour = TSystemColourRole::InactiveBorder;
inline constexpr TSystemColourRole EnabledEditColour = TSystemColourRole::Window;
