#pragma once

#include "Progress.h"

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>

namespace kestrava {

// The main window's status bar: fixed-width panels side by side, each a text.
class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(const QList<int> &panelWidths, QWidget *parent = nullptr);
    int panelCount() const;
    int panelWidth(int panel) const;
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text); // ignores an invalid index
    QLabel *panel(int panel) const;                    // null for an invalid index
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutPanels();
    QList<int> widths_;
    QList<QLabel *> panels_;
};

// The progress bar inside one panel while a transfer runs, its text in another.
class StatusBarProgress : public TransferProgress {
public:
    StatusBarProgress(TStatusBar *statusBar, int barPanel);
    ~StatusBarProgress() override;
    StatusBarProgress(const StatusBarProgress &) = delete;
    StatusBarProgress &operator=(const StatusBarProgress &) = delete;
    void setTextPanel(int panel) { textPanel_ = panel; }
    int textPanel() const { return textPanel_; }
    QProgressBar *bar() const { return bar_; } // null when barPanel was not a panel

    void Start(const QString &text) override;
    void SetFraction(double fraction) override;
    void Finish(const QString &text) override;

private:
    void placeBar();
    QPointer<TStatusBar> statusBar_;
    QPointer<QProgressBar> bar_;
    int barPanel_;
    int textPanel_ = -1;
    bool waitCursor_ = false; // our hourglass is on the override-cursor stack
};

} // namespace kestrava
