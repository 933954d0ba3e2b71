#include "editors/channel_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "channel_contents.h"
#include "codeplug/text_keys.h"
#include "document_fixture.h"
#include "editors/channel_table.h"

namespace pl3 {
namespace {

using Command = ChannelOrderCommand;

// Channels 78 ... 128 programmed with contents of their own, every fifth one empty; the
// receive frequency falls by 1 MHz every second channel (pairs share one), names start
// with A on odd and B on even channels, every seventh channel has none. Every channel,
// fixed ones included, carries its own uninterpreted bytes and scan bit.
class ChannelOrderTest : public test::DocumentFixture {
  protected:
    enum class Start { LastUsed, LastEmpty, NoneEditable };

    static bool programmed(int n) { return n % 5 != 0; }

    void prepare(Start start) {
        for (int n = kFirstEditableChannel; n <= kChannelCount; ++n) {
            resetChannel(doc.rawFields(), n);
            if (!programmed(n) || start == Start::NoneEditable) continue;
            if (start == Start::LastEmpty && n == kChannelCount) continue;
            const std::string mhz = std::to_string(450 - (n - 78) / 2) + ".5";
            doc.rawFields().setFrequencyText(n, Side::Receive, mhz);
            doc.rawFields().setFrequencyText(n, Side::Transmit, n % 2 ? mhz : "445");
            doc.rawFields().setChannelFlag(n, ChannelFlag::Repeater, n % 3 == 0);
            doc.rawFields().setToneCode(n, Side::Receive, n);
            if (n % 7 != 0) {
                const std::string name = (n % 2 ? "A" : "B") + std::to_string(n + 100);
                doc.rawFields().setChannelName(n, text_codes::encodeDisplayText(name));
            }
        }
        for (int n = 1; n <= kChannelCount; ++n) {
            doc.rawFields().image()[layout::record(n) + 14] = static_cast<std::uint8_t>(n);
            doc.rawFields().image()[layout::record(n) + 15] = static_cast<std::uint8_t>(~n);
            doc.rawFields().image()[layout::nameSlot(n) + 6] = static_cast<std::uint8_t>(n + 1);
            doc.rawFields().image()[layout::nameSlot(n) + 7] = static_cast<std::uint8_t>(n + 2);
            doc.rawFields().setScanMember(n - 1, n % 3 != 1);
        }
        table = std::make_unique<ChannelTable>(doc, texts, prompter);
        doc.startHistory(true);
        doc.setModifiedFlag(false);
        original = doc.image();
    }

    // Sorted orders of the channels 78 ... 128 as prepared with the last channel in use.
    static std::vector<int> byFrequency() {
        std::vector<int> order;
        for (int pair = 25; pair >= 0; --pair) {  // lowest frequency first
            for (int n : {78 + 2 * pair, 79 + 2 * pair})
                if (n <= kChannelCount && programmed(n)) order.push_back(n);
        }
        appendEmpty(order);
        return order;
    }
    static std::vector<int> byName() {
        std::vector<int> order;
        auto add = [&](const std::function<bool(int)>& wanted) {
            for (int n = kFirstEditableChannel; n <= kChannelCount; ++n)
                if (programmed(n) && wanted(n)) order.push_back(n);
        };
        add([](int n) { return n % 7 != 0 && n % 2 == 1; });  // A...
        add([](int n) { return n % 7 != 0 && n % 2 == 0; });  // B...
        add([](int n) { return n % 7 == 0; });                // no name
        appendEmpty(order);
        return order;
    }
    static void appendEmpty(std::vector<int>& order) {
        for (int n = kFirstEditableChannel; n <= kChannelCount; ++n)
            if (!programmed(n)) order.push_back(n);
    }

