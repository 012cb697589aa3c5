// Deleting casts, their key points through the picker, colour replacement, the strip's
// drawing with its swatch, and the placement-anchor dialog.
#include "EditorForms.h"
#include "widgets/WidgetTestSupport.h"
#include "editor/model/casts.h"

namespace {

constexpr TColor White = 0x00FFFFFF;
constexpr TColor Red = 0x000000FF;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor Green = 0x0000FF00;
constexpr TColor Cyan = 0x00FFFF00;

class CastEditTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        form = MobrelForm;
    }

    TScoreChannel& Channel() { return Doc().Channels[form->score->Row()]; }

    // A new cast in slot Slot of Width x Height in Fill, transparent in Corner (its top-left).
    void PutPicture(int Slot, int Width, int Height, TColor Fill, TColor Corner) {
        TBitmap picture;
        picture.SetSize(Width, Height);
        picture.Canvas()->Brush = TBrush{Fill, bsSolid};
        picture.Canvas()->FillRect(TRect{0, 0, Width, Height});
        picture.Canvas()->SetPixels(0, 0, Corner);
        PutCast(Channel(), Slot, picture);
        Channel().RecountCasts();
    }

    void SelectSlots(int Left, int Right) { form->cast->SetSelection(TGridRect{Left, 1, Right, 1}); }

    // The picker answered by Action.
    void AnswerPicker(std::function<void(TForm&)> Action) { Answers->OnForm(std::move(Action)); }

    TMobrelForm* form = nullptr;
};

TEST_F(CastEditTest, DeletesTheSelectedSlotsByButtonMenuAndKey) {
    for (int slot = 0; slot < 5; ++slot)
        PutPicture(slot, 3 + slot, 3, White, White);
    SelectSlots(1, 2);
    form->BitBtn8->Click();
    ASSERT_EQ(Channel().CastCount, 3);
    EXPECT_EQ(Channel().Cast(1)->Width(), 6);
    EXPECT_EQ(Channel().Cast(2)->Width(), 7);

    // Keys act when released; a held key's repeats release nothing, so holding Delete
    // deletes once.
    QWidget* strip = form->cast->Widget();
    SelectSlots(0, 0);
    SendKey(strip, QEvent::KeyPress, Qt::Key_Insert);
    SendKey(strip, QEvent::KeyRelease, Qt::Key_Insert);
    EXPECT_EQ(Channel().CastCount, 3);
    SendKey(strip, QEvent::KeyPress, Qt::Key_Delete);
    for (int repeat = 0; repeat < 3; ++repeat) {
        SendKey(strip, QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier, true);
        SendKey(strip, QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, true);
    }
    SendKey(strip, QEvent::KeyRelease, Qt::Key_Delete);
    ASSERT_EQ(Channel().CastCount, 2);
    EXPECT_EQ(Channel().Cast(0)->Width(), 6);

    // A selection past the slot after the last cast deletes nothing.
    SelectSlots(1, 3);
    form->K18->Click();
    EXPECT_EQ(Channel().CastCount, 2);
    SelectSlots(1, 2);
    form->K18->Click();
    EXPECT_EQ(Channel().CastCount, 1);
}

TEST_F(CastEditTest, ThePointPickedOnTheCurrentCastAppliesToTheSelection) {
    PutPicture(0, 30, 20, White, White);
    PutPicture(1, 50, 20, Red, Red);
    Channel().Cast(1)->Canvas()->SetPixels(40, 10, Blue);
    SelectSlots(0, 1); // slot 1 is current
    AnswerPicker([](TForm& Form) {
        EXPECT_EQ(Form.GetCaption(), "キャスト透過色設定");
        EXPECT_TRUE(transfrm->Button4->GetVisible());
        EXPECT_EQ(transfrm->Image1->Picture()->Width(), 50);
        transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 40, 10);
    });
    form->Shape3MouseDown(form->Shape3, mbRight, 0, 1, 1);
    EXPECT_FALSE(transfrm->Button4->GetVisible());
    EXPECT_FALSE(Channel().CastTransparent[0]); // 30 wide: the point is outside
    EXPECT_TRUE(Channel().CastTransparent[1]);
    EXPECT_EQ(Channel().Cast(1)->GetTransparentColor(), Blue);

    // "透過しない" turns both opaque; a cancelled picker changes nothing.
    AnswerPicker([](TForm&) { transfrm->Button4->Click(); });
    form->N7->Click();
    EXPECT_FALSE(Channel().CastTransparent[1]);
    EXPECT_FALSE(Channel().Cast(1)->GetTransparent());
    AnswerPicker([](TForm&) { transfrm->Button3->Click(); });
    form->N7->Click();
    EXPECT_FALSE(Channel().CastTransparent[1]);

    // An empty current slot shows no picker.
    SelectSlots(2, 2);
    const std::size_t interactions = Answers->Log().size();
    form->N7->Click();
    EXPECT_EQ(Answers->Log().size(), interactions);
}

