#include "toolkit/widgets/StringGrid.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QScrollBar>

#include "toolkit/widgets/Application.h"

namespace {

const char* const SIndexOutOfRange = "Grid index out of range";

bool InRange(int Value, int Low, int High) {
    return Value >= Low && Value <= High;
}

} // namespace

// The grid's scroll area: the view is painted from the grid's surface, and the scroll
// bars count cells, not pixels.
class TGridWidget : public QAbstractScrollArea {
public:
    TGridWidget(TCanvasSurface* Surface, std::function<void()> Paint, std::function<void()> Scrolled)
        : FSurface(Surface), FPaint(std::move(Paint)), FScrolled(std::move(Scrolled)) {}

    // The size of the view, also before the widget is first laid out.
    QSize ViewSize() const { return isVisible() ? viewport()->size() : contentsRect().size(); }

protected:
    // The whole view each time: the handlers draw on the grid's canvas in view coordinates.
    void paintEvent(QPaintEvent*) override {
        PaintThroughSurface(viewport(), viewport()->rect(), *FSurface, [this](const QRect&) { FPaint(); });
    }
    void scrollContentsBy(int, int) override { FScrolled(); }

private:
    TCanvasSurface* FSurface;
    std::function<void()> FPaint;
    std::function<void()> FScrolled;
};

TStringGrid::TStringGrid(TWinControl* Parent)
    : TControl(new TGridWidget(
                   &FSurface, [this] { Paint(); },
                   [this] {
                       FLeftCol = GridWidget()->horizontalScrollBar()->value();
                       FTopRow = GridWidget()->verticalScrollBar()->value();
                       GridWidget()->viewport()->update();
                   }),
               Parent) {
    GridWidget()->setFocusPolicy(Qt::StrongFocus);
    WatchEvents(GridWidget()->viewport());
    GridWidget()->viewport()->setMouseTracking(true);
    SetColCount(5);
    SetRowCount(5);
}

TStringGrid::~TStringGrid() = default;

TGridWidget* TStringGrid::GridWidget() const {
    return static_cast<TGridWidget*>(Widget());
}

QWidget* TStringGrid::InputWidget() const {
    return Widget() != nullptr ? GridWidget()->viewport() : nullptr;
}

void TStringGrid::SetColCount(int Value) {
    Value = std::max(1, Value);
    if (Value <= FFixedCols) FFixedCols = Value - 1;
    FColWidths.resize(static_cast<std::size_t>(Value), FDefaultColWidth);
    for (auto& row : FCells)
        row.resize(static_cast<std::size_t>(Value));
    ClampCurrent();
}

void TStringGrid::SetRowCount(int Value) {
    Value = std::max(1, Value);
    if (Value <= FFixedRows) FFixedRows = Value - 1;
    FRowHeights.resize(static_cast<std::size_t>(Value), FDefaultRowHeight);
    FCells.resize(static_cast<std::size_t>(Value), std::vector<std::string>(FColWidths.size()));
    ClampCurrent();
}

void TStringGrid::SetFixedCols(int Value) {
    if (Value < 0) throw EInvalidGridOperation(SIndexOutOfRange);
    if (Value >= GetColCount())
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    // The grid starts over at its first scrolling cell, as a new grid would.
    FFixedCols = Value;
    FLeftCol = FCurrent.X = FAnchor.X = Value;
    ClampCurrent();
}

void TStringGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EInvalidGridOperation(SIndexOutOfRange);
    if (Value >= GetRowCount()) throw EInvalidGridOperation("Fixed row count must be less than row count");
    FFixedRows = Value;
    FTopRow = FCurrent.Y = FAnchor.Y = Value;
    ClampCurrent();
}

void TStringGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = std::max(0, Value);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    ClampCurrent();
}

void TStringGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(0, Value);
    std::fill(FRowHeights.begin(), FRowHeights.end(), FDefaultRowHeight);
    ClampCurrent();
}

int TStringGrid::GetColWidths(int Index) const {
    if (!InRange(Index, 0, GetColCount() - 1)) throw EInvalidGridOperation(SIndexOutOfRange);
    return FColWidths[static_cast<std::size_t>(Index)];
}

void TStringGrid::SetColWidths(int Index, int Value) {
    if (!InRange(Index, 0, GetColCount() - 1)) throw EInvalidGridOperation(SIndexOutOfRange);
    FColWidths[static_cast<std::size_t>(Index)] = std::max(0, Value);
    ClampCurrent();
}

int TStringGrid::GetRowHeights(int Index) const {
    if (!InRange(Index, 0, GetRowCount() - 1)) throw EInvalidGridOperation(SIndexOutOfRange);
    return FRowHeights[static_cast<std::size_t>(Index)];
}

