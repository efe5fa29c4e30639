// The half-width form of names shown in the drop-down lists.
#include "datafiles/narrow_text.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

struct NarrowCase {
    const char* name;
    const char16_t* text;
    const char16_t* narrow;
};

class NarrowTextTest : public ::testing::TestWithParam<NarrowCase> {};

TEST_P(NarrowTextTest, GivesHalfWidthForm) {
    const NarrowCase& c = GetParam();
    EXPECT_EQ(NarrowText(QString::fromUtf16(c.text)), QString::fromUtf16(c.narrow));
}

INSTANTIATE_TEST_SUITE_P(
    Names, NarrowTextTest,
    ::testing::Values(NarrowCase{"FullWidthLatin", u"ＨＯＴ１", u"HOT1"},
                      NarrowCase{"AllLettersAndDigits", u"ＡＺａｚ０９Ｍｍ", u"AZaz09Mm"},
                      NarrowCase{"Mixolydian", u"ミクソリディアン", u"ﾐｸｿﾘﾃﾞｨｱﾝ"},
                      NarrowCase{"LongVowelBecomesHyphen", u"ホールトーン", u"ﾎ-ﾙﾄ-ﾝ"},
                      NarrowCase{"VoicedAndSemiVoiced", u"ガザダバパギポヂゾ", u"ｶﾞｻﾞﾀﾞﾊﾞﾊﾟｷﾞﾎﾟﾁﾞｿﾞ"},
                      NarrowCase{"SmallKana", u"ァィゥェォッャュョ", u"ｧｨｩｪｫｯｬｭｮ"},
                      NarrowCase{"RowEnds", u"アオワヲンヨロモノ", u"ｱｵﾜｦﾝﾖﾛﾓﾉ"},
                      NarrowCase{"Symbols", u"＋ー－＊、＝＆％＃（）", u"+--*,=&%#()"},
                      NarrowCase{"FullWidthBlankInside", u"Ⅱ　Ｖ　Ｉ", u"Ⅱ V I"},
                      NarrowCase{"Mixed", u" ＃１ コンデミ（ｂ９）★ ", u"#1 ｺﾝﾃﾞﾐ(b9)★"},
                      NarrowCase{"HiraganaKanjiStar", u"ふつうの音階★", u"ふつうの音階★"},
                      // Katakana outside the tables stay as they are.
                      NarrowCase{"UnlistedKatakana", u"ヴヵヶヮヰヱ", u"ヴヵヶヮヰヱ"},
                      NarrowCase{"AlreadyNarrow", u"ﾄﾞﾘｱﾝ 1-3-5", u"ﾄﾞﾘｱﾝ 1-3-5"},
                      NarrowCase{"OtherFullWidthSymbols", u"！？～＠", u"！？～＠"},
                      NarrowCase{"OutsideTheBasicPlane", u"\U0001F3B7サックス", u"\U0001F3B7ｻｯｸｽ"},
                      NarrowCase{"BlanksOnly", u"    ", u""}, NarrowCase{"Empty", u"", u""},
                      // Only blanks are trimmed, before the full-width blank becomes one.
                      NarrowCase{"TrimsBlanksOnly", u"\tＡ ", u"\tA"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every katakana NarrowText changes turns back into itself under compatibility normalisation, which maps
// half-width forms (with a following voicing mark) to their full-width ones; so no table entry is misplaced.
TEST(NarrowText, HalfWidthKanaAreTheSameKana) {
    int changed = 0;
    for (char16_t code = u'ァ'; code <= u'ヺ'; ++code) {
        const QString kana(QChar{code});
        const QString narrow = NarrowText(kana);
        if (narrow == kana) continue;
        ++changed;
        EXPECT_EQ(narrow.normalized(QString::NormalizationForm_KC), kana) << int(code);
    }
    // 55 plain and small kana plus 25 voiced ones.
    EXPECT_EQ(changed, 80);
}

TEST(NarrowText, LongVowelMarkAndFullWidthHyphenBecomeAsciiHyphens) {
    EXPECT_EQ(NarrowText(QStringLiteral("ー")), QStringLiteral("-"));
    EXPECT_EQ(NarrowText(QStringLiteral("－")), QStringLiteral("-"));
}

} // namespace
} // namespace orbel
