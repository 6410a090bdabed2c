#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace kestrava {

// Spin buttons attached to an edit box. Unlike a spin box, the edit may hold any
// text: the dialogs show a number out of range in red instead of refusing it.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);

    void setAssociate(QLineEdit *edit); // the edit the buttons step (may be null)
    QLineEdit *associate() const { return edit_; }
    void setRange(int minimum, int maximum); // an inverted pair is swapped
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int position() const { return pos_; }
    void setPosition(int value); // clamped to the range; does not touch the edit
    QSize sizeHint() const override;

Q_SIGNALS:
    void positionChanged(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override; // Up/Down keys in the edit

private:
    void step(int delta); // from the buttons and the arrow keys: writes the edit
    QPointer<QLineEdit> edit_;
    int min_ = 0;
    int max_ = 100;
    int pos_ = 0;
};

// Sets the position; an associated edit shows it printed with "%i".
void SetUpDownPosition(TUpDown *upDown, int value);
// Whether the associated edit's text is a number within the range (unreadable text
// counts as minimum - 1); true without an associated edit.
bool IsUpDownTextInRange(const TUpDown *upDown);

// Bulk changes repaint once: updates off, then on again with one full repaint.
void SuspendRedraw(QWidget *window);
void ResumeRedraw(QWidget *window);

} // namespace kestrava
