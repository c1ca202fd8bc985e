#include "aboutbox.h"

#include "version.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace korvala {

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    p.setPen(QPen(QColor(90, 90, 110), 2));
    p.setBrush(QColor(252, 252, 252));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 9, 9);

    // Three columns: a rise of four boxes, a fall of three, a rise to a new high.
    struct Run
    {
        int col;
        int firstRow;
        int rows;
        bool rising;
    };
    const Run runs[] = {{0, 1, 4, true}, {1, 2, 3, false}, {2, 0, 4, true}};
    const double box = 8, left = 14, top = 8;
    for (const Run &run : runs) {
        const QColor fill = run.rising ? QColor(160, 255, 160) : QColor(255, 160, 160);
        const QColor line = run.rising ? QColor(0, 128, 0) : QColor(200, 0, 0);
        for (int r = 0; r < run.rows; ++r) {
            const QRectF cell(left + run.col * (box + 4), top + (run.firstRow + r) * box, box,
                              box);
            p.setPen(QPen(line, 1));
            p.setBrush(fill);
            p.drawRect(cell.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
    // The price axis.
    p.setPen(QPen(QColor(0, 0, 255), 2));
    p.drawLine(QPointF(9, 53), QPointF(55, 53));
    return pixmap;
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(298, 198);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setLineWidth(1);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(ProgramIconPixmap(48));
    ProgramIcon->setFixedSize(48, 48);

    ProductName = new QLabel(QStringLiteral("Корвала"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    ProductName->setFont(big);

    Version = new QLabel(QStringLiteral("Version " KORVALA_VERSION " alfa (Qt 6)"), Panel1);
    Version->setObjectName(QStringLiteral("Version"));

    Copyright = new QLabel(QStringLiteral("Автор: команда Корвалы"), Panel1);
    Copyright->setObjectName(QStringLiteral("Copyright"));

    Label1 = new QLabel(QStringLiteral("Автор не несет никакой ответственности за возможный ущерб, "
                                       "прямо или косвенно связанный с программой, если не "
                                       "согланы, то не используйте её"),
                        Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *heading = new QVBoxLayout;
    heading->setSpacing(2);
    heading->addWidget(ProductName);
    heading->addWidget(Version);
    heading->addWidget(Copyright);
    auto *top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto *panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(8, 8, 8, 8);
    panel->setSpacing(8);
    panel->addLayout(top);
    panel->addWidget(Label1, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(8);
    outer->addWidget(Panel1, 1);
    outer->addWidget(OKButton, 0, Qt::AlignHCenter);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    // Centred on the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

} // namespace korvala