    std::unique_ptr<ChannelTable> table;
    Image original{};
};

TEST_F(ChannelOrderTest, CommandsMoveWholeChannelsInOneUndoStep) {
    // Which channel's former contents channel n holds afterwards; 0: a new empty channel.
    using Source = std::function<int(int n)>;
    const Source unchanged = [](int n) { return n; };
    auto inserted = [](int s) { return [s](int n) { return n < s ? n : n == s ? 0 : n - 1; }; };
    auto deleted = [](int s) { return [s](int n) { return n < s ? n : n == 128 ? 0 : n + 1; }; };
    auto swapped = [](int a, int b) {
        return [a, b](int n) { return n == a ? b : n == b ? a : n; };
    };
    auto sorted = [](std::vector<int> order) {
        return [order](int n) { return n < 78 ? n : order[static_cast<std::size_t>(n - 78)]; };
    };
    struct Case {
        const char* what;
        Start start;
        Command command;
        int s;
        Source source;
        int current;        // 0: nothing done
        bool refusalShown;  // the insert that would push out channel 128
    };
    const Case cases[] = {
        {"insert 90", Start::LastEmpty, Command::Insert, 90, inserted(90), 90, false},
        {"insert 78", Start::LastEmpty, Command::Insert, 78, inserted(78), 78, false},
        {"insert 128", Start::LastEmpty, Command::Insert, 128, inserted(128), 128, false},
        {"insert, 128 used", Start::LastUsed, Command::Insert, 90, unchanged, 0, true},
        {"add button, 128 used", Start::LastUsed, Command::Add, 90, inserted(90), 90, false},
        {"insert on 77", Start::LastEmpty, Command::Insert, 77, unchanged, 0, false},
        {"delete 90", Start::LastUsed, Command::Delete, 90, deleted(90), 90, false},
        {"delete 78", Start::LastUsed, Command::Delete, 78, deleted(78), 78, false},
        {"delete 128", Start::LastUsed, Command::Delete, 128, deleted(128), 128, false},
        {"delete 77", Start::LastUsed, Command::Delete, 77, unchanged, 0, false},
        {"up 90", Start::LastUsed, Command::MoveUp, 90, swapped(89, 90), 89, false},
        {"up 79", Start::LastUsed, Command::MoveUp, 79, swapped(78, 79), 78, false},
        {"up 78", Start::LastUsed, Command::MoveUp, 78, unchanged, 0, false},
        {"up 60", Start::LastUsed, Command::MoveUp, 60, unchanged, 0, false},
        {"down 90", Start::LastUsed, Command::MoveDown, 90, swapped(90, 91), 91, false},
        {"down 127", Start::LastUsed, Command::MoveDown, 127, swapped(127, 128), 128, false},
        {"down 128", Start::LastUsed, Command::MoveDown, 128, unchanged, 0, false},
        {"down 77", Start::LastUsed, Command::MoveDown, 77, unchanged, 0, false},
        {"down, no focus", Start::LastUsed, Command::MoveDown, 0, unchanged, 0, false},
        {"sort by frequency", Start::LastUsed, Command::SortByFrequency, 93, sorted(byFrequency()),
         -1, false},
        {"sort by name", Start::LastUsed, Command::SortByName, 93, sorted(byName()), -1, false},
        {"sort, all empty", Start::NoneEditable, Command::SortByFrequency, 90, unchanged, 0, false},
    };
    for (const Case& c : cases) {
        prepare(c.start);
        const std::size_t promptsBefore = prompter.prompts().size();
        const std::optional<int> current = table->reorder(c.command, c.s);

        int wantCurrent = c.current;
        if (wantCurrent < 0) {  // a sort: the current channel's contents are followed
            for (int n = 78; n <= 128; ++n)
                if (c.source(n) == c.s) wantCurrent = n;
        }
        EXPECT_EQ(current.value_or(0), wantCurrent) << c.what;
        const Image& now = doc.image();
        for (int n = 1; n <= kChannelCount; ++n) {
            const int from = c.source(n);
            const auto record =
                from ? test::channelRecord(original, from) : test::resetRecord(original, n);
            const auto slot =
                from ? test::channelNameSlot(original, from) : test::resetNameSlot(original, n);
            ASSERT_EQ(test::channelRecord(now, n), record) << c.what << " channel " << n;
            ASSERT_EQ(test::channelNameSlot(now, n), slot) << c.what << " channel " << n;
            ASSERT_EQ(test::channelScanBit(now, n), from && test::channelScanBit(original, from))
                << c.what << " channel " << n;
            ASSERT_EQ(table->cell(n, ChannelTable::kRxFreqColumn).text,
                      doc.fields().frequencyText(n, Side::Receive))
                << c.what << " channel " << n;
        }
        const auto shown = std::vector<test::RecordedPrompt>(
            prompter.prompts().begin() + static_cast<std::ptrdiff_t>(promptsBefore),
            prompter.prompts().end());
        ASSERT_EQ(shown.size(), c.refusalShown ? 1U : 0U) << c.what;
        if (c.refusalShown) {
            EXPECT_EQ(shown[0].textKey, text_key::kLastChannelInUse) << c.what;
        }

        // Exactly one step back to where the command started, and none for no change.
        EXPECT_EQ(doc.isModified(), now != original) << c.what;
        EXPECT_EQ(doc.canUndo(), now != original) << c.what;
        if (!doc.canUndo()) continue;
        doc.undo();
        EXPECT_EQ(doc.image(), original) << c.what;
        EXPECT_FALSE(doc.canUndo()) << c.what;
        EXPECT_FALSE(doc.isModified()) << c.what;
    }
}

}  // namespace
}  // namespace pl3
