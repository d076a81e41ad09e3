// Matching every fragment at once against titles upper-cased once must give exactly what
// upper-casing both sides and searching pair by pair gives.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "FakeMessageBoxes.h"
#include "RealTextCase.h"
#include "monitor/ScanCycle.h"
#include "common/Utf8.h"

namespace tamberlyn {
namespace {

// Plain letters in both cases, so that matches happen, then pieces whose upper case is
// longer (ß, ﬁ, ŉ, ΐ), special (ı, İ, ς, ǅ), combining, or outside the basic plane.
constexpr std::size_t kAsciiPieces = 24;
const std::vector<std::string> kPieces = {
    "a", "b", "n", "o", "t", "e", "p", "z", "A", "B", "N", "O", "T", "E", "P", "Z", " ", "-", "|", "1", "Quiz",
    "SS", "ss", "notepad",
    "ß", "ẞ", "ﬁ", "FI", "ŉ", "ΐ", "ı", "İ", "i", "I", "σ", "ς", "Σ", "ǅ", "é", "É", "e\u0301",
    "Straße", "STRASSE", "NOTEPAD", "Ω", "漢字", "😀", "Ǆ"};

class MatchingTest : public ::testing::Test {
protected:
    // Plain ASCII half of the time: it takes a shorter way to upper case.
    std::string randomText(int minPieces, int maxPieces) {
        const std::size_t pieces = std::uniform_int_distribution<int>(0, 1)(random) == 0 ? kAsciiPieces : kPieces.size();
        std::string text;
        const int count = std::uniform_int_distribution<int>(minPieces, maxPieces)(random);
        for (int i = 0; i < count; ++i) text += kPieces[std::uniform_int_distribution<std::size_t>(0, pieces - 1)(random)];
        return text;
    }

    // A piece of a title now and then, so that both answers come up often.
    std::string randomFragment(const std::vector<std::string>& titles) {
        const int kind = std::uniform_int_distribution<int>(0, 9)(random);
        if (kind == 0) return "";
        if (kind <= 3 && !titles.empty()) {
            const std::string& title = titles[std::uniform_int_distribution<std::size_t>(0, titles.size() - 1)(random)];
            const std::size_t length = Utf8Length(title);
            const std::size_t from = std::uniform_int_distribution<std::size_t>(0, length)(random);
            const std::string rest = title.substr(Utf8Prefix(title, from).size());
            return Utf8Prefix(rest, std::uniform_int_distribution<std::size_t>(1, 6)(random));
        }
        return kind == 9 ? randomText(60, 80) : randomText(2, 4);  // some longer than any title
    }

    // Pair by pair, as the watch list reads: upper-case both, search, an empty title holds nothing.
    bool pairwise(const std::string& title, const WatchList& list) {
        const std::string upperTitle = textCase.toUpper(title);
        for (const std::string& fragment : list.rows()) {
            if (!upperTitle.empty() && upperTitle.find(textCase.toUpper(fragment)) != std::string::npos) return true;
        }
        return false;
    }

    std::mt19937 random{20261208};
    testing::RealTextCase textCase;
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
};

TEST_F(MatchingTest, AllFragmentsAtOnceFindWhatPairwiseSearchFinds) {
    WatchList list;
    MatchCache cache;  // one for the whole run, as the program keeps it across list changes
    int found = 0, missed = 0;
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> titles;
        for (int i = 0; i < 60; ++i) titles.push_back(Utf8Prefix(randomText(0, 25), kTitleCharacters));
        // The list changes between rounds: grows, shrinks, or starts again.
        if (round % 7 == 6) list.clear();
        const int additions = std::uniform_int_distribution<int>(0, round < 30 ? 3 : 40)(random);
        for (int i = 0; i < additions; ++i) list.add(randomFragment(titles));
        while (list.count() > 0 && std::uniform_int_distribution<int>(0, 3)(random) == 0) list.remove(1);

        for (int pass = 0; pass < 2; ++pass) {  // the second pass answers from memory
            for (const std::string& title : titles) {
                const bool expected = pairwise(title, list);
                ASSERT_EQ(WindowToClose(title, list, cache, textCase, reports), expected)
                    << "title '" << title << "', " << list.count() << " fragments, round " << round;
                (expected ? found : missed) += 1;
            }
            cache.endPass();
        }
    }
    EXPECT_GT(found, 1000);
    EXPECT_GT(missed, 1000);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(MatchingTest, EdgesOfTheRule) {
    WatchList list;
    MatchCache cache;
    const auto matches = [&](const std::string& title) { return WindowToClose(title, list, cache, textCase, reports); };
    list.add("note");
    list.add("");  // were one there, every titled window would match, and no untitled one
    EXPECT_TRUE(matches("x"));
    EXPECT_FALSE(matches(""));
    list.remove(2);
    EXPECT_FALSE(matches("x"));
    list.add("a much longer fragment than the title");
    EXPECT_FALSE(matches("a much"));
    EXPECT_TRUE(matches("a much longer title with notes"));
    list.remove(1);  // the same title, once remembered, follows the list
    EXPECT_FALSE(matches("a much longer title with notes"));
}

}  // namespace
}  // namespace tamberlyn
