// The tune flag: one start per opening of the About window, driven by mouse events on the real window.
#include "app/about_window.h"
#include "app/tune_player.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace corvelle::app {
namespace {

// What the window asked of its player, in order.
struct PlayerLog {
    int plays = 0;
    int stops = 0;
    std::string lastTune;
    std::string calls;  // "p" for play, "s" for stop
};

class RecordingPlayer : public TunePlayer {
public:
    explicit RecordingPlayer(std::shared_ptr<PlayerLog> log) : m_log(std::move(log)) {}

    void play(std::string midi) override
    {
        ++m_log->plays;
        m_log->lastTune = std::move(midi);
        m_log->calls += 'p';
    }
    void stop() override
    {
        ++m_log->stops;
        m_log->calls += 's';
    }

private:
    std::shared_ptr<PlayerLog> m_log;
};

class TuneFlag : public ::testing::Test {
protected:
    void SetUp() override
    {
        setTunePlayer(std::make_unique<RecordingPlayer>(m_log));
        ASSERT_FALSE(tuneFlag()) << "a window of an earlier test is still open";
    }
    void TearDown() override { setTunePlayer(nullptr); }

    std::shared_ptr<PlayerLog> m_log = std::make_shared<PlayerLog>();
};

QLabel* control(QWidget& window, const char* layoutName)
{
    return window.findChild<QLabel*>(QString::fromUtf8(layoutName));
}

void pressBadge(QWidget& window)
{
    QTest::mousePress(control(window, "图片框2"), Qt::LeftButton);
    QTest::mouseRelease(control(window, "图片框2"), Qt::LeftButton);
}

TEST_F(TuneFlag, FirstPressStartsTheTuneOnceAndLaterPressesDoNothing)
{
    AboutWindow window;
    window.show();
    EXPECT_FALSE(tuneFlag());
    pressBadge(window);
    EXPECT_TRUE(tuneFlag());
    EXPECT_EQ(m_log->plays, 1);
    EXPECT_EQ(m_log->lastTune, aboutTune()) << "the embedded file goes to the player unchanged";
    EXPECT_EQ(m_log->lastTune.size(), 3952U);

    pressBadge(window);  // while it plays
    EXPECT_EQ(m_log->plays, 1);

    QTest::mouseDClick(control(window, "标签_说明"), Qt::LeftButton);
    EXPECT_EQ(m_log->stops, 1) << "a double-click on the instructions stops the tune";
    EXPECT_TRUE(tuneFlag()) << "stopping leaves the flag set";

    pressBadge(window);  // after the stop
    EXPECT_EQ(m_log->plays, 1);
    EXPECT_EQ(m_log->calls, "ps");
}

TEST_F(TuneFlag, ClicksElsewhereNeitherStartNorStop)
{
    AboutWindow window;
    window.show();
    QTest::mouseClick(control(window, "标签_说明"), Qt::LeftButton);  // a single press on the instructions
    QTest::mouseClick(control(window, "图片框1"), Qt::LeftButton);
    QTest::mouseDClick(control(window, "标签_2"), Qt::LeftButton);
    QTest::mouseClick(control(window, "图片框2"), Qt::RightButton);
    EXPECT_EQ(m_log->calls, "");
    EXPECT_FALSE(tuneFlag());
}

TEST_F(TuneFlag, StoppingWhenNothingPlaysIsHarmless)
{
    AboutWindow window;
    QTest::mouseDClick(control(window, "标签_说明"), Qt::LeftButton);
    EXPECT_EQ(m_log->calls, "s");
    EXPECT_FALSE(tuneFlag()) << "a stop does not count as a start";
    pressBadge(window);
    EXPECT_EQ(m_log->calls, "sp");
}

TEST_F(TuneFlag, ClosingStopsAndTheNextOpeningMayStartOnceMore)
{
    auto openAndPress = [](int presses) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QWidget* about = QApplication::activeModalWidget();
            ASSERT_NE(about, nullptr);
            ran = true;
            for (int i = 0; i < presses; ++i)
                pressBadge(*about);
            about->close();
        });
        openAbout(nullptr);
        EXPECT_TRUE(ran);
    };

    openAndPress(2);
    EXPECT_EQ(m_log->calls, "ps") << "one start, then the closing window stops it";
    EXPECT_FALSE(tuneFlag()) << "closing clears the flag";

    openAndPress(1);
    EXPECT_EQ(m_log->calls, "psps") << "the next opening plays the tune again";

    openAndPress(0);
    EXPECT_EQ(m_log->calls, "pspss") << "closing stops even when nothing was started";
    EXPECT_FALSE(tuneFlag());
}

TEST_F(TuneFlag, HandlersFollowTheFlagWithoutAWindow)
{
    startTune();
    startTune();
    stopTune();
    startTune();
    EXPECT_EQ(m_log->calls, "ps");
    aboutClosing();
    EXPECT_FALSE(tuneFlag());
    startTune();
    EXPECT_EQ(m_log->calls, "pssp");
    aboutClosing();
}

}  // namespace
}  // namespace corvelle::app
