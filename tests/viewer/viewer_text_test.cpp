// The viewer's rules that need no window: the web-address rule it shares with
// the shell, the print file's lines, the stored appearance texts, the row order.
#include "platform/web_address.h"
#include "vault/cipher.h"
#include "viewer/viewer_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <numeric>
#include <random>
#include <tuple>

namespace {

// One rule for the viewer's check and the shell's open: the six prefixes
// exactly, http:// before www., and an address that stays one word of the
// browser's command line. The shell takes a text without a scheme for a file
// name first.
TEST(ViewerText, OnlyTheSixPrefixesActivateAUrl) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"WWW.EXAMPLE.COM", "http://WWW.EXAMPLE.COM"},
        {"http://a", "http://a"},
        {"HTTP://A", "HTTP://A"},
        {"https://a", "https://a"},
        {"HTTPS://A", "HTTPS://A"},
        {"www.", "http://www."},
        {"https://a/b c", "https://a/b%20c"},
        {"https://a/?q=\"x\" y", "https://a/?q=%22x%22%20y"},
        {"https://a/%20", "https://a/%20"},
        {"https://a/\tb", std::nullopt},
        {"https://a\x7F", std::nullopt},
        {"Www.example.com", std::nullopt},
        {"Http://a", std::nullopt},
        {"hTTps://a", std::nullopt},
        {"ftp://a", std::nullopt},
        {" https://a", std::nullopt},
        {"example.com", std::nullopt},
        {"wwwexample.com", std::nullopt},
        {"C:\\www.x.com", std::nullopt},
        {"", std::nullopt},
        {"www", std::nullopt},
        {"https:/a", std::nullopt},
    };
    for (const auto& [url, given] : cases) EXPECT_EQ(platform::absolute_web_address(url), given) << url;
}

TEST(ViewerText, PrintLinesJoinThePiecesWithPlainPasswordsInEitherForm) {
    vault::Record scrambled{"mail", "https://m", "ann", vault::encrypt_text("abc"), vault::encrypt_text("BOX")};
    vault::Record plain{"bank", "", "bob", "S3cret!", vault::encrypt_text("BOX")};
    plain.extra = {"never printed"};
    EXPECT_EQ(viewer::print_text(vault::RecordTable({scrambled, plain})),
              "Identifer Name: mail   URL: https://m   UserName: ann   Password: abc\r\n"
              "Identifer Name: bank   URL:    UserName: bob   Password: S3cret!\r\n");
    EXPECT_EQ(viewer::print_text(vault::RecordTable()), "");
}

