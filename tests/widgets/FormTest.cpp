#include <gtest/gtest.h>

#include <QScreen>
#include <QScrollBar>

#include "WidgetTestSupport.h"
#include "common/LoopScript.h"

namespace {

TEST(FormTest, BoundsIncludeTheFrameAndTheScreenshotIsTheClientArea) {
    TForm form;
    form.SetCaption("テスト表示");
    form.SetBounds(10, 20, 308, 167);
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.ClientHeight(), 140);
    form.SetClientWidth(440);
    form.SetClientHeight(380);
    EXPECT_EQ(form.GetWidth(), 448);
    EXPECT_EQ(form.GetHeight(), 407);
    ShowAndActivate(form);
    const QImage shot = Snapshot(form);
    EXPECT_EQ(shot.width(), 440);
    EXPECT_EQ(shot.height(), 380);
    EXPECT_EQ(form.GetCaption(), "テスト表示");
}

TEST(FormTest, AlignedControlsShareTheClientAreaAndAHiddenOneLeavesItsPlace) {
    TForm form;
    form.SetClientWidth(400);
    form.SetClientHeight(300);
    TPanel bottom(&form); // created first, so nearest the edge
    bottom.SetHeight(50);
    bottom.SetAlign(alBottom);
    TPanel above(&form);
    above.SetHeight(20);
    above.SetAlign(alBottom);
    TScrollBox left(&form);
    left.SetWidth(100);
    left.SetAlign(alLeft);
    TScrollBox rest(&form);
    rest.SetAlign(alClient);
    EXPECT_EQ(bottom.BoundsRect(), Rect(0, 250, 400, 300));
    EXPECT_EQ(above.BoundsRect(), Rect(0, 230, 400, 250));
    EXPECT_EQ(left.BoundsRect(), Rect(0, 0, 100, 230));
    EXPECT_EQ(rest.BoundsRect(), Rect(100, 0, 400, 230));

    left.Hide();
    EXPECT_EQ(rest.BoundsRect(), Rect(0, 0, 400, 230));
    form.SetClientHeight(400);
    EXPECT_EQ(bottom.BoundsRect(), Rect(0, 350, 400, 400));
    EXPECT_EQ(rest.BoundsRect(), Rect(0, 0, 400, 330));
}

TEST(FormTest, ScrollBoxGrowsItsRangeWithAnAutoSizedImage) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(150);
    TScrollBox box(&form);
    box.SetAlign(alClient);
    TImage image(&box);
    image.SetAutoSize(true);
    ShowAndActivate(form);
    TBitmap big;
    big.SetWidth(500);
    big.SetHeight(400);
    image.Picture()->Assign(&big);
    EXPECT_EQ(box.ClientWidget()->width(), 500);
    EXPECT_EQ(box.ClientWidget()->height(), 400);
    EXPECT_LT(box.ClientWidth(), 200);
}

TEST(FormTest, ControlsShowTheirParentsFontUntilGivenTheirOwn) {
    TForm form;
    TFont font;
    font.Name = "ＭＳ Ｐゴシック";
    font.Height = -12;
    font.Charset = SHIFTJIS_CHARSET;
    form.SetFont(font);
    TGroupBox group(&form);
    TLabel label(&group);
    TEdit edit(&group);
    TFont big = font;
    big.Height = -35;
    big.Style = fsBold;
    edit.SetFont(big);
    EXPECT_EQ(label.GetFont().Height, -12);
    EXPECT_EQ(label.Widget()->font().family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(edit.GetFont().Height, -35);
    EXPECT_EQ(edit.Widget()->font().pixelSize(), 35);
    EXPECT_TRUE(edit.Widget()->font().bold());
}

TEST(FormTest, AScrolledImageShowsThePartInView) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(150);
    TScrollBox box(&form);
    box.SetAlign(alClient);
    TImage image(&box);
    image.SetAutoSize(true);
    TBitmap picture;
    picture.SetWidth(500);
    picture.SetHeight(400);
    picture.Canvas()->Brush.Color = clWhite;
    picture.Canvas()->FillRect(Rect(0, 0, 500, 400));
    picture.Canvas()->Brush.Color = clRed;
    picture.Canvas()->FillRect(Rect(300, 250, 310, 260));
    image.Picture()->Assign(&picture);
    ShowAndActivate(form);
    auto* area = static_cast<QAbstractScrollArea*>(box.Widget());
    area->horizontalScrollBar()->setValue(250);
    area->verticalScrollBar()->setValue(200);
    const QImage shot = area->viewport()->grab().toImage();
    EXPECT_EQ(PixelColor(shot, 55, 55), clRed);
    EXPECT_EQ(PixelColor(shot, 5, 5), clWhite);
    EXPECT_EQ(PixelColor(shot, 65, 55), clWhite);
}

