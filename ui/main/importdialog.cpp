#include "importdialog.h"
#include "appmessages.h"

#include "numtext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvala {

namespace {

constexpr int kPreviewRows = 20;

QString FromStd(const std::string &text) { return QString::fromStdString(text); }

// Items with the option each stands for; the first one leaves the guess.
void AddItems(QComboBox *box, std::initializer_list<std::pair<const char *, int>> items)
{
    for (const auto &[text, value] : items)
        box->addItem(QString::fromUtf8(text), value);
}

void Select(QComboBox *box, int value)
{
    const int index = box->findData(value);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace

ImportDialog::ImportDialog(QWidget *parent, std::string_view bytes, const QString &fileName,
                           const ImportOptions &options)
    : QDialog(parent), m_bytes(bytes)
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("Import: ") + fileName);

    lblLayout = new QLabel(this);
    lblLayout->setObjectName(QStringLiteral("lblLayout"));
    lblLayout->setWordWrap(true);
    lblLayout->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cbSeparator = new QComboBox(this);
    cbSeparator->setObjectName(QStringLiteral("cbSeparator"));
    AddItems(cbSeparator, {{"as recognised", 0}, {"';'", ';'}, {"','", ','}, {"tab", '\t'}});
    cbDecimal = new QComboBox(this);
    cbDecimal->setObjectName(QStringLiteral("cbDecimal"));
    AddItems(cbDecimal, {{"as recognised", 0}, {"point", '.'}, {"comma", ','}});
    cbDates = new QComboBox(this);
    cbDates->setObjectName(QStringLiteral("cbDates"));
    AddItems(cbDates, {{"as recognised", static_cast<int>(DateOrder::Auto)},
                       {"day, month, year", static_cast<int>(DateOrder::DayMonthYear)},
                       {"month, day, year", static_cast<int>(DateOrder::MonthDayYear)},
                       {"year, month, day", static_cast<int>(DateOrder::YearMonthDay)}});
    auto *choices = new QFormLayout;
    choices->addRow(QStringLiteral("Separator"), cbSeparator);
    choices->addRow(QStringLiteral("Decimal mark"), cbDecimal);
    choices->addRow(QStringLiteral("Date order"), cbDates);

    grdRows = new QTableWidget(this);
    grdRows->setObjectName(QStringLiteral("grdRows"));
    grdRows->setColumnCount(7);
    grdRows->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Date"), QStringLiteral("Open"),
                                        QStringLiteral("High"), QStringLiteral("Low"), QStringLiteral("Close"),
                                        QStringLiteral("Volume")});
    grdRows->verticalHeader()->hide();
    grdRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRows->setSelectionMode(QAbstractItemView::NoSelection);
    grdRows->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    btnImport = Buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addLayout(choices);
    top->addWidget(lblLayout, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdRows, 1);
    layout->addWidget(Buttons);
    resize(760, 480);

    SetOptions(options);
    for (QComboBox *box : {cbSeparator, cbDecimal, cbDates})
        connect(box, &QComboBox::currentIndexChanged, this, Guarded(this, &ImportDialog::OptionsChange));
    OptionsChange();
}

void ImportDialog::SetOptions(const ImportOptions &options)
{
    Select(cbSeparator, options.separator);
    Select(cbDecimal, options.decimalMark);
    Select(cbDates, static_cast<int>(options.dateOrder));
}

ImportOptions ImportDialog::Options() const
{
    ImportOptions o;
    o.separator = static_cast<char>(cbSeparator->currentData().toInt());
    o.decimalMark = static_cast<char>(cbDecimal->currentData().toInt());
    o.dateOrder = static_cast<DateOrder>(cbDates->currentData().toInt());
    return o;
}

void ImportDialog::OptionsChange()
{
    grdRows->clearSpans();
    grdRows->setRowCount(0);
    ImportPreview preview;
    try {
        preview = PreviewImport(m_bytes, Options(), kPreviewRows);
    } catch (const ImportError &error) {
        lblLayout->setText(FromStd(error.what()));
        btnImport->setEnabled(false);
        return;
    }
    btnImport->setEnabled(true);
    QString text = FromStd(preview.layout.Text());
    if (preview.layout.dateOrders.size() > 1) {
        text += QStringLiteral("; the dates could also be ");
        for (std::size_t i = 1; i < preview.layout.dateOrders.size(); ++i)
            text += (i > 1 ? QStringLiteral(" or ") : QString())
                    + FromStd(DateFormText(preview.layout.dateShape, preview.layout.dateOrders[i]));
    }
    if (preview.layout.uncertain)
        text += QStringLiteral("; the columns are a guess: no header names them");
    lblLayout->setText(text);

    grdRows->setRowCount(static_cast<int>(preview.rows.size()));
    for (int r = 0; r < static_cast<int>(preview.rows.size()); ++r) {
        const PreviewRow &row = preview.rows[static_cast<std::size_t>(r)];
        const auto put = [this, r, &row](int c, const QString &value) {
            auto *item = new QTableWidgetItem(value);
            item->setToolTip(FromStd(row.text));
            if (!row.read)
                item->setForeground(Qt::gray);
            grdRows->setItem(r, c, item);
        };
        put(0, QString::number(row.line));
        if (!row.read) {
            put(1, QStringLiteral("skipped: ") + FromStd(SkipReasonText(row.reason, row.fields)) + QStringLiteral(" — ")
                       + FromStd(row.text));
            grdRows->setSpan(r, 1, 1, 6);
            continue;
        }
        put(1, FromStd(row.DateText));
        const double values[] = {row.Open, row.High, row.Low, row.Close, row.Volume};
        for (int c = 0; c < 5; ++c)
            put(2 + c, FromStd(FormatRoundTrip(values[c])));
    }
}

} // namespace korvala
