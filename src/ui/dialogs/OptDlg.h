#pragma once

#include "PatchModel.h"

#include "Usr_ctrl.h"
#include "Usr_misc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <functional>

namespace kestrava {

struct TAppSettings;

// The options dialog: COM port, channel counts and the overwrite warning. The main
// window fills it with Load, runs it and applies the texts itself after OK.
class TOptDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxChannels = OutputCount;

    // boxes: where a number out of range is warned about.
    explicit TOptDlg(TBoxes boxes, QWidget *parent = nullptr);

    // portItems as ListComPorts gives them with names; the item of comPortNo is
    // selected, none when that port is not listed.
    void Load(const QStringList &portItems, int comPortNo, int maxRx, int maxTx, bool warn);
    // Where the port finder lists the ports again, as Load's items are made.
    void SetPortLister(std::function<QStringList()> listPorts) {
        listPorts_ = std::move(listPorts);
    }
    // The port finder: the ports with the unit unplugged, then plugged in; the port that
    // appeared is chosen. Only the system's device list is read: no byte goes to any device.
    void FindPort();
    QString ComPortText() const { return ComPortCombo->currentText(); }
    // The COM number of the chosen item, 0 when none is chosen.
    int ComPortNumber() const;
    QString MaxRxText() const { return MaxRxChEdit->text(); }
    QString MaxTxText() const { return MaxTxChEdit->text(); }
    bool Warn() const { return WarnPatCheckBox->isChecked(); }
    // After OK: the channel counts typed go to the settings and the patches, each kept
    // within 1..MaxChannels; a text that is not a number changes nothing.
    void ApplyChannelCounts(TAppSettings &settings, TPatchModel &patches) const;

    // Closing with OK is refused while a number is out of range.
    void done(int result) override;

Q_SIGNALS:
    void helpRequested(int context);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void layOut();
    void FormCreate();
    void MaxRxChEditChange();
    void MaxTxChEditChange();
    void NumberEditExit(QLineEdit *edit);
    void WarnOutOfRange(QLineEdit *edit);
    TUpDown *upDownOf(const QLineEdit *edit) const;

    TBoxes boxes_;
    QGroupBox *GroupBox1;
    QLabel *Label1;
    QComboBox *ComPortCombo;
    QGroupBox *GroupBox2;
    QLineEdit *MaxRxChEdit;
    TUpDown *MaxRxUpDown;
    QGroupBox *GroupBox3;
    QLineEdit *MaxTxChEdit;
    TUpDown *MaxTxUpDown;
    QPushButton *FindPortBtn;
    QCheckBox *WarnPatCheckBox;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    bool exitWarningPending_ = false; // one warning at a time
    std::function<QStringList()> listPorts_;
};

} // namespace kestrava
