// The About window's layout, its links and the tune flag.
#include "app/about_window.h"

#include "app/about_links.h"
#include "app/click_label.h"
#include "app/main_window.h"
#include "app/platform.h"
#include "app/png_picture.h"
#include "app/windowing.h"
#include "collect/charset.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QPixmap>
#include <QUrl>

#include <filesystem>
#include <utility>

namespace corvelle::app {

namespace {

constexpr unsigned int kBlack = 0x000000;
constexpr unsigned int kOrange = 0x0080FF;    // 0x00BBGGRR: red 255, green 128, blue 0
constexpr unsigned int kLinkBlue = 0xFFB266;  // red 102, green 178, blue 255: readable on black
constexpr int kInstructionPixels = 16;
constexpr int kLinkPixels = 16;
constexpr int kContactPixels = 19;

struct TuneState {
    bool flag = false;
    std::unique_ptr<TunePlayer> player;
};

TuneState& tuneState()
{
    static TuneState state;
    return state;
}

TunePlayer& tunePlayer()
{
    std::unique_ptr<TunePlayer>& player = tuneState().player;
    if (!player)
        player = std::make_unique<FluidSynthTunePlayer>();
    return *player;
}

QByteArray resourceBytes(const char* path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QPixmap resourcePicture(const char* path)
{
    return QPixmap::fromImage(decodePng(resourceBytes(path)));
}

const std::string& contactLine()
{
    static const std::string text = collect::utf8ToGbk("作者：Ambrin\r\n联系方式见作者博客");
    return text;
}

bool isWebAddress(std::string_view address)
{
    return address.starts_with("http://") || address.starts_with("https://");
}

std::string fileAddress(const std::filesystem::path& path)
{
    QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path.string())));
    return url.toEncoded().toStdString();
}

// The links open through here. The program's own pages are local files, which openWebAddress refuses
// on purpose (it also serves links taken from web pages), so they go to the desktop directly.
void openAboutLink(std::string_view link)
{
    std::string address = aboutLinkAddress(link);
    if (isWebAddress(address)) {
        openWebAddress(address);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(address)));
}

ClickLabel* addLabel(QWidget* window, const char* layoutName, const QRect& geometry, const QFont& font)
{
    auto* label = new ClickLabel(window);  // owned by the window
    label->setObjectName(QString::fromUtf8(layoutName));
    label->setGeometry(geometry);
    label->setFont(font);
    return label;
}

ClickLabel* addLink(QWidget* window, const char* layoutName, const QRect& geometry, const QString& caption,
                    std::string_view link)
{
    QFont font = layoutFont(kLinkPixels, true);
    font.setUnderline(true);
    ClickLabel* label = addLabel(window, layoutName, geometry, font);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(QString::fromStdString(aboutLinkAddress(link)));
    setTextColour(label, kLinkBlue);
    QObject::connect(label, &ClickLabel::released, label, [link] { openAboutLink(link); });
    return label;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QString::fromUtf8("关于"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(851, 372);
    move(50, 50);
    setBackgroundColour(this, kBlack);

    ClickLabel* instructions = addLabel(this, "标签_说明", {8, 17, 408, 310}, layoutFont(kInstructionPixels));
    setControlText(instructions, aboutInstructions());
    instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundColour(instructions, kOrange);
    setTextColour(instructions, kBlack);
    connect(instructions, &ClickLabel::doubleClicked, this, [] { stopTune(); });

    addLink(this, "超级链接框3", {435, 23, 120, 32}, QString::fromUtf8("捐助"), kDonateLink);
    addLink(this, "超级链接框2", {579, 23, 120, 32},
            QString::fromUtf8(kBlogCaption.data(), static_cast<qsizetype>(kBlogCaption.size())), kBlogLink);
    addLink(this, "超级链接框1", {715, 23, 120, 32}, QString::fromUtf8("软件更新"), kUpdatesLink);

    // The donation picture keeps its proportions in a box made to them, so stretching does not distort.
    auto* donate = new QLabel(this);  // owned by the window
    donate->setObjectName(QString::fromUtf8("图片框1"));
    donate->setGeometry(435, 78, 400, 177);
    donate->setScaledContents(true);
    donate->setPixmap(resourcePicture(kDonatePictureResource));

    ClickLabel* badge = addLabel(this, "图片框2", {440, 280, 40, 40}, font());
    badge->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    badge->setPixmap(resourcePicture(kBadgePictureResource));
    badge->setCursor(Qt::PointingHandCursor);
    connect(badge, &ClickLabel::pressed, this, [] { startTune(); });

    ClickLabel* contact = addLabel(this, "标签_2", {640, 296, 195, 49}, layoutFont(kContactPixels));
    setControlText(contact, contactLine());
    contact->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundColour(contact, kBlack);
    setTextColour(contact, kOrange);
}

AboutWindow::~AboutWindow()
{
    aboutClosing();
}

void openAbout(QWidget* owner)
{
    AboutWindow window(owner);
    window.exec();
}

void startTune()
{
    TuneState& state = tuneState();
    if (state.flag)
        return;
    tunePlayer().play(aboutTune());
    state.flag = true;
}

void stopTune()
{
    tunePlayer().stop();
}

void aboutClosing()
{
    tunePlayer().stop();
    tuneState().flag = false;
}

bool tuneFlag()
{
    return tuneState().flag;
}

void setTunePlayer(std::unique_ptr<TunePlayer> player)
{
    tuneState().player = std::move(player);
}

const std::string& aboutTune()
{
    static const std::string tune = resourceBytes(kTuneResource).toStdString();
    return tune;
}

const std::string& aboutInstructions()
{
    static const std::string text = collect::utf8ToGbk("使用说明\r\n"
                                                       "输入数个基金的代码以后，点击分析。\r\n"
                                                       "（可换行继续输入多个基金代码）\r\n"
                                                       "会计算出这些基金经理所持仓的前十股票\r\n"
                                                       "（是最近上个季度的结果）\r\n"
                                                       "他们筛选持仓的起码都是优质股了，可以帮助分析。\r\n"
                                                       "\r\n"
                                                       "分析结果说明：\r\n"
                                                       "右边列表“持仓比例”越高，说明各经理买的仓位越重\r\n"
                                                       "右边列表“重复次数”越高，说明越多经理看好并买入它\r\n"
                                                       "\r\n"
                                                       "右边列表里，双击股票名称，可以打开网站看详细信息\r\n"
                                                       "\r\n"
                                                       "本软件结果仅供参考。别忘了点赞，投币");
    return text;
}

std::string aboutLinkAddress(std::string_view link)
{
    if (isWebAddress(link))
        return std::string(link);
    std::vector<std::filesystem::path> roots;
    if (std::string directory = executableDirectory(); !directory.empty())
        roots.emplace_back(directory);
    roots.emplace_back(CORVELLE_SOURCE_DIR);
    for (const std::filesystem::path& root : roots) {
        std::error_code error;
        if (std::filesystem::is_regular_file(root / link, error))
            return fileAddress(root / link);
    }
    return fileAddress(roots.front() / link);
}

}  // namespace corvelle::app
