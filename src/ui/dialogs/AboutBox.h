#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace kestrava {

// The maker's notice line of the about box.
inline constexpr char kMakerNotice[] = "Copyright (C) ORV";
// The program's title, as the main window shows it.
inline constexpr char kApplicationTitle[] = "Kestrava";

// "バージョン情報": the program's title and version, the unit's firmware version and the
// maker's notice. Created once; Prepare fills it before every showing.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Version and unit lines and the notice, as the about item does before showing.
    void Prepare(int firmwareVersion);

    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *UnitVersion = nullptr;
    QLabel *Copyright = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
};

} // namespace kestrava
