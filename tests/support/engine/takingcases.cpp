#include "takingcases.h"

namespace lanshan::testcases {

namespace {

// Where 李四 finds his row, the run knows where the list's columns stand; 顾子 of class 3 never
// finds one.
const TakingCase cases[] = {
    {"another 学号: class 1's 顾子", u"2024010101\t李四\r\n2024010302\t顾子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010150\t顾子\t高一(1)班\t99", u"2024010101\t李四\t高一(1)班\t80\r\n",
     "other-value", u"名单第 1 列“2024010302”，这一行是“2024010150”"},
    {"another class: class 12's 顾子", u"高一(1)班\t李四\r\n高一(3)班\t顾子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024011250\t顾子\t高一(12)班\t99", u"2024010101\t李四\t高一(1)班\t80\r\n",
     "other-value", u"名单第 1 列“高一(3)班”，这一行是“高一(12)班”"},
    // One character apart is near, not another value: still never taken without the user.
    {"class 1's 顾子, one character apart", u"高一(1)班\t李四\r\n高一(3)班\t顾子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010150\t顾子\t高一(1)班\t99", u"2024010101\t李四\t高一(1)班\t80\r\n",
     "one-char", u"名单第 1 列“高一(3)班”，这一行是“高一(1)班”（相差一个字）"},
    {"学号 in full-width digits", u"2024010101\t李四\r\n２０２４０１０３０２\t顾子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99", "width",
     u"名单第 1 列“２０２４０１０３０２”，这一行是“2024010302”（全角/半角不同）"},
    {"class in full-width brackets", u"高一(1)班\t李四\r\n高一（3）班\t顾子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99", "width",
     u"名单第 1 列“高一（3）班”，这一行是“高一(3)班”（全角/半角不同）"},
    {"a space in the name", u"2024010101\t李四\r\n2024010302\t顾 子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99", "spaces",
     u"名单第 2 列“顾〈空格〉子”，这一行是“顾子”（空格不同）"},
    {"the name in traditional form", u"2024010101\t李四\r\n2024010302\t顧子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99", "variant",
     u"名单第 2 列“顧子”，这一行是“顾子”（繁简不同）"},
    {"a typo in the name", u"2024010101\t李四\r\n2024010302\t顾孑",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99", u"2024010101\t李四\t高一(1)班\t80\r\n",
     "one-char", u"名单第 2 列“顾孑”，这一行是“顾子”（相差一个字）"},
    {"a typo in the 学号", u"2024010101\t李四\r\n2024010303\t顾子",
     u"2024010101\t李四\t高一(1)班\t80\r\n2024010302\t顾子\t高一(3)班\t99", u"2024010101\t李四\t高一(1)班\t80\r\n",
     "one-char", u"名单第 1 列“2024010303”，这一行是“2024010302”（相差一个字）"},
    {"no 学号 in the sheet, every name once", u"2024010101\t李四\r\n2024010302\t顾子",
     u"李四\t高一(1)班\t80\r\n顾子\t高一(3)班\t99", u"李四\t高一(1)班\t80\r\n顾子\t高一(3)班\t99", "part-of-key",
     u"名单第 1 列“2024010302”不在这一行"},
    {"no 学号 in the sheet, a name twice", u"2024010101\t李四\r\n2024010302\t顾子",
     u"李四\t高一(1)班\t80\r\n顾子\t高一(1)班\t99\r\n顾子\t高一(3)班\t70", u"李四\t高一(1)班\t80\r\n", "part-of-key",
     u"名单第 1 列“2024010302”不在这一行"},
    {"no 学号 in the sheet, two students of one name", u"2024010150\t顾子\r\n2024010302\t顾子",
     u"顾子\t高一(3)班\t99\r\n李四\t高一(1)班\t80", u"\r\n", "part-of-key", u"名单第 1 列“2024010302”不在这一行"},
};

} // namespace

std::span<const TakingCase> takingCases()
{
    return cases;
}

} // namespace lanshan::testcases
