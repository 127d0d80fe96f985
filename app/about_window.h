// The About window: instructions, three links, two pictures and the tune its badge plays.
#pragma once

#include "app/tune_player.h"

#include <QDialog>

#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace corvelle::app {

// The pictures and the tune inside the program's resources.
inline constexpr char kDonatePictureResource[] = ":/about/about_donate.png";
inline constexpr char kBadgePictureResource[] = ":/about/about_badge.png";
inline constexpr char kTuneResource[] = ":/about/tune.mid";

// The window with its controls under their layout names (标签_说明, 超级链接框1 to 3, 图片框1 and 2,
// 标签_2). Modal for the whole application. Being destroyed runs aboutClosing.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* owner = nullptr);
    ~AboutWindow() override;
};

// Handler of the left button going down on 标签_关于: builds a fresh About window over owner, shows it
// modally and returns once it has been closed and destroyed.
void openAbout(QWidget* owner);

// Handler of the left button going down on 图片框2: starts the tune once per opening of the window.
void startTune();
// Handler of a double-click on 标签_说明: stops the tune; the tune flag stays as it is.
void stopTune();
// Handler of the About window going away: stops the tune and clears the tune flag.
void aboutClosing();

// The tune flag: true from the moment the tune was started until the About window is destroyed.
[[nodiscard]] bool tuneFlag();

// Replaces the player the tune goes to (tests watch it this way); nullptr brings back the FluidSynth
// player, made when the tune is first started.
void setTunePlayer(std::unique_ptr<TunePlayer> player);

// The embedded tune, byte for byte as it is handed to the player.
[[nodiscard]] const std::string& aboutTune();

// The instruction text of 标签_说明: fourteen lines with CR LF between them, GBK.
[[nodiscard]] const std::string& aboutInstructions();

// The address a link from about_links.h opens: http(s) links as they are, the program's own pages as a
// percent-encoded file address.
[[nodiscard]] std::string aboutLinkAddress(std::string_view link);

}  // namespace corvelle::app