void TStringGrid::SetRowHeights(int Index, int Value) {
    if (!InRange(Index, 0, GetRowCount() - 1)) throw EInvalidGridOperation(SIndexOutOfRange);
    FRowHeights[static_cast<std::size_t>(Index)] = std::max(0, Value);
    ClampCurrent();
}

std::string TStringGrid::GetCells(int ACol, int ARow) const {
    if (!InRange(ACol, 0, GetColCount() - 1) || !InRange(ARow, 0, GetRowCount() - 1)) return std::string();
    return FCells[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)];
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    if (!InRange(ACol, 0, GetColCount() - 1) || !InRange(ARow, 0, GetRowCount() - 1))
        throw EInvalidGridOperation(SIndexOutOfRange);
    FCells[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)] = Value;
    Invalidate();
}

void TStringGrid::SetOptions(TGridOptions Value) {
    FOptions = Value;
    if (!(FOptions & goRangeSelect)) FAnchor = FCurrent;
    ClampCurrent();
}

void TStringGrid::SetDefaultDrawing(bool Value) {
    FDefaultDrawing = Value;
    Invalidate();
}

void TStringGrid::SetCol(int Value) {
    if (!InRange(Value, FFixedCols, GetColCount() - 1)) throw EInvalidGridOperation(SIndexOutOfRange);
    MoveCurrent(Value, FCurrent.Y);
}

void TStringGrid::SetRow(int Value) {
    if (!InRange(Value, FFixedRows, GetRowCount() - 1)) throw EInvalidGridOperation(SIndexOutOfRange);
    MoveCurrent(FCurrent.X, Value);
}

TGridRect TStringGrid::GetSelection() const {
    return TGridRect{std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y),
                     std::max(FAnchor.X, FCurrent.X), std::max(FAnchor.Y, FCurrent.Y)};
}

void TStringGrid::SetSelection(const TGridRect& Value) {
    const int lastCol = GetColCount() - 1;
    const int lastRow = GetRowCount() - 1;
    FAnchor = Point(std::clamp(Value.Left, FFixedCols, lastCol), std::clamp(Value.Top, FFixedRows, lastRow));
    FCurrent =
        Point(std::clamp(Value.Right, FFixedCols, lastCol), std::clamp(Value.Bottom, FFixedRows, lastRow));
    if (!(FOptions & goRangeSelect)) FAnchor = FCurrent;
    ScrollIntoView(FCurrent);
    Invalidate();
}

void TStringGrid::SetLeftCol(int Value) {
    FLeftCol = std::clamp(Value, FFixedCols, std::max(FFixedCols, MaxLeftCol()));
    GridWidget()->horizontalScrollBar()->setValue(FLeftCol);
    Invalidate();
}

void TStringGrid::SetTopRow(int Value) {
    FTopRow = std::clamp(Value, FFixedRows, std::max(FFixedRows, MaxTopRow()));
    GridWidget()->verticalScrollBar()->setValue(FTopRow);
    Invalidate();
}

int TStringGrid::LineWidth(bool Vertical, bool Fixed) const {
    const TGridOptions option =
        Vertical ? (Fixed ? goFixedVertLine : goVertLine) : (Fixed ? goFixedHorzLine : goHorzLine);
    return (FOptions & option) ? 1 : 0;
}

std::vector<std::pair<int, int>> TStringGrid::VisibleSpans(bool Columns) const {
    const std::vector<int>& sizes = Columns ? FColWidths : FRowHeights;
    const int fixed = Columns ? FFixedCols : FFixedRows;
    const int first = Columns ? FLeftCol : FTopRow;
    const QSize view = GridWidget()->ViewSize();
    const int limit = Columns ? view.width() : view.height();
    std::vector<std::pair<int, int>> spans;
    int position = 0;
    auto add = [&](int Index) {
        spans.emplace_back(Index, position);
        position += sizes[static_cast<std::size_t>(Index)] + LineWidth(Columns, Index < fixed);
    };
    const int count = static_cast<int>(sizes.size());
    for (int i = 0; i < fixed && i < count; ++i)
        add(i);
    for (int i = first; i < count && position < limit; ++i)
        add(i);
    return spans;
}

void TStringGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    auto find = [this](int Position, bool Columns) {
        const std::vector<int>& sizes = Columns ? FColWidths : FRowHeights;
        const int fixed = Columns ? FFixedCols : FFixedRows;
        for (const auto& [index, start] : VisibleSpans(Columns)) {
            const int end =
                start + sizes[static_cast<std::size_t>(index)] + LineWidth(Columns, index < fixed);
            if (Position >= start && Position < end) return index;
        }
        return -1;
    };
    ACol = X >= 0 ? find(X, true) : -1;
    ARow = Y >= 0 ? find(Y, false) : -1;
}

