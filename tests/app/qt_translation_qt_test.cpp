// Qt's standard dialogs speak Chinese: the translation loaded for the system's locale.
#include "app/program.h"

#include <QLocale>
#include <QTranslator>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace corvelle::app {
namespace {

struct TranslationCase {
    const char* name;
    const char* systemLocale;
    const char* loaded;
    const char* cancel;  // what the translation makes of the standard button "Cancel"
};

const TranslationCase kCases[] = {
    {"SimplifiedChineseSystem", "zh_CN", "zh_CN", "取消"},
    {"TaiwanSystemGetsTraditional", "zh_TW", "zh_TW", "取消"},
    {"GermanSystemStillChinese", "de_DE", "zh_CN", "取消"},
    {"CLocaleChinese", "C", "zh_CN", "取消"},
};

void PrintTo(const TranslationCase& param, std::ostream* out)
{
    *out << param.name;
}

class QtTranslationTest : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(QtTranslationTest, Loads)
{
    QTranslator translator;
    ASSERT_TRUE(loadQtTranslation(translator, QLocale(QString::fromUtf8(GetParam().systemLocale))))
        << "qt6-translations-l10n is installed";
    EXPECT_EQ(translator.language().toStdString(), GetParam().loaded);
    EXPECT_EQ(translator.translate("QPlatformTheme", "Cancel").toStdString(), GetParam().cancel);
}

INSTANTIATE_TEST_SUITE_P(Cases, QtTranslationTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvelle::app
