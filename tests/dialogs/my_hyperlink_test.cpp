#include <gtest/gtest.h>

#include "dialogs/my_hyperlink.h"
#include "helpers/recording_dialog_host.h"

namespace {

constexpr RgbColour kLink{0, 0, 255};
constexpr RgbColour kHover{255, 0, 0};
constexpr RgbColour kVisited{5, 34, 143};
constexpr int kLabel = 1068;

// A link from the start; hover colour while over it, the plain colour again after leaving; visited
// wins over both. The address is read at the click, so it may be set late.
TEST(MyHyperLinkTest, ColourFollowsHoverAndVisitedStateAndAClickOpensTheAddress) {
    RecordingDialogHost host;
    CMyHyperLink link;
    link.AttachToLabel(kLabel, host);
    EXPECT_EQ(host.At(kLabel).fontStyle, FontStyle::Underlined);
    EXPECT_TRUE(host.At(kLabel).link);

    const struct {
        const char* step;
        void (*act)(CMyHyperLink&);
        RgbColour shown;
    } steps[] = {
        {"plain", [](CMyHyperLink&) {}, kLink},
        {"over", [](CMyHyperLink& l) { l.OnMouseHover(true); }, kHover},
        {"left", [](CMyHyperLink& l) { l.OnMouseHover(false); }, kLink},
        {"clicked while over",
         [](CMyHyperLink& l) {
             l.OnMouseHover(true);
             l.OnClicked();
         },
         kVisited},
        {"visited after leaving", [](CMyHyperLink& l) { l.OnMouseHover(false); }, kVisited},
    };
    for (const auto& step : steps) {
        step.act(link);
        EXPECT_EQ(host.At(kLabel).colour, step.shown) << step.step;
    }

    // As the shell does, an address that starts with "www." is a web page.
    const struct {
        const char* url;
        const char* opened;
    } addresses[] = {
        {"http://127.0.0.1:8080/service/faq.html", "http://127.0.0.1:8080/service/faq.html"},
        {"www.lumikarta.de/service/faq.html", "http://www.lumikarta.de/service/faq.html"},
        {"WWW.lumikarta.de", "http://WWW.lumikarta.de"},
        {"wwwlumikarta.de", "wwwlumikarta.de"},
    };
    for (const auto& address : addresses) {
        link.SetURL(address.url);
        link.OnClicked();
        EXPECT_EQ(host.Seen().openedUrls.back(), address.opened);
    }
}

}  // namespace