TEST(ViewerText, ColourSettingsReadBackOnlyInTheFormWritten) {
    for (viewer::ColourValue colour : {0u, 255u, 65280u, 16711680u, 16777215u})
        EXPECT_EQ(viewer::colour_from_setting(viewer::colour_setting_text(colour)), colour);
    EXPECT_EQ(viewer::colour_setting_text(255u * 65536u), "16711680");
    const std::pair<const char*, std::optional<viewer::ColourValue>> cases[] = {
        {" 255 ", 255u},
        {"0255", 255u},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"-1", std::nullopt},
        {"+5", std::nullopt},
        {"16777216", std::nullopt},
        {"1e3", std::nullopt},
        {"&HFF", std::nullopt},
        {"12.0", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(viewer::colour_from_setting(text), expected) << text;
}

TEST(ViewerText, FontSizeSettingsAreDecimalNumbersWithAPoint) {
    for (const viewer::FontSizeItem& item : viewer::kFontSizes)
        EXPECT_EQ(viewer::font_points_from_setting(item.stored), item.points) << item.stored;
    const std::pair<const char*, std::optional<double>> cases[] = {
        {" 9.5 ", 9.5},      {"12.", 12.0},          {".5", std::nullopt},  {"8,25", std::nullopt},
        {"", std::nullopt},  {".", std::nullopt},    {"-8", std::nullopt},  {"1e1", std::nullopt},
        {"0", std::nullopt}, {"9999", std::nullopt}, {"abc", std::nullopt}, {"1.2.3", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(viewer::font_points_from_setting(text), expected) << text;
}

// Letters rank by alphabet with both cases equal, everything else by its code before them.
viewer::CollationRanks letters_fold_case() {
    return viewer::collation_ranks([](int a, int b) {
        auto weight = [](int c) { return std::isalpha(c) ? 1000 + std::tolower(c) : c; };
        return weight(a) - weight(b);
    });
}

TEST(ViewerText, CollationRanksShareARankForBytesThatCompareEqual) {
    const viewer::CollationRanks ranks = letters_fold_case();
    EXPECT_EQ(ranks['a'], ranks['A']);
    EXPECT_LT(ranks['A'], ranks['b']);
    EXPECT_LT(ranks[200], ranks['a']) << "bytes before the letters in this collation";
    EXPECT_LT(ranks['9'], ranks['a']);
    EXPECT_GT(ranks[1], 0) << "every byte a name can hold has a rank";
}

TEST(ViewerText, SortFollowsTheRanksKeepsFileOrderForEqualNamesAndMovesTheSelection) {
    std::vector<vault::Record> records;
    for (const char* name : {"charlie", "Alpha", "bravo", "ALPHA", "alpha2", "", "alph"}) records.push_back({name});
    records[1].user = "first";
    records[3].user = "second";
    vault::RecordTable rows(records);
    std::optional<std::size_t> selected = 0;
    viewer::apply_order(rows, selected, viewer::sorted_order(rows, letters_fold_case()));
    std::vector<std::string> names;
    for (std::size_t row = 0; row < rows.size(); ++row) names.emplace_back(rows.name(row));
    EXPECT_EQ(names, (std::vector<std::string>{"", "alph", "Alpha", "ALPHA", "alpha2", "bravo", "charlie"}));
    EXPECT_EQ(rows.value(2, vault::Field::User), "first");
    EXPECT_EQ(rows.value(3, vault::Field::User), "second");
    EXPECT_EQ(selected, 6u) << "charlie, the first record of the file";

    std::optional<std::size_t> none;
    viewer::apply_order(rows, none, {6, 5, 4, 3, 2, 1, 0});
    EXPECT_EQ(none, std::nullopt);
    EXPECT_EQ(rows.name(0), "charlie");
}

// Names from a few letters, of every length up to well past sixteen, so that
// many share their first sixteen bytes, differ only beyond them or are equal.
TEST(ViewerText, ALargeListSortsAsAComparisonOfWholeNamesWould) {
    const viewer::CollationRanks ranks = letters_fold_case();
    std::mt19937 random(7);
    std::vector<vault::Record> records;
    for (int i = 0; i < 3000; ++i) {
        std::string name(random() % 40, 'a');
        for (char& c : name) c = "aAbB~"[random() % (name.size() > 20 ? 2 : 5)];
        records.push_back({name});
    }
    const vault::RecordTable rows(records);
    std::vector<std::size_t> expected(records.size());
    std::iota(expected.begin(), expected.end(), std::size_t{0});
    std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
        const std::string& x = records[a].name;
        const std::string& y = records[b].name;
        return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [&](char p, char q) {
            return ranks[static_cast<unsigned char>(p)] < ranks[static_cast<unsigned char>(q)];
        });
    });
    EXPECT_EQ(viewer::sorted_order(rows, ranks), expected);
}

TEST(ViewerText, TypeToFindComparesByRank) {
    const viewer::CollationRanks ranks = letters_fold_case();
    const std::tuple<const char*, const char*, bool, bool> cases[] = {
        {"Bravo", "br", false, true}, {"Bravo", "BRAVO", true, true}, {"Bravo", "brav", true, false},
        {"Bravo", "", false, true},   {"Br", "bra", false, false},    {"Bravo", "ra", false, false},
    };
    for (const auto& [name, typed, whole, matches] : cases)
        EXPECT_EQ(viewer::matches_by_ranks(name, typed, whole, ranks), matches) << name << " / " << typed;
}

} // namespace
