#include <gtest/gtest.h>

#include <map>

#include "WidgetTestSupport.h"

namespace {

// A grid laid out like a score: one fixed column of 20 pixels, cells of 5 x 13, lines of 1.
struct StringGridTest : ::testing::Test {
    TForm form;
    TStringGrid grid{&form};
    std::map<std::pair<int, int>, TGridDrawState> drawn;

    void SetUp() override {
        form.SetClientWidth(400);
        form.SetClientHeight(200);
        grid.SetBounds(0, 0, 400, 160);
        grid.SetColCount(201);
        grid.SetRowCount(10);
        grid.SetFixedRows(0);
        grid.SetDefaultColWidth(5);
        grid.SetDefaultRowHeight(13);
        grid.SetColWidths(0, 20);
        grid.SetOptions(grid.GetOptions() | goDrawFocusSelected | goRowMoving);
        for (int row = 0; row < 10; ++row)
            grid.SetCells(0, row, std::to_string(row + 1));
        grid.OnDrawCell = [this](TObject*, int ACol, int ARow, const TRect&, TGridDrawState State) {
            drawn[{ACol, ARow}] = State;
        };
        ShowAndActivate(form);
        grid.SetFocus();
    }

    QPoint CellCentre(int Col, int Row) const {
        const TRect r = grid.CellRect(Col, Row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void Click(int Col, int Row, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        SendMouse(GridView(grid), QEvent::MouseButtonPress, CellCentre(Col, Row), Qt::LeftButton, Modifiers);
        SendMouse(GridView(grid), QEvent::MouseButtonRelease, CellCentre(Col, Row), Qt::LeftButton,
                  Modifiers);
    }
};

TEST_F(StringGridTest, PointsMapToCellsWithTheLineAfterEachCell) {
    int col = 0;
    int row = 0;
    grid.MouseToCell(20, 13, col, row);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    grid.MouseToCell(21, 14, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    grid.MouseToCell(27, 150, col, row);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, -1); // below the last row
    EXPECT_EQ(grid.CellRect(2, 1), Rect(27, 14, 32, 27));
}

// The programs take a command's source from the current cell and its extent from the
// selection: the current cell stays where the selection began.
TEST_F(StringGridTest, DragsAndShiftClicksMoveOnlyTheSelectionsOtherCorner) {
    int colSeen = -1;
    grid.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { colSeen = grid.Col(); };
    Click(3, 2);
    EXPECT_EQ(colSeen, 3); // the handler runs after the grid moved its current cell
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{3, 2, 3, 2}));

    SendMouse(GridView(grid), QEvent::MouseButtonPress, CellCentre(3, 2), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseMove, CellCentre(6, 4), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseButtonRelease, CellCentre(6, 4), Qt::LeftButton);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{3, 2, 6, 4}));
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 2);

    Click(1, 5, Qt::ShiftModifier);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{1, 2, 3, 5}));
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 2);

    // From right to left the cell pressed first stays current too.
    SendMouse(GridView(grid), QEvent::MouseButtonPress, CellCentre(9, 1), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseMove, CellCentre(7, 1), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseMove, CellCentre(5, 1), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseButtonRelease, CellCentre(5, 1), Qt::LeftButton);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{5, 1, 9, 1}));
    EXPECT_EQ(grid.Col(), 9);

    Click(0, 7); // a fixed cell is no current cell
    EXPECT_EQ(grid.Col(), 9);
    EXPECT_EQ(grid.Row(), 1);
}

TEST_F(StringGridTest, SettingTheCurrentCellCollapsesTheSelectionAndScrollsItIntoView) {
    grid.SetSelection(TGridRect{4, 1, 8, 3});
    grid.SetCol(200);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{200, 3, 200, 3}));
    EXPECT_GT(grid.GetLeftCol(), 1);
    const TRect r = grid.CellRect(200, 3);
    EXPECT_GT(r.Right, r.Left);
    EXPECT_LE(r.Right, GridView(grid)->width());
    grid.SetCol(1);
    EXPECT_EQ(grid.GetLeftCol(), 1);
    EXPECT_THROW(grid.SetCol(0), EInvalidGridOperation);
    EXPECT_THROW(grid.SetRow(10), EInvalidGridOperation);
}

TEST_F(StringGridTest, OwnerDrawingGetsFixedSelectedAndFocusedStates) {
    grid.SetSelection(TGridRect{2, 1, 4, 2});
    drawn.clear();
    grid.Repaint();
    EXPECT_EQ(drawn.at({0, 1}), gdFixed);
    EXPECT_EQ(drawn.at({2, 1}), gdSelected);
    EXPECT_EQ(drawn.at({4, 2}), gdSelected | gdFocused);
    EXPECT_EQ(drawn.at({5, 2}), 0u);

    TEdit elsewhere(&form);
    elsewhere.SetFocus();
    drawn.clear();
    grid.Repaint();
    EXPECT_EQ(drawn.at({4, 2}), gdSelected); // no focus, no focused cell
}

