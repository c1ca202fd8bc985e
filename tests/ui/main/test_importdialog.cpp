// The import preview: the recognised layout, the first rows as they will be read, and the
// corrections, each of which reads the preview again.

#include "guiapp.h"

#include "importdialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <string>

using namespace korvala;

namespace {

void Choose(QComboBox *box, int value) { box->setCurrentIndex(box->findData(value)); }

QString Row(const ImportDialog &d, int r)
{
    QStringList cells;
    for (int c = 0; c < d.grdRows->columnCount(); ++c)
        if (const QTableWidgetItem *item = d.grdRows->item(r, c))
            cells << item->text();
    return cells.join(QLatin1Char('|'));
}

} // namespace

TEST(ImportDialog, ShowsTheRowsAsTheyWillBeReadAndTakesCorrections)
{
    const std::string file = "01/02/2020;10:00;1,5;2;1;1,25;7\n02/02/2020;10:00;x;2;1;1;7\n"
                             "03/02/2020;10:00;1,25;2;1;1,5;7\n03/02/2020;10:00\n";
    ImportDialog dialog(nullptr, file, QStringLiteral("quotes.csv"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import: quotes.csv"));
    EXPECT_TRUE(dialog.btnImport->isEnabled());
    EXPECT_EQ(dialog.lblLayout->text().toStdString(),
              "export without column names: ';', MM/DD/YYYY, HH:MM, decimal comma; "
              "the dates could also be DD/MM/YYYY");
    ASSERT_EQ(dialog.grdRows->rowCount(), 4);
    EXPECT_EQ(Row(dialog, 0).toStdString(), "1|02.01.20 10:00|1,5|2|1|1,25|7");
    EXPECT_EQ(Row(dialog, 1).toStdString(), "2|skipped: with a bad number — 02/02/2020;10:00;x;2;1;1;7");
    EXPECT_EQ(Row(dialog, 3).toStdString(), "4|skipped: with 2 fields — 03/02/2020;10:00");
    EXPECT_EQ(dialog.grdRows->item(0, 3)->toolTip(), QStringLiteral("01/02/2020;10:00;1,5;2;1;1,25;7"));

    // Day first: the preview is read again.
    Choose(dialog.cbDates, static_cast<int>(DateOrder::DayMonthYear));
    EXPECT_EQ(Row(dialog, 0).toStdString(), "1|01.02.20 10:00|1,5|2|1|1,25|7");
    EXPECT_EQ(dialog.Options().dateOrder, DateOrder::DayMonthYear);
    EXPECT_EQ(dialog.Options().separator, 0);

    // A separator the file does not have: no layout, nothing to import.
    Choose(dialog.cbSeparator, '\t');
    EXPECT_FALSE(dialog.btnImport->isEnabled());
    EXPECT_EQ(dialog.grdRows->rowCount(), 0);
    EXPECT_TRUE(dialog.lblLayout->text().startsWith(QStringLiteral("Not a quote file: expected"))) << dialog.lblLayout->text().toStdString();
    // A decimal point for numbers written with a comma: no prices, no layout either.
    Choose(dialog.cbSeparator, ';');
    Choose(dialog.cbDecimal, '.');
    EXPECT_FALSE(dialog.btnImport->isEnabled());
    EXPECT_EQ(dialog.Options().decimalMark, '.');
    Choose(dialog.cbDecimal, ',');
    EXPECT_TRUE(dialog.btnImport->isEnabled());
    EXPECT_EQ(Row(dialog, 2).toStdString(), "3|03.02.20 10:00|1,25|2|1|1,5|7"); // still day first

    // Corrections given up front are shown and used.
    ImportOptions given;
    given.dateOrder = DateOrder::DayMonthYear;
    const ImportDialog preset(nullptr, file, QStringLiteral("quotes.csv"), given);
    EXPECT_EQ(preset.cbDates->currentData().toInt(), static_cast<int>(DateOrder::DayMonthYear));
    EXPECT_EQ(Row(preset, 0).toStdString(), "1|01.02.20 10:00|1,5|2|1|1,25|7");
}