TEST(FormTest, FocusMovesRunOnExitThenOnEnter) {
    TForm form;
    TEdit first(&form);
    TSpinEdit second(&form);
    second.SetTop(30);
    std::vector<std::string> events;
    first.OnEnter = [&](TObject*) { events.push_back("enter first"); };
    first.OnExit = [&](TObject*) { events.push_back("exit first"); };
    second.OnEnter = [&](TObject*) { events.push_back("enter second"); };
    first.SetFocus();
    second.SetFocus();
    EXPECT_EQ(events, (std::vector<std::string>{"enter first", "exit first", "enter second"}));
    EXPECT_EQ(form.ActiveControl(), &second);

    ShowAndActivate(form);
    events.clear();
    first.Widget()->setFocus(); // a focus move Qt reports, as a click would make
    EXPECT_EQ(events, (std::vector<std::string>{"enter first"}));

    second.SetEnabled(false);
    second.SetFocus(); // a disabled control keeps away from the focus
    EXPECT_TRUE(first.Focused());
}

// A panel over controls made before it, as a dialog shows one of two sets of controls.
TEST(FormTest, APanelHidesAndUnfocusesTheControlsBeneathIt) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(120);
    TSpinEdit beneath(&form);
    beneath.SetBounds(10, 10, 60, 22);
    TButton outside(&form);
    outside.SetBounds(10, 80, 75, 25);
    TPanel panel(&form);
    panel.SetBevelOuter(bvNone);
    panel.SetBounds(0, 0, 200, 60);
    TCheckBox inside(&panel);
    inside.SetBounds(100, 10, 80, 20);
    inside.SetCaption("LEFT");
    panel.Hide();
    beneath.SetFocus();
    panel.Show(); // before the form opens, as a dialog chooses its set of controls
    ShowAndActivate(form);

    const QImage shot = Snapshot(form);
    const TColor background = PixelColor(shot, 5, 5);
    for (int x = 12; x < 68; x += 4)
        EXPECT_EQ(PixelColor(shot, x, 21), background) << x;
    EXPECT_TRUE(inside.Focused());
    EXPECT_FALSE(beneath.CanFocus());
    beneath.SetFocus();
    EXPECT_TRUE(inside.Focused());
    EXPECT_TRUE(outside.CanFocus());

    panel.Hide();
    EXPECT_TRUE(beneath.CanFocus());
    beneath.SetFocus();
    EXPECT_TRUE(beneath.Focused());
    // Shown again, the panel takes the focus from the control it covers.
    panel.Show();
    EXPECT_TRUE(inside.Focused());
}

TEST(FormTest, ActivationRunsOnActivateOncePerActivation) {
    TForm main;
    TForm other;
    int activations = 0;
    main.OnActivate = [&](TObject*) { ++activations; };
    ShowAndActivate(main);
    EXPECT_EQ(activations, 1);
    ShowAndActivate(other);
    EXPECT_FALSE(main.Active());
    other.Hide();
    main.Show();
    EXPECT_TRUE(RunUntil([&] { return main.Active(); }));
    EXPECT_EQ(activations, 2);
}

struct MainFormTest : ::testing::Test {
    TForm* main = nullptr;
    TForm* second = nullptr;
    void SetUp() override {
        Application->CreateForm(main);
        Application->CreateForm(second);
    }
    void TearDown() override { Application->DestroyForms(); }
};

