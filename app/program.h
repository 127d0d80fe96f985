// Program start and end: the globals, the main window's two life-cycle handlers and the message loop.
#pragma once

#include "app/theme.h"

class QLocale;
class QTranslator;

namespace corvelle::app {

class MainWindow;

// The window-created handler: empties the code box, the list and the progress label, seeds the random
// generator from the clock, reads the saved theme from 配置.ini in the current working directory, sets
// the counter to it (maximum 3) and paints the window.
void windowCreated(MainWindow& window, ThemeState& theme);

// The window-closing handler: writes the theme in force to 配置.ini in the current working directory;
// a failed write is ignored.
void windowClosing(const ThemeState& theme);

// Loads Qt's own translation for its standard dialogs: the system's when its language is Chinese and Qt
// has that variant (traditional characters on a Taiwan system), else simplified Chinese. False when
// neither is installed.
bool loadQtTranslation(QTranslator& translator, const QLocale& systemLocale);

// Creates the globals, shows the main window, runs the message loop until it closes, runs the exit
// routine and returns 0.
int runProgram(int argc, char** argv);

}  // namespace corvelle::app
