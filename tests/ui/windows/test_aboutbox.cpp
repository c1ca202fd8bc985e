// The About box: its fixed texts, size and default button.

#include "aboutbox.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "qtestapp.h"

using namespace korvala;

TEST(AboutBox, TextsLookAndTheDefaultButton)
{
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
    // Enter closes it through the default button.
    QTimer::singleShot(0, &box, [&box] { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}