TRect TStringGrid::CellRect(int ACol, int ARow) const {
    auto start = [this](int Index, bool Columns) {
        for (const auto& [index, position] : VisibleSpans(Columns))
            if (index == Index) return position;
        return -1;
    };
    const int x = start(ACol, true);
    const int y = start(ARow, false);
    if (x < 0 || y < 0) return TRect{};
    return Rect(x, y, x + FColWidths[static_cast<std::size_t>(ACol)],
                y + FRowHeights[static_cast<std::size_t>(ARow)]);
}

void TStringGrid::MoveRow(int FromIndex, int ToIndex) {
    const int last = GetRowCount() - 1;
    if (!InRange(FromIndex, 0, last) || !InRange(ToIndex, 0, last))
        throw EInvalidGridOperation(SIndexOutOfRange);
    if (FromIndex == ToIndex) return;
    auto move = [FromIndex, ToIndex](auto& Items) {
        auto from = Items.begin() + FromIndex;
        auto to = Items.begin() + ToIndex;
        if (FromIndex < ToIndex)
            std::rotate(from, from + 1, to + 1);
        else
            std::rotate(to, from, from + 1);
    };
    move(FCells);
    move(FRowHeights);
    // Rows between the two places shift by one towards the place the row left.
    auto follow = [FromIndex, ToIndex](int& Row) {
        if (Row == FromIndex)
            Row = ToIndex;
        else if (FromIndex < ToIndex && Row > FromIndex && Row <= ToIndex)
            --Row;
        else if (FromIndex > ToIndex && Row >= ToIndex && Row < FromIndex)
            ++Row;
    };
    follow(FCurrent.Y);
    follow(FAnchor.Y);
    ClampCurrent();
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TStringGrid::MoveCurrent(int ACol, int ARow) {
    FCurrent = Point(std::clamp(ACol, FFixedCols, GetColCount() - 1),
                     std::clamp(ARow, FFixedRows, GetRowCount() - 1));
    FAnchor = FCurrent;
    ScrollIntoView(FCurrent);
    Invalidate();
}

void TStringGrid::MoveAnchor(int ACol, int ARow) {
    if (!(FOptions & goRangeSelect)) {
        MoveCurrent(ACol, ARow);
        return;
    }
    FAnchor = Point(std::clamp(ACol, FFixedCols, GetColCount() - 1),
                    std::clamp(ARow, FFixedRows, GetRowCount() - 1));
    ScrollIntoView(FAnchor);
    Invalidate();
}

int TStringGrid::MaxLeftCol() const {
    const int view = GridWidget()->ViewSize().width();
    int fixedExtent = 0;
    for (int i = 0; i < FFixedCols; ++i)
        fixedExtent += FColWidths[static_cast<std::size_t>(i)] + LineWidth(true, true);
    const int room = view - fixedExtent;
    int left = GetColCount() - 1;
    int used = FColWidths.back() + LineWidth(true, false);
    while (left > FFixedCols &&
           used + FColWidths[static_cast<std::size_t>(left - 1)] + LineWidth(true, false) <= room) {
        --left;
        used += FColWidths[static_cast<std::size_t>(left)] + LineWidth(true, false);
    }
    return std::max(FFixedCols, left);
}

int TStringGrid::MaxTopRow() const {
    const int view = GridWidget()->ViewSize().height();
    int fixedExtent = 0;
    for (int i = 0; i < FFixedRows; ++i)
        fixedExtent += FRowHeights[static_cast<std::size_t>(i)] + LineWidth(false, true);
    const int room = view - fixedExtent;
    int top = GetRowCount() - 1;
    int used = FRowHeights.back() + LineWidth(false, false);
    while (top > FFixedRows &&
           used + FRowHeights[static_cast<std::size_t>(top - 1)] + LineWidth(false, false) <= room) {
        --top;
        used += FRowHeights[static_cast<std::size_t>(top)] + LineWidth(false, false);
    }
    return std::max(FFixedRows, top);
}

// Scrolls so that the cell is wholly in view.
void TStringGrid::ScrollIntoView(TPoint Cell) {
    auto fit = [](int Current, int First, int Fixed, int Room, const std::vector<int>& Sizes, int Line) {
        if (Current < First) return Current;
        int used = 0;
        for (int i = First; i <= Current; ++i)
            used += Sizes[static_cast<std::size_t>(i)] + Line;
        int first = First;
        while (first < Current && used > Room)
            used -= Sizes[static_cast<std::size_t>(first++)] + Line;
        return std::max(first, Fixed);
    };
    const QSize view = GridWidget()->ViewSize();
    int fixedWidth = 0;
    for (int i = 0; i < FFixedCols; ++i)
        fixedWidth += FColWidths[static_cast<std::size_t>(i)] + LineWidth(true, true);
    int fixedHeight = 0;
    for (int i = 0; i < FFixedRows; ++i)
        fixedHeight += FRowHeights[static_cast<std::size_t>(i)] + LineWidth(false, true);
    SetLeftCol(
        fit(Cell.X, FLeftCol, FFixedCols, view.width() - fixedWidth, FColWidths, LineWidth(true, false)));
    SetTopRow(
        fit(Cell.Y, FTopRow, FFixedRows, view.height() - fixedHeight, FRowHeights, LineWidth(false, false)));
}

// Keeps the current cell, the anchor and the scroll position inside the grid after a
// change of its counts or sizes.
void TStringGrid::ClampCurrent() {
    const int lastCol = GetColCount() - 1;
    const int lastRow = GetRowCount() - 1;
    FCurrent =
        Point(std::clamp(FCurrent.X, FFixedCols, lastCol), std::clamp(FCurrent.Y, FFixedRows, lastRow));
    FAnchor = Point(std::clamp(FAnchor.X, FFixedCols, lastCol), std::clamp(FAnchor.Y, FFixedRows, lastRow));
    UpdateScrollRange();
    Invalidate();
}

void TStringGrid::UpdateScrollRange() {
    if (GetColCount() == 0 || GetRowCount() == 0) return;
    QScrollBar* horizontal = GridWidget()->horizontalScrollBar();
    QScrollBar* vertical = GridWidget()->verticalScrollBar();
    // Changing a range may move its bar, which reports back through scrollContentsBy.
    const int maxLeft = MaxLeftCol();
    const int maxTop = MaxTopRow();
    const int left = std::clamp(FLeftCol, FFixedCols, maxLeft);
    const int top = std::clamp(FTopRow, FFixedRows, maxTop);
    horizontal->setRange(FFixedCols, maxLeft);
    vertical->setRange(FFixedRows, maxTop);
    horizontal->setValue(left);
    vertical->setValue(top);
    FLeftCol = left;
    FTopRow = top;
}

void TStringGrid::Invalidate() {
    if (!FPainting) TControl::Invalidate();
}

void TStringGrid::Repaint() {
    if (!FPainting) TControl::Repaint();
}

void TStringGrid::Paint() {
    FPainting = true;
    struct TPaintingDone {
        bool& Flag;
        ~TPaintingDone() { Flag = false; }
    } done{FPainting};
    TCanvas* canvas = Canvas();
    const QSize view = GridWidget()->viewport()->size();
    canvas->Brush = TBrush{ColorToRGB(clWindow), bsSolid};
    canvas->FillRect(Rect(0, 0, view.width(), view.height()));
    const auto columns = VisibleSpans(true);
    const auto rows = VisibleSpans(false);
    for (const auto& [row, y] : rows) {
        const int height = FRowHeights[static_cast<std::size_t>(row)];
        for (const auto& [col, x] : columns) {
            const int width = FColWidths[static_cast<std::size_t>(col)];
            const bool fixed = col < FFixedCols || row < FFixedRows;
            const int right = LineWidth(true, col < FFixedCols);
            const int below = LineWidth(false, row < FFixedRows);
            canvas->Brush = TBrush{ColorToRGB(fixed ? clGray : clSilver), bsSolid};
            if (right > 0) canvas->FillRect(Rect(x + width, y, x + width + right, y + height + below));
            if (below > 0) canvas->FillRect(Rect(x, y + height, x + width + right, y + height + below));
            DrawCell(col, row, Rect(x, y, x + width, y + height));
        }
    }
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& Where) {
    TCanvas* canvas = Canvas();
    const bool fixed = ACol < FFixedCols || ARow < FFixedRows;
    TGridDrawState state = fixed ? gdFixed : 0;
    if (!fixed) {
        const TGridRect selection = GetSelection();
        if (InRange(ACol, selection.Left, selection.Right) && InRange(ARow, selection.Top, selection.Bottom))
            state |= gdSelected;
        if (ACol == FCurrent.X && ARow == FCurrent.Y && Focused()) state |= gdFocused;
    }
    if (FDefaultDrawing) {
        canvas->Font = GetFont();
        const bool highlighted =
            (state & gdSelected) && (!(state & gdFocused) || (FOptions & goDrawFocusSelected) != 0);
        if (highlighted) {
            canvas->Brush.Color = ColorToRGB(clHighlight);
            canvas->Font.Color = ColorToRGB(clHighlightText);
        } else {
            canvas->Brush.Color = ColorToRGB(fixed ? clBtnFace : clWindow);
            canvas->Font.Color = ColorToRGB(canvas->Font.Color);
        }
        canvas->Brush.Style = bsSolid;
        canvas->FillRect(Where);
        const std::string& text = FCells[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)];
        if (!text.empty()) canvas->TextRect(Where, Where.Left + 2, Where.Top + 2, text);
    }
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, Where, state);
    if (FDefaultDrawing && (state & gdFocused)) canvas->DrawFocusRect(Where);
}