TEST_F(CastEditTest, ColourReplaceCarriesTheTransparencyToTheNewColour) {
    PutPicture(0, 6, 4, White, Red);
    PutPicture(1, 5, 5, Red, Blue);
    form->cast->SetSelection(TGridRect{1, 1, 0, 1}); // slot 0 current, slots 0..1 selected
    AnswerPicker([](TForm& Form) {
        EXPECT_EQ(Form.GetCaption(), "色変更");
        EXPECT_FALSE(transfrm->Button4->GetVisible());
        transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 0, 0);
    });
    Answers->ChooseColor(Green);
    form->Button5->Click();
    EXPECT_EQ(Channel().Cast(0)->Canvas()->GetPixels(0, 0), Green);
    EXPECT_EQ(Channel().Cast(0)->Canvas()->GetPixels(3, 3), White);
    EXPECT_TRUE(Channel().Cast(0)->GetTransparent());
    EXPECT_EQ(Channel().Cast(0)->GetTransparentColor(), Green);
    EXPECT_EQ(Channel().Cast(1)->Canvas()->GetPixels(4, 4), Green);
    EXPECT_EQ(Channel().Cast(1)->GetTransparentColor(), Blue);

    // A cancelled colour dialog changes nothing; an empty end of the selection shows nothing.
    AnswerPicker([](TForm&) { transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 3, 3); });
    Answers->CancelDialog(ikColorDialog);
    form->N8->Click();
    EXPECT_EQ(Channel().Cast(0)->Canvas()->GetPixels(3, 3), White);
    SelectSlots(1, 2);
    const std::size_t interactions = Answers->Log().size();
    form->N8->Click();
    EXPECT_EQ(Answers->Log().size(), interactions);
}

TEST_F(CastEditTest, TheStripDrawsTheCastsAndInvertsTheSelectedOnesInset) {
    PutPicture(0, 10, 10, Red, Green); // transparent in green
    PutPicture(1, 10, 10, Red, Green);
    Channel().CastTransparent[1] = false;
    Channel().SyncCastTransparency(1);
    form->Show();
    Application->ProcessMessages();

    auto pixel = [&](int Slot, int X, int Y) {
        const TRect cell = form->cast->CellRect(Slot, 1);
        return form->cast->Canvas()->GetPixels(cell.Left + X, cell.Top + Y);
    };
    SelectSlots(0, 0);
    form->cast->Repaint();
    EXPECT_EQ(pixel(0, 1, 15), Red);   // outside the inset
    EXPECT_EQ(pixel(0, 15, 15), Cyan); // inverted inside it
    EXPECT_EQ(pixel(1, 15, 15), Red);  // not selected
    EXPECT_EQ(form->Shape3->GetBrush().Color, Green);
    EXPECT_EQ(form->Shape3->GetBrush().Style, bsSolid);

    // An opaque cast, or a key point below the last row, shows black with a diagonal cross.
    SelectSlots(1, 1);
    form->cast->Repaint();
    EXPECT_EQ(pixel(1, 15, 15), Cyan);
    EXPECT_EQ(form->Shape3->GetBrush().Color, 0u);
    EXPECT_EQ(form->Shape3->GetBrush().Style, bsDiagCross);
    SelectSlots(0, 0);
    Channel().CastKeyPoint[0] = TPoint{2, 10};
    form->cast->Repaint();
    EXPECT_EQ(form->Shape3->GetBrush().Style, bsDiagCross);
}

TEST_F(CastEditTest, TheAnchorDialogSetsWhereThePointerHoldsACast) {
    auto choose = [](int Column, int Row) {
        return [Column, Row](TForm& Form) {
            EXPECT_EQ(Form.GetCaption(), "キャスト表示位置変更");
            EXPECT_TRUE(newform->Panel1->GetVisible());
            // The size controls lie hidden beneath the panel: the keys go to the choices.
            EXPECT_TRUE(newform->crmode1->Focused());
            EXPECT_FALSE(newform->SpinEdit1->CanFocus());
            newform->crmode1->ClickItem(Column);
            newform->crmode2->ClickItem(Row);
            newform->Button1->Click();
        };
    };
    Answers->OnForm(choose(0, 2));
    form->Button4->Click();
    EXPECT_EQ(MobrelForm->PlacementAnchor, 6);
    Answers->OnForm(choose(2, 0));
    form->N9->Click();
    EXPECT_EQ(MobrelForm->PlacementAnchor, 2);

    // Cancelled: the anchor stays, the radio groups keep their last choice.
    Answers->OnForm([](TForm&) {
        EXPECT_EQ(newform->crmode1->GetItemIndex(), 2);
        newform->crmode2->ClickItem(1);
        newform->Button2->Click();
    });
    form->Button4->Click();
    EXPECT_EQ(MobrelForm->PlacementAnchor, 2);
    // So is closing the window with its close box.
    Answers->OnForm([](TForm& Form) {
        newform->crmode1->ClickItem(0);
        Form.Close();
    });
    form->Button4->Click();
    EXPECT_EQ(MobrelForm->PlacementAnchor, 2);
}

} // namespace
