// Painting the main window in a colour theme, and the ★ label that steps through the themes.
#pragma once

#include "app/cycle_counter.h"

#include <cstdint>

namespace corvelle::app {

class MainWindow;

// The theme in force and the counter the ★ label steps; one of each for the program's whole life.
struct ThemeState {
    CycleCounter counter;     // starts with maximum 0 and current 0
    std::int32_t number = 0;  // the theme in force
};

// Paints the window and its controls in theme 1, 2 or 3; any other number paints them black.
void applyTheme(MainWindow& window, std::int32_t theme);

// The ★ label's press: the next theme of the cycle, applied at once (saved only when the window closes).
void nextTheme(MainWindow& window, ThemeState& state);

// Binds nextTheme to presses on the window's ★ label; state must outlive the window.
void connectThemeLabel(MainWindow& window, ThemeState& state);

}  // namespace corvelle::app
