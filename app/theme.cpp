// applyTheme writes the seven colour roles in a fixed order: the progress label belongs to both label
// groups, and writing the caption colours last leaves it with those.
#include "app/theme.h"

#include "app/main_window.h"
#include "app/theme_colours.h"
#include "app/windowing.h"

#include <QPlainTextEdit>
#include <QTreeWidget>

#include <array>

namespace corvelle::app {

void applyTheme(MainWindow& window, std::int32_t theme)
{
    const ThemeColours colours = themeColours(theme);
    const std::array<QWidget*, 8> buttons{
        window.analyseLabel(), window.progressLabel(), window.ratioLabel(),  window.repeatCountLabel(),
        window.themeLabel(),   window.aboutLabel(),    window.exportLabel(), window.priceLabel()};
    const std::array<QWidget*, 4> captions{window.inputCaptionLabel(), window.nameCaptionLabel(),
                                           window.progressLabel(), window.codeCaptionLabel()};

    setBackgroundColour(&window, colours.windowBackground);
    for (QWidget* button : buttons)
        setBackgroundColour(button, colours.buttonBackground);
    for (QWidget* button : buttons)
        setTextColour(button, colours.buttonText);
    for (QWidget* caption : captions)
        setBackgroundColour(caption, colours.captionBackground);
    for (QWidget* caption : captions)
        setTextColour(caption, colours.captionText);
    setBackgroundColour(window.codeBox(), colours.fieldBackground);
    setBackgroundColour(window.resultsList(), colours.fieldBackground);
    setTextBackgroundColour(window.resultsList(), colours.fieldBackground);
    setTextColour(window.codeBox(), colours.fieldText);
    setTextColour(window.resultsList(), colours.fieldText);
}

void nextTheme(MainWindow& window, ThemeState& state)
{
    state.number = state.counter.step(true);
    applyTheme(window, state.number);
}

void connectThemeLabel(MainWindow& window, ThemeState& state)
{
    QObject::connect(window.themeLabel(), &ClickLabel::pressed, &window,
                     [&window, &state] { nextTheme(window, state); });
}

}  // namespace corvelle::app
