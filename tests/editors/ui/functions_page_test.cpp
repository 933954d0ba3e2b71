#include "editors/ui/functions_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "document_fixture.h"
#include "page_captions.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

using Rules = FunctionsPageRules;

class FunctionsPageTest : public test::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        doc.setModifiedFlag(false);
        page = std::make_unique<FunctionsPage>(doc, texts);
    }
    std::uint8_t at(std::size_t offset) const { return doc.image()[offset]; }

    std::unique_ptr<FunctionsPage> page;
};

TEST_F(FunctionsPageTest, EveryControlCarriesItsIdentifier) {
    for (const Rules::Control& c : Rules::controls()) {
        bool found = page->list(c.id) != nullptr || page->box(c.id) != nullptr ||
                     page->codeBox(c.id) != nullptr;
        EXPECT_TRUE(found) << c.id;
    }
    QLabel* squelch = test::control<QLabel>(page.get(), FunctionsPage::kSquelchLevelLabel);
    ASSERT_NE(squelch, nullptr);
    // The language file's caption replaces the built-in one.
    ASSERT_TRUE(texts.resourceCaption(FunctionsPage::kSquelchLevelLabel));
    EXPECT_EQ(squelch->text(),
              QString::fromStdString(*texts.resourceCaption(FunctionsPage::kSquelchLevelLabel)));
    EXPECT_EQ(page->property("templateNumber").toInt(), Rules::kDialogId);
}

// The printout lists each control under the caption the page shows, with the shown value.
TEST_F(FunctionsPageTest, PrintRowsUseTheShownCaptionsAndValues) {
    page_rules::PrintRows rows = page->printRows();
    ASSERT_EQ(rows.size(), 7U);
    EXPECT_EQ(rows[0][0], "Squelch level : " +
                              page->list(Rules::kSquelchLevelList)->currentText().toStdString());
    QCheckBox* keyTone = page->box(Rules::kKeyBeepBox);
    EXPECT_EQ(rows[3][0],
              keyTone->text().toStdString() + " : " + (keyTone->isChecked() ? "Yes" : "No"));
    EXPECT_EQ(rows[5][1],
              "TX begin code : " + page->codeBox(Rules::kBotCodeBox)->text().toStdString());
    for (const auto& row : rows) {
        for (const std::string& entry : row)
            EXPECT_NE(entry.rfind(" : ", 0), 0U) << entry;
    }
}

// The printout takes its captions from the rules, which must say what the page shows: the
// language file's captions, or the built-in ones where it has none.
TEST_F(FunctionsPageTest, PrintedCaptionsAreTheShownOnes) {
    const TextLookup bare(folder.write("bare.lang", "[Resource]\n"));
    const FunctionsPage builtIn(doc, bare);
    for (const auto& [shown, texts] :
         {std::pair<const QWidget*, const TextLookup*>{page.get(), &texts}, {&builtIn, &bare}}) {
        const Rules rules(doc.editTarget(), *texts);
        EXPECT_EQ(rules.printRows(),
                  rules.printRows([&](int id) { return test::shownCaption(shown, id); }));
    }
}

TEST_F(FunctionsPageTest, ChangingAListStoresTheIndex) {
    QComboBox* voxDelay = page->list(Rules::kVoxDelayList);
    ASSERT_EQ(voxDelay->count(), 28);
    voxDelay->setCurrentIndex(27);
    emit voxDelay->activated(27);
    EXPECT_EQ(at(0x08A6), 30);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(FunctionsPageTest, TickingABoxSetsOnlyItsBit) {
    doc.rawFields().image()[0x08A0] = 0x0E;
    page->refresh();
    QCheckBox* keyBeep = page->box(Rules::kKeyBeepBox);
    ASSERT_FALSE(keyBeep->isChecked());
    keyBeep->click();
    EXPECT_EQ(at(0x08A0), 0x2E);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(FunctionsPageTest, CommittingACodeOnFocusLossStoresIt) {
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    QLineEdit* bot = page->codeBox(Rules::kBotCodeBox);
    bot->setFocus();
    bot->clear();
    QTest::keyClicks(bot, "12ab*#x");  // x is not a DTMF key
    EXPECT_EQ(bot->text(), "12ab*#");
    page->list(Rules::kPttIdList)->setFocus();
    EXPECT_EQ(at(0x08B0), 6);
    EXPECT_EQ(at(0x08B1), 0x12);
    EXPECT_EQ(at(0x08B2), 0xAB);
    EXPECT_EQ(at(0x08B3), 0xEF);
    EXPECT_TRUE(doc.isModified());
    page->refresh();
    EXPECT_EQ(bot->text(), "12AB*#");
}

}  // namespace
}  // namespace pl3
