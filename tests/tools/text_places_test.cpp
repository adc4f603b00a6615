// The fonts are sized by the places the game gives its texts: those places must
// be the ones the game declares, not a copy that can drift from them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "gui/gui_test_support.h"
#include "gui/registry.h"
#include "tools/art/text_places.h"

namespace {

TEST(TextPlaces, EveryDialogTextAndButtonHasThePlaceTheGameDeclares) {
    StartGui();
    std::set<std::tuple<int, std::string, int>> places;
    for (const auto& p : gen::TextPlaces()) places.insert({p.font, p.text, p.maxWidth});
    auto expect = [&](int font, const std::string& text, int width, const char* what) {
        EXPECT_TRUE(places.count({font, text, width})) << what << " \"" << text << "\" with " << width << " pixels";
    };
    ASSERT_GT(windowCount, 0);
    for (int i = 0; i < windowCount; i++) {
        const GuiWindow& w = windows[i];
        // The title starts 24 pixels in; texts keep off the frame and their shadow.
        expect(0, w.title, w.width - 24 - 3, "title");
        for (int t = 0; t < w.textCount; t++) expect(0, w.texts[t].text, w.width - w.texts[t].x - 3 - 1, "text");
        for (int b = 0; b < w.buttonCount; b++) expect(1, w.buttons[b].label, w.buttons[b].width - 5, "button");
    }
    ASSERT_GT(screenButtonCount, 0);
    for (int b = 0; b < screenButtonCount; b++) expect(1, screenButtons[b].label, screenButtons[b].width - 5, "screen button");
}

}  // namespace
