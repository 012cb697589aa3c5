// The string grid: fixed and scrolling rows and columns of texts, a current cell and a
// range selection, row moving by dragging a fixed cell, and owner drawing of each cell
// through the grid's canvas.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/widgets/CanvasSurface.h"
#include "toolkit/widgets/Control.h"

TOOLKIT_EXCEPTION(EInvalidGridOperation, Exception)

class TGridWidget;

// Inclusive cell ranges.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TGridDrawState = unsigned;
constexpr TGridDrawState gdSelected = 1;
constexpr TGridDrawState gdFocused = 2;
constexpr TGridDrawState gdFixed = 4;

using TGridOptions = unsigned;
constexpr TGridOptions goFixedVertLine = 1;
constexpr TGridOptions goFixedHorzLine = 2;
constexpr TGridOptions goVertLine = 4;
constexpr TGridOptions goHorzLine = 8;
constexpr TGridOptions goRangeSelect = 16;
constexpr TGridOptions goDrawFocusSelected = 32;
constexpr TGridOptions goRowMoving = 64;

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

class TStringGrid : public TControl {
public:
    explicit TStringGrid(TWinControl* Parent);
    ~TStringGrid() override;
    std::string ClassName() const override { return "TStringGrid"; }

    int GetColCount() const { return static_cast<int>(FColWidths.size()); }
    void SetColCount(int Value);
    int GetRowCount() const { return static_cast<int>(FRowHeights.size()); }
    void SetRowCount(int Value);
    int GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int GetFixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    // Setting a default size gives it to every column or row.
    int GetDefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int GetDefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int GetColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int GetRowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    std::string GetCells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    // The grid paints each cell's background and text before OnDrawCell runs.
    bool GetDefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);

    // The current cell; setting it makes it the whole selection and scrolls it into view.
    // A plain click and the arrow keys move it; a drag, a shift-click and a shifted arrow
    // key move only the selection's other corner (the anchor), so the current cell stays
    // where the selection began.
    int GetCol() const { return FCurrent.X; }
    int GetRow() const { return FCurrent.Y; }
    int Col() const { return FCurrent.X; }
    int Row() const { return FCurrent.Y; }
    void SetCol(int Value);
    void SetRow(int Value);
    // The selection spans the current cell and the anchor.
    TGridRect GetSelection() const;
    // Anchor at (Left, Top), current cell at (Right, Bottom).
    void SetSelection(const TGridRect& Value);
    // The first scrolling column and row shown.
    int GetLeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    int GetTopRow() const { return FTopRow; }
    void SetTopRow(int Value);

    // The cell under a point of the control (-1 where there is none).
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    // Where a cell is drawn (empty when it is scrolled out of view).
    TRect CellRect(int ACol, int ARow) const;
    // Moves a row with its texts and height; the current cell follows the rows. Runs OnRowMoved.
    void MoveRow(int FromIndex, int ToIndex);

    TCanvas* Canvas() { return FSurface.Canvas(); }
    void Invalidate() override;
    void Repaint() override;

    TDrawCellEvent OnDrawCell;
    TMovedEvent OnRowMoved;

protected:
    bool HandleEvent(QObject* Watched, QEvent* Event) override;
    QWidget* InputWidget() const override;

private:
    enum TGridState { gsNormal, gsSelecting, gsRowMoving };
    TGridWidget* GridWidget() const;
    int LineWidth(bool Vertical, bool Fixed) const;
    // The left edges of the visible columns (or top edges of the visible rows) with their
    // indices, up to the edge of the view.
    std::vector<std::pair<int, int>> VisibleSpans(bool Columns) const;
    // The current cell moves and the selection shrinks to it.
    void MoveCurrent(int ACol, int ARow);
    // Only the anchor moves (the current cell too without range selection).
    void MoveAnchor(int ACol, int ARow);
    void ScrollIntoView(TPoint Cell);
    void ClampCurrent();
    void UpdateScrollRange();
    int MaxLeftCol() const;
    int MaxTopRow() const;
    void Paint();
    void DrawCell(int ACol, int ARow, const TRect& Where);
    void MousePress(QEvent* Event);
    void MouseDrag(QEvent* Event);
    void MouseRelease(QEvent* Event);
    bool NavigationKey(std::uint16_t Key, TShiftState Shift);

    TCanvasSurface FSurface;
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    std::vector<std::vector<std::string>> FCells; // [row][column]
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    bool FDefaultDrawing = true;
    TPoint FCurrent{1, 1};
    TPoint FAnchor{1, 1};
    int FLeftCol = 1;
    int FTopRow = 1;
    TGridState FState = gsNormal;
    int FMoveFrom = 0;
    bool FPainting = false;
};
