#pragma once

// The About box: product name, version, authorship and the disclaimer.

#include <QDialog>
#include <QPixmap>

class QLabel;
class QFrame;
class QPushButton;

namespace korvala {

// The program's icon drawn at a size: a few Point & Figure columns of boxes.
QPixmap ProgramIconPixmap(int size);

class TAboutBox final : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *Copyright = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace korvala
