#include "discovery/DeviceSelector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/DeviceSelectorView.h"

namespace kx520 {
namespace {

// Options as plain values, and a log of what the selector did to the window.
class FakeOptions : public DeviceSelectorView {
public:
    struct Option {
        bool shown = false;
        bool current = false;
        bool synchronised = false;
        bool hasPage = true;
        int deviceClass = 0;
    };
    std::vector<Option> options;
    std::vector<std::string> log;
    bool noDevice = false;
    bool multi = false;

    int OptionCount() const override { return static_cast<int>(options.size()); }
    bool IsShown(int i) const override { return options.at(i).shown; }
    bool IsCurrent(int i) const override { return options.at(i).current; }
    bool IsSynchronised(int i) const override { return options.at(i).synchronised; }
    int DeviceClassOf(int i) const override { return options.at(i).deviceClass; }
    int VariantOf(int i) const override { return i * 10; }
    void SetShown(int i, bool shown) override { options.at(i).shown = shown; }
    void SetCurrent(int i, bool current) override { options.at(i).current = current; }
    void ClearSynchronised(int i) override { options.at(i).synchronised = false; }
    bool ShowPage(int i) override {
        if (!options.at(i).hasPage) {
            return false;
        }
        log.push_back("page " + std::to_string(i));
        return true;
    }
    void ShowPowerDisplay(int i) override { log.push_back("power " + std::to_string(i)); }
    void ShowNoDevice(bool none) override { noDevice = none; }
    void SetMultiDevice(bool m) override { multi = m; }
    void CloseChildWindows() override { log.push_back("close children"); }

    int Current() const {
        for (size_t i = 0; i < options.size(); ++i) {
            if (options[i].current) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
};

class Selector : public ::testing::Test {
protected:
    void Options(std::initializer_list<int> classes) {
        for (int deviceClass : classes) {
            view.options.push_back({false, false, false, true, deviceClass});
        }
    }
    FakeOptions view;
    DeviceSelector selector{view};
};

TEST_F(Selector, MakingAnOptionCurrentDeselectsTheOthersAndShowsItsPageAndPower) {
    Options({1, 2, 6});
    selector.Show(0, true, true);
    selector.Show(2, true, true);
    EXPECT_EQ(view.Current(), 2);
    EXPECT_EQ(selector.CurrentIndex(), 2);
    EXPECT_EQ(view.log.back(), "page 2");
    EXPECT_EQ(selector.StoredOption().index, 2);
    EXPECT_EQ(selector.StoredOption().deviceClass, 6);
    EXPECT_EQ(selector.StoredOption().variant, 20);
    EXPECT_TRUE(view.multi);
    EXPECT_FALSE(view.noDevice);
    // Shown without being made current, an option is not selected.
    selector.Show(1, true, false);
    EXPECT_EQ(view.Current(), 2);
    EXPECT_EQ(selector.ShownCount(), 3);
}

TEST_F(Selector, AnOptionWithoutAPageCannotBecomeCurrent) {
    Options({1, 2});
    selector.Show(0, true, true);
    view.options[1].hasPage = false;
    selector.Show(1, true, true);
    EXPECT_TRUE(view.options[1].shown);
    EXPECT_EQ(view.Current(), 0);
}

TEST_F(Selector, HidingTheCurrentOptionHandsOverToTheFirstOtherShownOne) {
    Options({1, 2, 6, 7});
    selector.Show(1, true, true);
    selector.Show(2, true, false);
    selector.Show(3, true, false);
    view.log.clear();
    selector.Hide(1);
    EXPECT_FALSE(view.options[1].shown);
    EXPECT_EQ(view.Current(), 2);
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.front(), "close children");
    // Hiding one that is not current moves nothing and closes nothing.
    view.log.clear();
    selector.Hide(3);
    EXPECT_EQ(view.Current(), 2);
    EXPECT_TRUE(view.log.empty());
    EXPECT_FALSE(view.multi);
    selector.Hide(2);
    EXPECT_EQ(selector.CurrentIndex(), -1);
    EXPECT_TRUE(view.noDevice);
    int first = 7;
    int count = 7;
    selector.CountShown(first, count);
    EXPECT_EQ(first, -1);
    EXPECT_EQ(count, 0);
}

TEST_F(Selector, AnOptionThatHidItselfWhileCurrentStillHandsOver) {
    Options({1, 2});
    selector.Show(0, true, true);
    selector.Show(1, true, false);
    view.options[0].shown = false;  // the option's own link check hid it
    selector.Hide(0);
    EXPECT_EQ(view.Current(), 1);
    EXPECT_EQ(selector.CurrentIndex(), 1);
}

TEST_F(Selector, IndicesOutsideTheListChangeNoOption) {
    Options({1});
    selector.Show(0, true, true);
    for (int index : {-1, 1, 1 << 20}) {
        selector.Hide(index);
        selector.Reveal(index);
        selector.Show(index, false, false);
    }
    EXPECT_TRUE(view.options[0].shown);
    EXPECT_EQ(view.Current(), 0);
}

TEST_F(Selector, PreviousAndNextWalkTheShownOptionsAndStopAtTheEnds) {
    Options({1, 2, 6, 7});
    selector.Show(0, true, true);
    selector.Show(1, true, false);
    selector.Show(3, true, false);  // 2 stays hidden
    selector.SelectNext();
    EXPECT_EQ(view.Current(), 1);
    selector.SelectNext();
    EXPECT_EQ(view.Current(), 3);
    selector.SelectNext();
    EXPECT_EQ(view.Current(), 3);
    selector.SelectPrevious();
    EXPECT_EQ(view.Current(), 1);
    selector.SelectPrevious();
    EXPECT_EQ(view.Current(), 0);
    selector.SelectPrevious();
    EXPECT_EQ(view.Current(), 0);
}

TEST_F(Selector, ARevealedOptionIsCurrentOnlyWhenNoOtherIsShown) {
    Options({1, 2});
    selector.Reveal(1);
    EXPECT_EQ(view.Current(), 1);
    selector.Reveal(0);
    EXPECT_TRUE(view.options[0].shown);
    EXPECT_EQ(view.Current(), 1);
    // Revealing a shown option leaves the selection alone.
    selector.Show(0, true, true);
    selector.Reveal(1);
    EXPECT_EQ(view.Current(), 0);
}

TEST_F(Selector, SynchronisedLightingEndsWhenFewerThanTwoMembersAreShown) {
    Options({1, 2, 6});
    for (int i = 0; i < 3; ++i) {
        selector.Show(i, true, i == 0);
    }
    for (auto& option : view.options) {
        option.synchronised = true;
    }
    selector.Hide(2);
    EXPECT_TRUE(view.options[0].synchronised);
    EXPECT_TRUE(view.options[1].synchronised);
    selector.Hide(1);
    for (const auto& option : view.options) {
        EXPECT_FALSE(option.synchronised);
    }
}

}  // namespace
}  // namespace kx520
