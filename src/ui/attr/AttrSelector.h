#pragma once

#include <QFrame>

class QComboBox;

namespace kestrava {

// The cell and the rows an open selector works on; all -1 while it is closed.
struct TEditRange {
    int col = -1;
    int row = -1;
    int first = -1; // first and last selected row
    int last = -1;
};

// InpCrvPanel: the in-place chooser of a load attribute, a borderless panel with the
// drop-down list SelCrvComboBox laid over the current cell of the grid. Choosing an
// item (a click or Enter in the list, or any change while the list is closed)
// applies it; Escape or the focus going elsewhere closes it without change.
class TAttrSelector : public QFrame {
    Q_OBJECT
public:
    // area: the widget whose coordinates place the panel (the grid's viewport); grid
    // gets the focus back when the selector closes. Resizing the area closes it.
    TAttrSelector(QWidget *area, QWidget *grid);

    // Shows the panel over cell (in the grid's coordinates) with item index chosen,
    // focused and dropped down, and remembers the range.
    void Open(const TEditRange &range, const QRect &cell, int index);
    // Closes without change.
    void Close();
    bool IsOpen() const { return range_.col >= 0; }
    const TEditRange &EditRange() const { return range_; }
    QComboBox *ComboBox() const { return SelCrvComboBox; }

Q_SIGNALS:
    // An item was chosen for the range; the selector is closed by then.
    void Applied(TEditRange range, int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SelCrvComboBoxChange();
    bool leftForElsewhere(const QFocusEvent *event) const;

    QWidget *area_;
    QWidget *grid_;
    QComboBox *SelCrvComboBox;
    TEditRange range_;
    bool pressedInList_ = false;
};

} // namespace kestrava