bool TStringGrid::HandleEvent(QObject* Watched, QEvent* Event) {
    if (Watched == InputWidget()) {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
            MousePress(Event);
            break;
        case QEvent::MouseMove:
            MouseDrag(Event);
            break;
        case QEvent::MouseButtonRelease:
            MouseRelease(Event);
            break;
        case QEvent::MouseButtonDblClick:
            SetFocus();
            break;
        case QEvent::Resize:
            UpdateScrollRange();
            break;
        default:
            break;
        }
    }
    if (Watched == Widget() && (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut))
        Invalidate();
    const bool consumed = TControl::HandleEvent(Watched, Event);
    if (consumed || Watched != Widget() || Event->type() != QEvent::KeyPress) return consumed;
    const auto* key = static_cast<QKeyEvent*>(Event);
    return NavigationKey(VirtualKeyOf(key->key()), ShiftStateOf(key->modifiers(), Qt::NoButton));
}

// The grid acts on a press before OnMouseDown runs, so the handler sees the new current cell.
void TStringGrid::MousePress(QEvent* Event) {
    SetFocus();
    const auto* mouse = static_cast<QMouseEvent*>(Event);
    if (mouse->button() != Qt::LeftButton) return;
    const QPoint p = mouse->position().toPoint();
    int col = -1;
    int row = -1;
    MouseToCell(p.x(), p.y(), col, row);
    if (col >= FFixedCols && row >= FFixedRows) {
        if (mouse->modifiers() & Qt::ShiftModifier)
            MoveAnchor(col, row);
        else
            MoveCurrent(col, row);
        FState = gsSelecting;
    } else if ((FOptions & goRowMoving) && col >= 0 && col < FFixedCols && row >= FFixedRows) {
        FMoveFrom = row;
        FState = gsRowMoving;
    }
}

