// The tween buttons work on the current channel over the selected frames.
#include "EditorForms.h"

namespace {

class TweenCommandsTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        form = MobrelForm;
    }
    TMobrelForm* form = nullptr;
};

TEST_F(TweenCommandsTest, EachButtonFillsTheSelectedRunOfTheCurrentChannel) {
    SetCell(1, 0, TPoint{0, 0});
    SetCell(1, 3, TPoint{30, -30});
    SetCell(2, 0, TPoint{0, 0});
    SetCell(2, 3, TPoint{30, -30});
    form->score->SetSelection(TGridRect{1, 1, 4, 2}); // the current row is 2
    form->BitBtn12Click(nullptr);
    EXPECT_EQ(Doc().Channels[2].Positions[1].X, 10);
    EXPECT_EQ(Doc().Channels[2].Positions[2].Y, -20);
    EXPECT_FALSE(Doc().Channels[1].CellSet[1]);

    SetCell(3, 10, TPoint{100, 100});
    SetCell(3, 13, TPoint{140, 160});
    form->score->SetSelection(TGridRect{11, 3, 14, 3});
    form->K9->Click();
    EXPECT_EQ(Doc().Channels[3].Positions[11].X, 139);
    EXPECT_EQ(Doc().Channels[3].Positions[13].Y, 129);

    SetCell(4, 21, TPoint{7, 8});
    form->score->SetSelection(TGridRect{20, 4, 22, 4});
    form->BitBtn20Click(nullptr);
    for (int f = 19; f <= 21; ++f)
        EXPECT_TRUE(Doc().Channels[4].CellSet[f]) << f;
    EXPECT_EQ(Doc().Channels[4].Positions[19].X, 7);
}

} // namespace