TEST_F(MainFormTest, TheFirstFormCreatedIsTheMainFormAndClosingItEndsTheProgram) {
    EXPECT_EQ(Application->MainForm(), main);
    int asked = 0;
    TCloseAction answer = caNone;
    main->OnClose = [&](TObject*, TCloseAction& Action) {
        ++asked;
        Action = answer;
    };
    main->Show();
    main->Close();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(main->GetVisible());

    second->Show();
    second->Close(); // another form hides
    EXPECT_FALSE(second->GetVisible());
    EXPECT_FALSE(Application->Terminated());

    answer = caFree;
    main->Close();
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainFormTest, AFormNeverPlacedOpensCentredOnTheMainFormAndStaysWhereItWasPut) {
    main->SetBounds(100, 50, 408, 327);
    second->SetBorderStyle(bsDialog);
    second->SetClientWidth(200);
    second->SetClientHeight(100);
    second->Show();
    EXPECT_EQ(second->GetLeft(), 100 + (408 - 208) / 2);
    EXPECT_EQ(second->GetTop(), 50 + (327 - 127) / 2);
    second->Hide();
    second->SetLeft(30); // placed by the program: shown there from now on
    second->SetBorderStyle(bsSingle);
    second->Show();
    EXPECT_EQ(second->GetLeft(), 30);
    EXPECT_EQ(second->GetTop(), 150);
}

// Whether Form lies whole on the available area of Screen (the test platform's only screen).
::testing::AssertionResult WholeOnScreen(const TForm& Form) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect outer(Form.GetLeft(), Form.GetTop(), Form.GetWidth(), Form.GetHeight());
    if (room.contains(outer)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << outer.left() << ", " << outer.top() << ") "
                                         << outer.width() << " x " << outer.height();
}

TEST_F(MainFormTest, AWindowOpenedOrGrownIsKeptWholeOnTheScreen) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    main->SetBounds(room.right() - 300, room.bottom() - 200, 408, 327);
    ShowAndActivate(*main);
    EXPECT_TRUE(WholeOnScreen(*main));
    EXPECT_EQ(main->GetWidth(), 408);

    // Centred on the main window, then grown right and down while it shows.
    second->SetClientWidth(200);
    second->SetClientHeight(100);
    ShowAndActivate(*second);
    EXPECT_TRUE(WholeOnScreen(*second));
    second->SetClientWidth(room.width() - 100);
    second->SetClientHeight(room.height() - 100);
    EXPECT_TRUE(WholeOnScreen(*second));
    second->Hide();

    // Larger than the screen: its size stays, its top-left corner on the screen.
    second->SetClientWidth(room.width() + 50);
    second->Show();
    EXPECT_EQ(second->GetLeft(), room.left());
    EXPECT_EQ(second->ClientWidth(), room.width() + 50);
}

TEST_F(MainFormTest, AFailingOnCreateIsReportedAndTheFormStillComesUp) {
    TScriptedAnswerer answers;
    struct TFailingForm : TForm {
        TFailingForm() {
            OnCreate = [](TObject*) { throw Exception("no settings"); };
        }
    };
    TFailingForm* failing = nullptr;
    Application->CreateForm(failing);
    EXPECT_NE(failing, nullptr);
    EXPECT_EQ(answers.MessageTexts(), (std::vector<std::string>{"no settings"}));
}

TEST_F(MainFormTest, RunShowsTheMainFormUntilItCloses) {
    bool created = false;
    main->OnActivate = [&](TObject*) { created = true; };
    TLoopScript script([] { Application->Terminate(); });
    script.When([&] { return created; }, [this] { main->Close(); });
    Application->Run();
    EXPECT_TRUE(created);
    EXPECT_EQ(Application->MainForm(), nullptr); // the forms are gone
    Application->CreateForm(main);               // and a new run can begin
    EXPECT_EQ(Application->MainForm(), main);
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(MainFormTest, TheCloseBoxAsksTheForm) {
    int asked = 0;
    second->OnClose = [&](TObject*, TCloseAction& Action) {
        ++asked;
        Action = caNone;
    };
    ShowAndActivate(*second);
    EXPECT_FALSE(second->Widget()->close());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(second->GetVisible());
}

} // namespace
