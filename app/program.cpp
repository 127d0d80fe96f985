// Program start, the window's life-cycle handlers and the exit routine.
#include "app/program.h"

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "app/windowing.h"
#include "collect/random_source.h"
#include "export/export_command.h"
#include "view/results_view_wiring.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTranslator>
#include <QTreeWidget>

#include <chrono>
#include <memory>

namespace corvelle::app {

namespace {

// What lives from start to exit: the theme and the results side, which owns the result table, its lock
// and every worker thread.
struct Globals {
    std::unique_ptr<ThemeState> theme = std::make_unique<ThemeState>();
    std::unique_ptr<view::ResultsView> results;
};

// Ties the window's labels and list to their handlers. Everything connected here to aboutToClose runs
// before the theme is saved: the results side stops a run and joins its workers there.
void connectHandlers(MainWindow& window, Globals& globals, const collect::ServiceAddresses& addresses)
{
    globals.results = std::make_unique<view::ResultsView>(window, addresses);
    connectThemeLabel(window, *globals.theme);

    collect::AnalysisSession& session = globals.results->session();
    QObject::connect(window.exportLabel(), &ClickLabel::pressed, &window, [&window, &session] {
        exporting::exportResults(&window, window.resultsList(), [&session] { return session.tableSize(); });
    });
    QObject::connect(window.aboutLabel(), &ClickLabel::pressed, &window, [&window] { openAbout(&window); });
}

// Milliseconds since the system started, as the sorts' pivots want a seed that differs per start.
unsigned int tickCount()
{
    auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<unsigned int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

// The exit routine: frees the theme counter, then the result table with the rest of the results side
// (its workers were joined when the window closed).
void exitRoutine(Globals& globals)
{
    globals.theme.reset();
    globals.results.reset();
}

}  // namespace

bool loadQtTranslation(QTranslator& translator, const QLocale& systemLocale)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (systemLocale.language() == QLocale::Chinese &&
        translator.load(systemLocale, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        return true;
    return translator.load(QStringLiteral("qtbase_zh_CN"), folder);
}

void windowCreated(MainWindow& window, ThemeState& theme)
{
    setControlText(window.codeBox(), std::string());
    deleteAllRows(window.resultsList());
    setControlText(window.progressLabel(), std::string());
    collect::seedRandom(tickCount());
    theme.number = readSavedTheme(settingsFilePath());
    theme.counter.set(3, theme.number);  // a refused value leaves the counter as it was; ★ then gives 1
    applyTheme(window, theme.number);
}

void windowClosing(const ThemeState& theme)
{
    saveTheme(settingsFilePath(), theme.number);
}

int runProgram(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Fusion paints every control from its palette, so the theme colours show whatever the desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Qt's own dialogs speak Chinese, like the rest of the program.
    QTranslator qtTranslator;
    if (loadQtTranslation(qtTranslator, QLocale::system()))
        QApplication::installTranslator(&qtTranslator);

    Globals globals;
    // The web addresses are read once, at start; the theme is read when the window is created.
    const collect::ServiceAddresses addresses = readServiceAddresses(settingsFilePath());
    {
        MainWindow window;
        windowCreated(window, *globals.theme);
        connectHandlers(window, globals, addresses);
        QObject::connect(&window, &MainWindow::aboutToClose, &window,
                         [&globals] { windowClosing(*globals.theme); });
        window.show();
        QApplication::exec();
    }
    exitRoutine(globals);
    return 0;
}

}  // namespace corvelle::app
