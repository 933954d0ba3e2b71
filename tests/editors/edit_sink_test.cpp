// The rules tell their target's sink once for each user edit, however many bytes the
// edit touches, and not at all for one they refuse or one that changes nothing.

#include <gtest/gtest.h>

#include <functional>

#include "codeplug/edit_target.h"
#include "document_fixture.h"
#include "editors/channel_order.h"
#include "editors/channel_rules.h"
#include "editors/page_rules.h"
#include "editors/radio_page_rules.h"
#include "editors/tone_picker_rules.h"

namespace pl3 {
namespace {

class CountingSink final : public EditSink {
  public:
    void recordEdit() override { ++edits; }
    int edits = 0;
};

constexpr int kRxToneColumn = 3;

TonePickerRules picker(EditTarget target, const TextLookup& texts) {
    return TonePickerRules(target, texts, 90, kRxToneColumn, {});
}

class EditSinkTest : public test::DocumentFixture {};

TEST_F(EditSinkTest, OneCallForEachUserEdit) {
    ChannelRules(doc.editTarget()).setFrequency(90, Side::Receive, 44600000);
    ChannelRules(doc.editTarget()).setFrequency(91, Side::Receive, 44000000);
    using Edit = std::function<void(EditTarget, const TextLookup&)>;
    const struct Case {
        const char* what;
        Edit edit;
        int edits;
    } cases[] = {
        {"a new channel: both frequencies, its tones and shift",
         [](EditTarget t, auto&) { ChannelRules(t).setFrequency(100, Side::Receive, 44000000); },
         1},
        {"the frequency the channel has",
         [](EditTarget t, auto&) { ChannelRules(t).setFrequency(90, Side::Receive, 44600000); }, 0},
        {"a fixed channel's frequency, refused",
         [](EditTarget t, auto&) { ChannelRules(t).setFrequency(5, Side::Receive, 44000000); }, 0},
        {"a channel cleared", [](EditTarget t, auto&) { ChannelRules(t).clearChannel(90); }, 1},
        {"a sort that moves channels",
         [](EditTarget t, auto&) { reorderChannels(t, ChannelOrderCommand::SortByFrequency, 90); },
         1},
        {"the item a setting's list shows",
         [](EditTarget t, auto&) {
             page_rules::storeSetting(t, Setting::BackLamp, t.fields.setting(Setting::BackLamp));
         },
         0},
        {"a preset cell left as it was (Escape stores it again)",
         [](EditTarget t, auto& texts) {
             RadioPageRules(t, texts).commitPreset(1, t.fields.preset(1));
         },
         1},
        {"a picker session of four choices",
         [](EditTarget t, auto& texts) {
             TonePickerRules session = picker(t, texts);
             session.chooseCtcss();
             session.chooseDcs();
             session.setInverted(true);
             session.pick(3, 1);
             session.commit();
         },
         1},
        {"a picker session that ends on the field it opened with",
         [](EditTarget t, auto& texts) {
             TonePickerRules session = picker(t, texts);
             session.chooseCtcss();
             session.chooseOff();
             session.commit();
         },
         1},
        {"a cancelled picker session",
         [](EditTarget t, auto& texts) {
             TonePickerRules session = picker(t, texts);
             session.chooseDcs();
             session.cancel();
         },
         0},
    };
    for (const Case& c : cases) {
        ImageFields fields = doc.fields();
        CountingSink sink;
        c.edit({fields, doc.limits(), sink}, texts);
        EXPECT_EQ(sink.edits, c.edits) << c.what;
    }
}

}  // namespace
}  // namespace pl3
