#include "CurveTable.h"

#include "CurveCellLook.h"
#include "DrawGrid.h"
#include "RangeMessage.h"
#include "Usr_misc.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

namespace kestrava {

namespace {

enum class Typed { Level, NotANumber, OutOfRange };

// A typed level: a number 0..255, something that is no number at all (taken as 0), or a
// number outside the range, however many digits it has.
Typed readLevel(const QString &text, int *level) {
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!number.match(t).hasMatch()) {
        *level = 0;
        return Typed::NotANumber;
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < 0 || v > CurveMaxInput)
        return Typed::OutOfRange;
    *level = int(v);
    return Typed::Level;
}

} // namespace

TCurveValueTable::TCurveValueTable(TDrawGrid *grid, TCurveSet &curves, TBoxes boxes,
                                   QObject *parent)
    : QObject(parent), grid_(grid), curves_(curves), boxes_(boxes), painter_(grid->font()) {
    grid_->setRowHeight(24);
    grid_->setDefaultColWidth(grid_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8);
    SetGridWidth(8);

    grid_->setDelegate(this);
}

void TCurveValueTable::drawCell(QPainter &p, int c, int r, const QRect &rect,
                                TGridCellState state) {
    const TUserCurve *curve = curves_.Current();
    if (!curve) {
        p.fillRect(rect, grid_->palette().color(QPalette::Dark));
        return;
    }
    const QPalette &pal = grid_->palette();
    const TCurveCellInput in{*curve,
                             width_,
                             pal.color(QPalette::Button),
                             pal.color(QPalette::ButtonText),
                             pal.color(QPalette::Highlight),
                             pal.color(QPalette::HighlightedText),
                             pal.color(QPalette::Base),
                             pal.color(QPalette::Text)};
    const TCurveCellLook look = CurveCellLook(in, c, r, state.selected);
    painter_.Paint(p, rect, look);
    if (look.frame.isValid()) {
        p.setPen(look.frame);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (state.focused)
        painter_.PaintFocus(p, rect, look.textColor);
}

QString TCurveValueTable::editText(int c, int r) {
    const TUserCurve *curve = curves_.Current();
    const int x = CurveCellInput(width_, c, r);
    editText_ = curve && x >= 0 && x <= CurveMaxInput
                    ? QString::number(curve->Table[std::size_t(x)])
                    : QString();
    return editText_;
}

void TCurveValueTable::cancelEdit(int, int) {
    editText_.clear();
    grid_->setFocus();
}

void TCurveValueTable::setEditText(int c, int r, const QString &text) {
    if (text != editText_) {
        editText_ = text; // still typing
        return;
    }
    commit(c, r, text);
}

void TCurveValueTable::SetGridWidth(int width) {
    width = width == 16 ? 16 : 8;
    const int input = CurrentInput();
    width_ = width;
    grid_->setColCount(CurveGridColCount(width));
    grid_->setRowCount(CurveGridRowCount(width));
    FollowInput(input);
}

int TCurveValueTable::CurrentInput() const {
    return std::clamp(CurveCellInput(width_, grid_->col(), grid_->row()), 0, CurveMaxInput);
}

void TCurveValueTable::FollowInput(int input) {
    const QPoint cell = CurveCellOfInput(width_, input);
    grid_->setCurrentCell(cell.x(), cell.y());
    Repaint();
}

void TCurveValueTable::Repaint() {
    grid_->viewport()->update();
}

void TCurveValueTable::FollowMode() {
    const TUserCurve *curve = curves_.Current();
    const bool typing = curve && curve->Mode == cmIndividual;
    grid_->setEditable(typing);
}

bool TCurveValueTable::mousePress(QMouseEvent *e) {
    int c = -1;
    int r = -1;
    // Read before an open edit ends: its commit may move on and scroll.
    if (e->button() != Qt::LeftButton || !grid_->cellAt(e->position().toPoint(), &c, &r) || c < 1 ||
        r < 1)
        return false;
    grid_->setFocus(Qt::MouseFocusReason);
    grid_->closeEditor();
    grid_->setCurrentCell(c, r);
    Q_EMIT CellClicked(c, r);
    return true;
}

bool TCurveValueTable::keyDown(QKeyEvent *e) {
    if (grid_->editorOpen())
        return false; // the editor's own keys: the edit ends and the grid moves on
    const QPoint target = grid_->navigationTarget(e);
    if (target.x() < 0)
        return false;
    if (grid_->setCurrentCell(target.x(), target.y()))
        Q_EMIT CellClicked(grid_->col(), grid_->row());
    return true;
}

void TCurveValueTable::commit(int c, int r, const QString &text) {
    editText_.clear();
    TUserCurve *curve = curves_.Current();
    const int k = width_ * (r - 1) + c; // 1-based input
    if (!curve || k < 1 || k > CurveTableSize)
        return;
    int level = 0;
    if (readLevel(text, &level) == Typed::OutOfRange) {
        boxes_.Warning(RangeMessageText());
        grid_->setFocus();
        return;
    }
    curve->Table[std::size_t(k - 1)] = level;
    curves_.MarkEdited();
    if (k <= CurveMaxInput) {
        const QPoint next = CurveCellOfInput(width_, k);
        grid_->setCurrentCell(next.x(), next.y());
    }
    Repaint();
    grid_->setFocus();
    Q_EMIT LevelTyped();
}

} // namespace kestrava
