#pragma once
// One pane of a workbook window's grid: the active worksheet shown from a first visible row
// and column, the selection with its anchor, the cursor moved by scroll codes, the pixel
// geometry of cells and headings, a back-buffer image that painting fills, the keys and the
// mouse, and the in-place cell editor with its drop-down list.

#include "model/rangedescriptor.h"
#include "platform/gui/dcwindow.h"
#include "render/canvas.h"
#include "render/sheetlayout.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <string>

namespace vl {

class CCellEditor;
class CContainer;
class CDropDownList;
class CMouseWheelWnd;
class CWorkbook;
class CWorkbookWnd;
class CWorksheet;
class ITimerHost;

// Scroll codes of OnHScroll and OnVScroll.
enum ScrollCode : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
    SB_FIRSTCOLUMN = 16,
    SB_LASTCOLUMN = 17,
};

// Directions of EndCellEdit.
enum EditMove : int {
    kEditStay = 0,
    kEditLeft = 1,
    kEditRight = 2,
    kEditUp = 3,
    kEditDown = 4,
    kEditEnter = 5,
};

class CWorksheetView : public QAbstractScrollArea, public CDcWindow {
public:
    CWorksheetView(CWorkbookWnd* owner, QWidget* parent);
    ~CWorksheetView() override;

    // Makes the editor and the list; false (error 8 shown) when either cannot be had.
    bool OnCreate();

    CWorkbookWnd* Owner() const { return owner_; }
    CWorkbook& Book() const;
    CWorksheet* Sheet() const;
    uint32_t FirstRow() const { return firstRow_; }
    uint16_t FirstColumn() const { return firstColumn_; }
    const CellRange& Selection() const { return sel_; }
    bool Extending() const { return extending_; }
    void SetExtending(bool on) { extending_ = on; }
    ZoomPair Zoom() const { return zoom_; }
    int32_t HeadingWidth() const { return headingWidth_; }
    int32_t HeadingHeight() const { return headingHeight_; }
    uint16_t CurrentContainer() const { return currentContainer_; }
    void SetCurrentContainer(uint16_t id) { currentContainer_ = id; }
    // Recomputes the automatic heights of rows first to last (custom heights stay).
    void RefitRows(uint32_t first, uint32_t last);
    // Fits the widths of columns first to last to their contents.
    void RefitColumns(uint16_t first, uint16_t last);

    // The selection, the view position and the anchor as one step (no repaint).
    void SetSelection(const CellRange& range);
    void SetScrollPosition(uint32_t firstRow, uint16_t firstColumn);
    // Takes over (and gives back) the active worksheet's saved view position.
    void LoadViewPosition();
    void StoreViewPosition() const;

    // Cursor movement: the codes above; `track` is the thumb position of SB_THUMBTRACK.
    void OnHScroll(int code, int track = 0);
    void OnVScroll(int code, int track = 0);

    // Pixel rectangle of a range in the view's coordinates (right and bottom inclusive); it
    // may lie partly or wholly outside.
    DcRect GetRangeRect(const CellRange& range);
    void ScrollToCell(uint32_t row, uint16_t column);
    // Scroll positions: the first or the last selected column and row.
    void SetScrollBars(bool vertical, bool horizontal, bool fromFirstRow, bool fromFirstColumn);
    void UpdateScrollBars(bool scan, bool keepPosition);
    void ResetScrollBars();
    void SyncSplitPane();
    // The client area without headings and pinned panes, or with them.
    DcRect ClientArea() const;
    SheetLayout Layout();

    // Hit tests on a point of the view.
    bool HitTestCell(QPoint point, uint16_t& column, uint32_t& row);
    bool HitTestColumnHeading(QPoint point, uint16_t& column);
    bool HitTestRowHeading(QPoint point, uint32_t& row);
    bool HitTestColumnBorder(QPoint point, uint16_t& column, int32_t& left, int32_t& right);
    bool HitTestRowBorder(QPoint point, uint32_t& row, int32_t& top, int32_t& bottom);

