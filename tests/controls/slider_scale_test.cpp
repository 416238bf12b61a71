#include "ui/widgets/logic/slider_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message_sink.h"

namespace vantor {
namespace {

// Collects the message boxes shown during one test.
class SliderScaleTest : public ::testing::Test {
  protected:
    void SetUp() override { SetMessageSink(&sink_); }
    void TearDown() override { SetMessageSink(nullptr); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& [text, caption] : sink_.messages) texts.push_back(caption + ": " + text);
        return texts;
    }

    RecordingMessageSink sink_;
};

TEST_F(SliderScaleTest, ScaleSelectsNearestPositionAndLaterIndexOnTie) {
    SliderState state;
    state.SetRange(0, 3);
    const std::vector<int> scale{10, 20, 40, 80};
    state.SetScalePos(scale);
    EXPECT_TRUE(sink_.messages.empty());
    struct Case {
        int x, expected;
    };
    for (const Case c : {Case{-50, 0}, Case{10, 0}, Case{14, 0}, Case{15, 1}, Case{30, 2},
                         Case{59, 2}, Case{60, 3}, Case{500, 3}}) {
        EXPECT_EQ(state.PosFromX(c.x, 100), c.expected) << "x=" << c.x;
    }
    EXPECT_EQ(state.XOfPos(2, 100), 40);
}

TEST_F(SliderScaleTest, ProportionalRoundsToNearerStepAndClamps) {
    SliderState state;
    state.SetRange(1, 10);  // 9 steps over 261 pixels: 29 pixels a step
    struct Case {
        int x, expected;
    };
    for (const Case c : {Case{-5, 1}, Case{0, 1}, Case{14, 1}, Case{15, 2}, Case{29, 2},
                         Case{246, 9}, Case{247, 10}, Case{261, 10}, Case{9000, 10}}) {
        EXPECT_EQ(state.PosFromX(c.x, 261), c.expected) << "x=" << c.x;
    }
    for (int position = 1; position <= 10; ++position) {
        EXPECT_EQ(state.PosFromX(state.XOfPos(position, 261), 261), position);
    }
}

TEST_F(SliderScaleTest, DegenerateRangesAndTracksStayInRange) {
    SliderState state;
    state.SetRange(0, 1000);  // more steps than pixels
    EXPECT_EQ(state.XOfPos(500, 100), 50);
    EXPECT_EQ(state.PosFromX(50, 100), 500);
    EXPECT_EQ(state.PosFromX(50, 0), 0);

    state.SetRange(5, 5);
    EXPECT_EQ(state.XOfPos(5, 100), 0);
    EXPECT_EQ(state.PosFromX(70, 100), 5);

    state.SetRange(9, 2);  // taken in order
    EXPECT_EQ(state.Minimum(), 2);
    EXPECT_EQ(state.Maximum(), 9);
    EXPECT_EQ(state.Pos(), 5);
}

TEST_F(SliderScaleTest, MismatchedScaleWarnsAndIsStillUsed) {
    SliderState state;
    state.SetRange(0, 9);
    const std::vector<int> eight{0, 10, 20, 30, 40, 50, 60, 70};
    state.SetScalePos(eight);
    EXPECT_EQ(Texts(), std::vector<std::string>{
                           "Warning: CPngSlider::SetScalePos  dwScale and Range unmatch!"});
    EXPECT_EQ(state.PosFromX(1000, 90), 7);  // only the 8 positions are offered
    EXPECT_EQ(state.XOfPos(3, 90), 30);
    EXPECT_EQ(state.XOfPos(9, 90), 90);  // beyond the scale: proportional
}

TEST_F(SliderScaleTest, ValueTableGivesValuesAndPositionsByValue) {
    SliderState state;
    state.SetRange(0, 4);
    const std::vector<int> dpi{400, 800, 1600};
    state.SetValueTable(dpi);
    state.SetPos(2);
    EXPECT_EQ(state.Value(), 1600);
    EXPECT_EQ(state.ValueAt(3), 0);  // outside the table

    EXPECT_TRUE(state.SetPosByValue(800));
    EXPECT_EQ(state.Pos(), 1);
    EXPECT_FALSE(state.SetPosByValue(1200));
    EXPECT_EQ(state.Pos(), 1);

    std::vector<int> huge(700, 1);
    huge[650] = 77;
    state.SetRange(0, 699);
    state.SetValueTable(huge);
    EXPECT_FALSE(state.SetPosByValue(77));  // entries past 650 are not kept
}

TEST_F(SliderScaleTest, EvenScaleKeepsThumbInsideTrack) {
    EXPECT_EQ(EvenScalePositions(650, 20, 5), (std::vector<int>{10, 167, 325, 482, 640}));
    // Half a thumb of 15 pixels is 7.5; every position is floored.
    EXPECT_EQ(EvenScalePositions(261, 15, 10),
              (std::vector<int>{7, 34, 62, 89, 116, 144, 171, 198, 226, 253}));
    EXPECT_EQ(EvenScalePositions(261, 15, 1), std::vector<int>{7});
    EXPECT_TRUE(EvenScalePositions(261, 15, 0).empty());
    EXPECT_EQ(EvenScalePositions(2000, 10, 1000).size(), kMaxSliderEntries);
    EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(SliderScaleTest, EvenScaleWarnsWhenStepIsNotPositive) {
    const auto crowded = EvenScalePositions(30, 20, 12);  // 10 pixels for 11 gaps
    EXPECT_EQ(crowded.size(), 12u);
    EXPECT_EQ(crowded.front(), 10);
    EXPECT_EQ(crowded.back(), 20);
    EXPECT_TRUE(EvenScalePositions(10, 20, 3).empty());  // thumb wider than the track
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Warning: Scale num too much",
                                                 "Warning: Scale num too much"}));
}

TEST(SliderMessageParamTest, PacksThumbIndexAboveControlId) {
    EXPECT_EQ(SliderMessageParam(1, 0x1234), 0x11234);
    EXPECT_EQ(SliderMessageParam(0, 7), 7);
}

}  // namespace
}  // namespace vantor
