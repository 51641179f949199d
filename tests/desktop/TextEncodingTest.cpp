// The "Text encoding" submenu of the grid's right-click menu, and the listing's texts shown anew
// in the encoding chosen.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <vector>

#include "engine/EventWalk.h"
#include "tests/support/Listing.h"
#include "ui/ListingModel.h"
#include "ui/TextEncodingMenu.h"

namespace tracklens::ui {
namespace {

using testing::Hex;
using testing::Track;

TEST(TextEncodingMenu, OffersFourChoicesWithTheCurrentOneChecked)
{
    QMenu menu;
    std::vector<TextEncoding> chosen;
    QMenu* submenu = AddTextEncodingMenu(menu, TextEncoding::Windows1252,
                                         [&chosen](TextEncoding e) { chosen.push_back(e); });
    EXPECT_EQ(submenu->title(), "Text encoding");
    const QList<QAction*> actions = submenu->actions();
    ASSERT_EQ(actions.size(), 4);
    const char* const texts[] = {"Windows-1252", "UTF-8", "Shift-JIS", "Automatic"};
    for (qsizetype i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->text(), texts[i]);
        EXPECT_EQ(actions[i]->isChecked(), i == 0);
    }
    actions[2]->trigger();
    actions[3]->trigger();
    EXPECT_EQ(chosen, (std::vector<TextEncoding>{TextEncoding::ShiftJis, TextEncoding::Automatic}));
    EXPECT_TRUE(actions[3]->isChecked());
    EXPECT_FALSE(actions[0]->isChecked());
}

TEST(TextEncodingMenu, ChangesTheShownTextsAtOnceAndForLaterListings)
{
    // A track name in Shift-JIS: "sakura sakura".
    const testing::Bytes file = Track("00 FF030C 82B382AD82E782B382AD82E7 00 FF2F00");
    const auto listed = [&file] {
        EventTable table(file);
        WalkFile(table.content(), table);
        return table;
    };
    ListingModel model;
    model.setRows(11);
    model.setFixedRows(1);
    model.adoptTable(listed());
    const int trackName = 7;
    const auto value = static_cast<int>(Column::Value);
    const QString latin = model.shownText(trackName, value);
    EXPECT_EQ(model.textEncoding(), TextEncoding::Windows1252);
    EXPECT_EQ(latin.toStdString().substr(0, 3), "\xE2\x80\x9A"); // 82 as Windows-1252

    int changes = 0;
    QObject::connect(&model, &ListingModel::rowsChanged, [&changes] { ++changes; });
    model.setTextEncoding(TextEncoding::ShiftJis);
    EXPECT_EQ(changes, 1);
    const QString kana = QString::fromUtf8("\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89");
    EXPECT_EQ(model.shownText(trackName, value), kana + kana);
    model.setTextEncoding(TextEncoding::Automatic);
    EXPECT_EQ(model.shownText(trackName, value), kana + kana);

    // The choice holds for the next listing.
    model.adoptTable(listed());
    EXPECT_EQ(model.shownText(trackName, value), kana + kana);
    model.setTextEncoding(TextEncoding::Windows1252);
    EXPECT_EQ(model.shownText(trackName, value), latin);
}

} // namespace
} // namespace tracklens::ui