    // Painting into the back buffer.
    void InvalidateAll();
    void InvalidateRect(const DcRect& rect);
    void InvalidateValueCells(bool formulasOnly);
    // The visible rows of the area, the whole width of the view.
    void InvalidateRowBand(const CellRange& area, const SheetLayout& layout);
    // Containers (worksheetview_containers.cpp). The rectangle of a container in the view,
    // false when it cannot be seen; `invalidate` clear paints the container at once.
    CContainer* FindContainerById(uint16_t id) const;
    bool ContainerRect(const CContainer& container, DcRect& rect);
    void RedrawContainer(uint16_t id, bool invalidate);
    // Moves the highlight in the buffer from the range last drawn to the selection.
    void RepaintHighlight();
    // Paints what is invalid now; the image is then what the window shows.
    const QImage& Render();
    const QImage& BackBuffer() const { return buffer_; }

    // The in-place editor (Part of cell editing).
    // False when the editor could not be opened (error 8 shown).
    bool BeginCellEdit(const std::string& text, int caret);
    void UpdateCellEditor();
    void PostUpdateCellEditor();
    void EndCellEdit(int direction);
    void CancelCellEdit();
    // Stores typed text in the cell; false when nothing or not all could be stored.
    bool SetCellFromText(const std::string& text, uint32_t row, uint16_t column, bool parse);
    CCellEditor* Editor() const { return editor_; }
    CDropDownList* List() const { return list_; }
    uint16_t ListId() const { return listId_; }
    bool EditorOpen() const;

    // Keys: the grid's own handlers, called by the key events.
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void OnChar(const QString& text, Qt::KeyboardModifiers modifiers);

    // Mouse (worksheetview_mouse.cpp).
    void OnLButtonDown(QPoint point, Qt::KeyboardModifiers modifiers);
    void OnLButtonUp();
    void OnLButtonDblClk(QPoint point);
    void OnMouseMove(QPoint point, Qt::MouseButtons buttons);
    void OnMouseWheel(int delta, Qt::KeyboardModifiers modifiers);
    void OnMButtonDown(QPoint globalPoint);
    // The drag now running, for tests and the rubber band.
    enum class Drag { kNone, kSelect, kColumnResize, kRowResize, kContainer, kMoveSelection };
    Drag CurrentDrag() const { return drag_.kind; }
    // Where a container drag has the rectangle now.
    DcRect ContainerDragRect() const { return drag_.rect; }
    int32_t ResizeLine() const { return drag_.line; }
    // Where a selection move would put the selection.
    const CellRange& MoveTarget() const { return drag_.target; }
    // The band along the selection's rectangle that starts a move.
    bool HitTestSelectionFrame(QPoint point);
    CMouseWheelWnd* AutoScrollWindow() const { return wheelWnd_.get(); }

