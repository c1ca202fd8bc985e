// The About box: its fixed texts, size and default button.

#include "uAbout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace korvala;

namespace {

QApplication &App()
{
    static int argc = 1;
    static char name[] = "korvala-test";
    static char *argv[] = {name, nullptr};
    static auto *app = new QApplication(argc, argv);
    return *app;
}

} // namespace

TEST(AboutBox, TextsAndLook)
{
    App();
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.size(), QSize(298, 198));
    EXPECT_EQ(box.ProductName->text(), QStringLiteral("Корвала"));
    EXPECT_TRUE(box.Version->text().startsWith(QStringLiteral("Version 0.0.1 alfa")));
    EXPECT_FALSE(box.Copyright->text().isEmpty());
    EXPECT_EQ(box.Label1->text(),
              QStringLiteral("Автор не несет никакой ответственности за возможный ущерб, прямо или "
                             "косвенно связанный с программой, если не согланы, то не используйте её"));
    EXPECT_TRUE(box.Label1->wordWrap());
    EXPECT_EQ(box.OKButton->text(), QStringLiteral("OK"));
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_TRUE(box.isModal());
}

TEST(AboutBox, EnterClosesItThroughTheDefaultButton)
{
    App();
    TAboutBox box;
    QTimer::singleShot(0, &box, [&box] { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}

TEST(AboutBox, ProgramIconShowsBoxesOfBothColours)
{
    App();
    const QImage icon = ProgramIconPixmap(64).toImage();
    bool green = false, red = false;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            green = green || icon.pixelColor(x, y) == QColor(160, 255, 160);
            red = red || icon.pixelColor(x, y) == QColor(255, 160, 160);
        }
    EXPECT_TRUE(green);
    EXPECT_TRUE(red);
}