TEST_F(StringGridTest, CellDrawingOnTheCanvasReachesTheScreenAndTheCanvasKeepsItsPen) {
    grid.Canvas()->Pen.Width = 2;
    int penWidth = 0;
    grid.OnDrawCell = [&](TObject*, int ACol, int ARow, const TRect& Where, TGridDrawState) {
        penWidth = grid.Canvas()->Pen.Width;
        if (ACol == 6 && ARow == 3) {
            grid.Canvas()->Brush.Color = clLime;
            grid.Canvas()->FillRect(Where);
        }
    };
    grid.SetSelection(TGridRect{9, 5, 9, 5});
    const QImage shot = GridView(grid)->grab().toImage();
    EXPECT_EQ(penWidth, 2);
    const QPoint lime = CellCentre(6, 3);
    EXPECT_EQ(PixelColor(shot, lime.x(), lime.y()), clLime);
    const QPoint selected = CellCentre(9, 5);
    EXPECT_EQ(PixelColor(shot, selected.x(), selected.y()), ColorToRGB(clHighlight));
}

TEST_F(StringGridTest, MovingARowCarriesItsTextsAndTheCurrentRowFollows) {
    std::vector<std::pair<int, int>> moves;
    grid.OnRowMoved = [&](TObject*, int From, int To) { moves.emplace_back(From, To); };
    grid.SetRow(0);
    grid.MoveRow(0, 3);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_EQ(grid.GetCells(0, 0), "2");
    EXPECT_EQ(grid.GetCells(0, 2), "4");
    EXPECT_EQ(grid.GetCells(0, 3), "1");
    EXPECT_EQ(grid.Row(), 3);
    grid.SetRow(2);
    grid.MoveRow(3, 0);
    EXPECT_EQ(grid.GetCells(0, 0), "1");
    EXPECT_EQ(grid.Row(), 3); // rows 0..2 moved down by one
    // A row moved down past the current row: the rows between move up by one.
    grid.SetRow(3);
    grid.MoveRow(1, 3);
    EXPECT_EQ(grid.Row(), 2);
    grid.MoveRow(0, 1); // the current row is neither moved nor passed
    EXPECT_EQ(grid.Row(), 2);
}

TEST_F(StringGridTest, DraggingAFixedCellMovesTheRowBeforeOnMouseUp) {
    std::vector<std::string> events;
    grid.OnRowMoved = [&](TObject*, int From, int To) {
        events.push_back("moved " + std::to_string(From) + "->" + std::to_string(To));
    };
    grid.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    SendMouse(GridView(grid), QEvent::MouseButtonPress, CellCentre(0, 1), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseMove, CellCentre(0, 4), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseButtonRelease, CellCentre(0, 4), Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"moved 1->4", "up"}));
    EXPECT_EQ(grid.GetCells(0, 4), "2");
}

TEST(StringGridLayoutTest, NewFixedCountsStartAtTheFirstScrollingCell) {
    TForm form;
    TStringGrid strip(&form); // laid out like a cast strip: a fixed header row, no fixed column
    strip.SetBounds(0, 0, 300, 80);
    strip.SetColCount(20);
    strip.SetRowCount(2);
    strip.SetFixedCols(0);
    strip.SetDefaultColWidth(30);
    strip.SetDefaultRowHeight(30);
    strip.SetRowHeights(0, 16);
    EXPECT_EQ(strip.Col(), 0);
    EXPECT_EQ(strip.Row(), 1);
    EXPECT_EQ(strip.GetLeftCol(), 0);
    EXPECT_EQ(strip.CellRect(0, 1), Rect(0, 17, 30, 47));
    strip.SetCol(5);
    strip.SetFixedRows(0);
    EXPECT_EQ(strip.Row(), 0);
    EXPECT_EQ(strip.GetSelection(), (TGridRect{5, 0, 5, 0}));
}

TEST_F(StringGridTest, FewerRowsBringTheCurrentCellAndSelectionBack) {
    grid.SetSelection(TGridRect{2, 5, 3, 9});
    grid.SetRowCount(4);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.GetSelection().Bottom, 3);
    EXPECT_EQ(grid.GetSelection().Top, 3);
    EXPECT_THROW(grid.SetFixedRows(4), EInvalidGridOperation);
    grid.SetRowCount(0); // at least one row remains
    EXPECT_EQ(grid.GetRowCount(), 1);
}

TEST_F(StringGridTest, KeysMoveTheCurrentCellShiftedKeysTheSelectionsCorner) {
    grid.SetCol(5);
    grid.SetRow(2);
    SendKey(grid.Widget(), QEvent::KeyPress, Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 6);
    SendKey(grid.Widget(), QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
    SendKey(grid.Widget(), QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
    SendKey(grid.Widget(), QEvent::KeyPress, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{5, 2, 6, 4}));
    EXPECT_EQ(grid.Row(), 2);
    SendKey(grid.Widget(), QEvent::KeyPress, Qt::Key_Down);
    EXPECT_EQ(grid.GetSelection(), (TGridRect{6, 3, 6, 3}));

    grid.OnKeyDown = [](TObject*, std::uint16_t& Key, TShiftState) {
        if (Key == VK_LEFT) Key = 0;
    };
    SendKey(grid.Widget(), QEvent::KeyPress, Qt::Key_Left);
    EXPECT_EQ(grid.Col(), 6);

    std::uint16_t released = 0;
    grid.OnKeyUp = [&](TObject*, std::uint16_t& Key, TShiftState) { released = Key; };
    SendKey(grid.Widget(), QEvent::KeyRelease, Qt::Key_Delete);
    EXPECT_EQ(released, VK_DELETE);
}

} // namespace