    // CDcWindow: a context over the back buffer.
    CDeviceContext* GetDC() override;
    void ReleaseDC(CDeviceContext* dc) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab are keys of the grid (and of its editor and list), never a move of
    // the focus to the next widget of the window.
    bool focusNextPrevChild(bool) override { return false; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct DragState {
        Drag kind = Drag::kNone;
        QPoint pointer; // the last pointer position of a selection drag
        int stepX = 0;  // auto-scroll direction of a selection drag: -1, 0 or 1
        int stepY = 0;
        uint32_t index = 0;   // the column or row being resized
        int32_t origin = 0;   // its left or top gridline
        int32_t line = 0;     // where the rubber band is
        int32_t restMs = 0;   // how long the pointer has rested
        bool ticking = false; // the 100 ms timer is armed
        // A container drag: the container, the zone taken, its rectangle at the start and now.
        uint16_t container = 0;
        uint8_t zone = 0;
        DcRect start;
        DcRect rect;
        CellRange target; // a selection move's target
    };

    void StartSelectionMove(QPoint point);
    void MoveSelectionTarget(QPoint point);
    void EndSelectionMove();
    void ConnectScrollBars();
    void OnScrollAction(Qt::Orientation orientation, int action);
    void MoveCursor(bool rows, int code, int track);
    int32_t Step(bool rows, int code, uint32_t& moving);
    void StoreMove(bool rows, uint32_t moving);
    // Starts extending from the corner the selection was anchored at (the active cell when
    // the anchor is no longer one of the selection's corners).
    void StartExtending();
    // True while the editor or its list has the window's keyboard.
    bool EditorHoldsKeyboard() const;
    void AfterMove(bool rows, int code, int32_t scrolled, uint32_t oldFirst, int32_t oldHeading);
    void ThumbTrack(bool rows, int track);
    void SetScrollMax(bool rows, uint32_t value);
    void SetScrollPos(bool rows, uint32_t value);
    void ScrollPixels(bool rows, int32_t pixels);
    bool ActiveCellVisible(int extraTop);
    void BringActiveCellIntoView(int extraTop);
    void RenderRegion(const QRect& rect);
    void EnsureBuffer();
    CWorksheetView* Sibling() const;
    int32_t ColumnLeft(uint16_t column);
    int32_t RowTop(uint32_t row);

    // Drags (worksheetview_mouse.cpp).
    void StartSelectDrag(QPoint point);
    void DragSelectTo(QPoint point);
    void OnSelectTick();
    void StartResize(bool rows, uint32_t index, int32_t origin, int32_t start);
    void MoveResizeLine(QPoint point);
    void OnResizeTick();
    // Stores the size the rubber band shows; false when it was the size already.
    bool ApplyResize();
    void EndDrag();
    void ArmDragTimer();
    void SelectWholeColumn(uint16_t column);
    void SelectWholeRow(uint32_t row);
    void ClickCell(uint16_t column, uint32_t row, bool shift);

    // Container clicks, cursors and drags (worksheetview_containers.cpp).
    DcRect CellsOrigin();
    bool ClickContainer(QPoint point);
    void ForgetCurrentContainer();
    void DragContainerTo(QPoint point);
    void EndContainerDrag();
    bool SetContainerCursor(QPoint point);
    void FrameCurrentContainer(CCanvas& canvas);
    // The selection's highlight (and the removal of `previous`'s) outside every container.
    void HighlightSelection(CCanvas& canvas, const CellRange* previous);
    void GrowToContainers(uint16_t& lastColumn, uint32_t& lastRow);

    // Editing (worksheetview_edit.cpp).
    void LayoutEditor();
    bool ShowDropDownList(uint16_t id, uint8_t sorted);
    void AddToDropDownList(const std::string& text);
    void MoveAfterEdit(int direction);
    void MoveToNextFilled(bool down);
    void RecalculateAfterEdit();

    CWorkbookWnd* owner_;
    uint32_t firstRow_ = 0;
    uint16_t firstColumn_ = 0;
    int32_t headingWidth_ = 0;
    int32_t headingHeight_ = 0;
    ZoomPair zoom_{100, 100};
    uint16_t currentContainer_ = 0;
    CellRange sel_;
    bool extending_ = false;
    uint16_t anchorColumn_ = 0;
    uint32_t anchorRow_ = 0;
    CCellEditor* editor_ = nullptr;
    CDropDownList* list_ = nullptr;
    CellRange editorRange_;
    uint16_t listId_ = 0;
    uint8_t listSorted_ = 1;
    uint8_t listAddNew_ = 1;
    uint8_t listComplete_ = 1;
    std::unique_ptr<CMouseWheelWnd> wheelWnd_;
    QPoint middleClick_;
    bool mirroring_ = false;
    DragState drag_;
    std::unique_ptr<ITimerHost> dragTimer_;
    CCanvas measure_;
    QImage buffer_;
    QRegion dirty_;
    CellRange highlighted_;
    bool highlightDrawn_ = false;
    std::unique_ptr<CDeviceContext> dc_;
    bool updatingScroll_ = false;
};

} // namespace vl