void TStringGrid::MouseDrag(QEvent* Event) {
    if (FState != gsSelecting) return;
    const QPoint p = static_cast<QMouseEvent*>(Event)->position().toPoint();
    int col = -1;
    int row = -1;
    MouseToCell(p.x(), p.y(), col, row);
    if (col >= FFixedCols && row >= FFixedRows && (col != FAnchor.X || row != FAnchor.Y))
        MoveAnchor(col, row);
}

// A row dragged by its fixed cell lands on the row under the release point.
void TStringGrid::MouseRelease(QEvent* Event) {
    const TGridState state = FState;
    FState = gsNormal;
    if (state != gsRowMoving) return;
    const QPoint p = static_cast<QMouseEvent*>(Event)->position().toPoint();
    int col = -1;
    int row = -1;
    MouseToCell(0, p.y(), col, row);
    if (row < 0) row = p.y() < 0 ? FFixedRows : GetRowCount() - 1;
    MoveRow(FMoveFrom, std::max(row, FFixedRows));
}

// A shifted key moves the anchor from where it is, so the selection grows step by step.
bool TStringGrid::NavigationKey(std::uint16_t Key, TShiftState Shift) {
    const bool extend = (Shift & ssShift) && (FOptions & goRangeSelect);
    int col = extend ? FAnchor.X : FCurrent.X;
    int row = extend ? FAnchor.Y : FCurrent.Y;
    const int page = std::max(1, static_cast<int>(VisibleSpans(false).size()) - FFixedRows - 1);
    switch (Key) {
    case VK_LEFT:
        --col;
        break;
    case VK_RIGHT:
        ++col;
        break;
    case VK_UP:
        --row;
        break;
    case VK_DOWN:
        ++row;
        break;
    case VK_HOME:
        col = FFixedCols;
        break;
    case VK_END:
        col = GetColCount() - 1;
        break;
    case VK_PRIOR:
        row -= page;
        break;
    case VK_NEXT:
        row += page;
        break;
    default:
        return false;
    }
    if (extend)
        MoveAnchor(col, row);
    else
        MoveCurrent(col, row);
    return true;
}
