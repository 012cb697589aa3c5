// The main window on screen: where its parts sit, the zoom buttons and the panel toggles.
#include <QPixmap>

#include "EditorForms.h"
#include "common/TextFit.h"

namespace {

using MainWindowLayoutTest = EditorFormsTest;

// Client area of the default 800 x 600 window (a 4-pixel frame and a 19-pixel caption).
constexpr int ClientWidth = 792;
constexpr int ClientHeight = 573;

bool SameBounds(TControl* Control, TRect Expected) {
    const TRect bounds = Control->BoundsRect();
    return bounds.Left == Expected.Left && bounds.Top == Expected.Top && bounds.Right == Expected.Right &&
           bounds.Bottom == Expected.Bottom;
}

// The part of a screenshot that a control covers shows exactly what the control draws.
bool ShowsControl(const QImage& Shot, TControl* Control) {
    const TRect b = Control->BoundsRect();
    const QImage part = Shot.copy(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    const QImage own = Control->Widget()->grab().toImage().convertToFormat(part.format());
    return part == own;
}

int CountColor(const QImage& Shot, QRect Area, TColor Color) {
    int count = 0;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
        for (int x = Area.left(); x <= Area.right(); ++x)
            count += ColorAt(Shot, x, y) == Color ? 1 : 0;
    return count;
}

TEST_F(MainWindowLayoutTest, ScreenshotShowsTheGridsWhereTheLayoutPutsThem) {
    CreateForms();
    MobrelForm->Show();
    Application->ProcessMessages();
    const QImage shot = MobrelForm->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(QStringLiteral(TEST_BUILD_DIR "/palvenor-main-window.png"));
    ASSERT_EQ(shot.width(), ClientWidth);
    ASSERT_EQ(shot.height(), ClientHeight);

    const int scoreTop = ClientHeight - 165;
    const int castTop = scoreTop - 57;
    const int barTop = castTop - 11;
    EXPECT_TRUE(SameBounds(MobrelForm->score, TRect{0, scoreTop, ClientWidth, ClientHeight}));
    EXPECT_TRUE(SameBounds(MobrelForm->cast, TRect{0, castTop, ClientWidth, scoreTop}));
    EXPECT_TRUE(SameBounds(MobrelForm->ProgressBar1, TRect{0, barTop, ClientWidth, castTop}));
    EXPECT_TRUE(SameBounds(MobrelForm->ScrollBox2, TRect{0, 0, 161, barTop}));
    EXPECT_TRUE(SameBounds(MobrelForm->ScrollBox3, TRect{161, 0, 313, barTop}));
    EXPECT_TRUE(SameBounds(MobrelForm->ScrollBox1, TRect{313, 0, ClientWidth, barTop}));

    EXPECT_TRUE(ShowsControl(shot, MobrelForm->score));
    EXPECT_TRUE(ShowsControl(shot, MobrelForm->cast));
    // The score's fixed column of channel numbers and the cast strip's header row.
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_GT(CountColor(shot, QRect(2, scoreTop + 2, 18, 120), face), 18 * 60);
    EXPECT_GT(CountColor(shot, QRect(2, castTop + 2, 600, 14), face), 600 * 8);
    EXPECT_LT(CountColor(shot, QRect(2, castTop + 20, 600, 28), face), 600 * 2);
}

TEST_F(MainWindowLayoutTest, ZoomButtonsRedrawTheFrameLarger) {
    CreateForms();
    MakeMainImage(40, 30, 0x00808080);
    AddCast(0, 4, 4, 0x000000FF);
    Doc().Channels[0].CellSet[0] = true;
    Doc().Channels[0].Positions[0] = TPoint{60, 60};
    MobrelForm->RefreshFrameView();
    EXPECT_EQ(MobrelForm->Image1->GetWidth(), 140);

    MobrelForm->kakudaibtn->ClickItem(2);
    EXPECT_EQ(Doc().GetZoomFactor(), 3);
    EXPECT_EQ(MobrelForm->Image1->GetWidth(), 420);
    EXPECT_EQ(MobrelForm->Image1->GetHeight(), 390);
    // The cast spans canvas pixels 58..61, now 174..185 on the view.
    EXPECT_EQ(ViewPixel(175, 176), 0x000000FFu);
    EXPECT_EQ(ViewPixel(171, 176), 0x00808080u);

    MobrelForm->kakudaibtn->ClickItem(0);
    EXPECT_EQ(Doc().GetZoomFactor(), 1);
    EXPECT_EQ(MobrelForm->Image1->GetWidth(), 140);
}

TEST_F(MainWindowLayoutTest, PanelTogglesHideAndShowThePanels) {
    CreateForms();
    MobrelForm->Show();
    MobrelForm->pv1->Click();
    EXPECT_FALSE(MobrelForm->ScrollBox2->GetVisible());
    EXPECT_FALSE(MobrelForm->pv1->GetChecked());
    EXPECT_EQ(MobrelForm->ScrollBox3->GetLeft(), 0);
    EXPECT_EQ(MobrelForm->ScrollBox1->GetLeft(), 152);

    MobrelForm->pv2->Click();
    EXPECT_FALSE(MobrelForm->ScrollBox3->GetVisible());
    EXPECT_FALSE(MobrelForm->pv2->GetChecked());
    EXPECT_EQ(MobrelForm->ScrollBox1->GetLeft(), 0);
    EXPECT_EQ(MobrelForm->ScrollBox1->GetWidth(), ClientWidth);

    MobrelForm->pv1->Click();
    EXPECT_TRUE(MobrelForm->ScrollBox2->GetVisible());
    EXPECT_TRUE(MobrelForm->pv1->GetChecked());
    EXPECT_EQ(MobrelForm->ScrollBox1->GetLeft(), 161);
}

TEST_F(MainWindowLayoutTest, EveryWindowShowsItsTextsWhole) {
    CreateForms();
    for (TForm* form : std::initializer_list<TForm*>{MobrelForm, newform, scoreform, transfrm, viewform})
        EXPECT_EQ(ClippedTexts(*form), std::vector<std::string>{}) << form->GetCaption();
    // The selection's frame numbers at their widest stay clear of the captions beside them.
    for (TLabel* value : {MobrelForm->Label4, MobrelForm->Label9, MobrelForm->Label11})
        value->SetCaption("200");
    EXPECT_EQ(ClippedTexts(*MobrelForm), std::vector<std::string>{});
}

} // namespace
