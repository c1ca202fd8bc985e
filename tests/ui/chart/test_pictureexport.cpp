// Pictures leaving the program: PNG, SVG and PDF files written whole or not at all,
// the size limits, the clipboard, the printer, the dialogs and the context-menu commands.
// The pictures here are plain two-colour ones; the charts' own pictures are their tests.

#include "chart.h"
#include "pictureexport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest/QTest>
#include <QTimer>
#include <QContextMenuEvent>

#include "pixels.h"
#include "qtestapp.h"
#include "testfiles.h"

using namespace korvala::chart;

namespace {

const QColor kLeft(255, 0, 0);
const QColor kRight(0, 0, 255);

// A picture whose left half is red and right half blue; it records where it was drawn
// and can fail to give an image.
class TwoColours final : public ExportPicture
{
public:
    explicit TwoColours(PictureSize size) : m_size(size) {}

    PictureSize Size() const override { return m_size; }
    void Render(QPaintDevice &device, const QRectF &target) override
    {
        ++renders;
        targets.push_back(target);
        QPainter painter(&device);
        painter.translate(target.topLeft());
        painter.scale(target.width() / static_cast<double>(m_size.width),
                      target.height() / static_cast<double>(m_size.height));
        const double half = static_cast<double>(m_size.width) / 2;
        painter.fillRect(QRectF(0, 0, half, static_cast<double>(m_size.height)), kLeft);
        painter.fillRect(QRectF(half, 0, half, static_cast<double>(m_size.height)), kRight);
    }
    QImage Image() override { return failImage ? QImage() : ExportPicture::Image(); }

    bool failImage = false;
    int renders = 0;
    std::vector<QRectF> targets;

private:
    PictureSize m_size;
};

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QPrinter *ToPdf(QPrinter *printer, const QString &path)
{
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

// The PDF's page size in points, from its /MediaBox.
QSizeF MediaBox(const QByteArray &pdf)
{
    static const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

bool IsPdf(const QByteArray &bytes)
{
    return bytes.startsWith("%PDF-") && bytes.right(16).contains("%%EOF");
}

class ExportTest : public ::testing::Test
{
protected:
    void TearDown() override { SetDialogRunner({}); }
    QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ExportTest, PngSvgAndPdfFilesHoldThePictureAtItsSize)
{
    TwoColours picture({60, 40});
    SavePicture(picture, Path("two.png"));
    const QImage png(Path("two.png"));
    ASSERT_EQ(png.size(), QSize(60, 40));
    EXPECT_EQ(png.pixelColor(10, 20), kLeft);
    EXPECT_EQ(png.pixelColor(50, 20), kRight);
    EXPECT_EQ(png.dotsPerMeterX(), 3780); // shown at its size on a 96-dpi screen

    // Suffixes in any case name the format. The program's title "P & F" goes into the
    // drawing's title; the file stays well-formed XML.
    QCoreApplication::setApplicationName(QStringLiteral("P & F"));
    SavePicture(picture, Path("two.SVG"));
    const QByteArray svg = Bytes(Path("two.SVG"));
    QXmlStreamReader xml(svg);
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 60 40\""));
    EXPECT_TRUE(svg.contains("#ff0000") && svg.contains("#0000ff"));

    SavePicture(picture, Path("two.pdf"));
    const QByteArray pdf = Bytes(Path("two.pdf"));
    EXPECT_TRUE(IsPdf(pdf));
    EXPECT_EQ(MediaBox(pdf), QSizeF(60, 40)); // a pixel is a point

    // A long picture gets a page PDF readers open (at most 14 400 points a side).
    TwoColours wide({20000, 100});
    SavePicture(wide, Path("wide.pdf"));
    EXPECT_EQ(MediaBox(Bytes(Path("wide.pdf"))), QSizeF(14400, 72));

    EXPECT_FALSE(FormatOfPath(QStringLiteral("b.jpg")));
    EXPECT_FALSE(FormatOfPath(QStringLiteral("png")));
    EXPECT_THROW(SavePicture(picture, Path("two.jpg")), ExportError);
}

TEST_F(ExportTest, AFailedWriteKeepsTheEarlierFileAndLeavesNoTemporaryFile)
{
    QFile earlier(Path("chart.png"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("the earlier picture") > 0);
    earlier.close();
    TwoColours failing({30, 20});
    failing.failImage = true;
    const std::string error = korvala::test::ErrorOf<ExportError>([&] { SavePicture(failing, Path("chart.png")); });
    EXPECT_NE(error.find("chart.png"), std::string::npos) << error;
    EXPECT_EQ(Bytes(Path("chart.png")), QByteArray("the earlier picture"));
    EXPECT_EQ(Entries(dir), QStringList{QStringLiteral("chart.png")});
}

TEST_F(ExportTest, SizesNoOneCanOpenAreRefusedBeforeAnythingIsDrawn)
{
    EXPECT_TRUE(SizeRefusal({kMaxPictureSide, 3000}).isEmpty());
    EXPECT_TRUE(SizeRefusal({10000, 10000}).isEmpty()); // exactly 100 million pixels
    const QString tooWide = SizeRefusal({32768, 10});
    EXPECT_TRUE(tooWide.contains(QStringLiteral("32 768 × 10")) && tooWide.contains(QStringLiteral("32 767")))
        << tooWide.toStdString();
    EXPECT_TRUE(SizeRefusal({20000, 20000}).contains(QStringLiteral("100 million")));
    EXPECT_FALSE(SizeRefusal({0, 5}).isEmpty());

    TwoColours huge({40000, 10});
    EXPECT_THROW(SavePicture(huge, Path("huge.svg")), ExportError);
    EXPECT_THROW(CopyPicture(huge), ExportError);
    QPrinter printer(QPrinter::ScreenResolution);
    EXPECT_THROW(PrintPicture(huge, *ToPdf(&printer, Path("huge-print.pdf"))), ExportError);
    SetDialogRunner([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_THROW(SavePictureAs(nullptr, huge, QStringLiteral("huge")), ExportError); // before the dialog
    EXPECT_EQ(huge.renders, 0);
    EXPECT_TRUE(Entries(dir).isEmpty());
}

TEST_F(ExportTest, TheClipboardAndThePrinterGetThePicture)
{
    TwoColours picture({80, 30});
    CopyPicture(picture);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(80, 30));
    EXPECT_EQ(copied.pixelColor(5, 5), kLeft);
    EXPECT_EQ(copied.pixelColor(75, 25), kRight);

    // On paper: as large as the printable area allows, proportions kept, centred.
    QPrinter printer(QPrinter::ScreenResolution);
    PrintPicture(picture, *ToPdf(&printer, Path("print.pdf")));
    ASSERT_EQ(picture.targets.size(), 2u);
    const QRectF target = picture.targets.back();
    const QRectF area(0, 0, printer.width(), printer.height());
    EXPECT_NEAR(target.width() / target.height(), 80.0 / 30.0, 1e-9);
    EXPECT_NEAR(target.width(), area.width(), 1e-6); // a wide picture fills the width
    EXPECT_NEAR(target.center().y(), area.center().y(), 1e-6);
}

TEST_F(ExportTest, ChartsArePicturedByThePlottingLibraryAtTheAskedSize)
{
    Chart chart;
    chart.resize(400, 300);
    CandleSeries *series = chart.AddCandleSeries(QStringLiteral("s"));
    for (int i = 0; i < 20; ++i)
        series->Add(10 + i % 4, 14, 8, 11 - i % 4); // falling candles have red bodies
    chart.SetLegendVisible(false);

    ChartPicture picture(chart, QSize(300, 200));
    const QImage image = picture.Image();
    ASSERT_EQ(image.size(), QSize(300, 200));
    EXPECT_GT(korvala::test::CountPixels(image, korvala::test::Is(QColor(255, 0, 0))), 50);
    EXPECT_EQ(chart.size(), QSize(400, 300)); // the chart on screen keeps its size

    SavePicture(picture, Path("chart.pdf"));
    EXPECT_EQ(MediaBox(Bytes(Path("chart.pdf"))), QSizeF(300, 200));
    SavePicture(picture, Path("chart.svg"));
    const QByteArray svg = Bytes(Path("chart.svg"));
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 300 200\"") && svg.contains("#ff0000")); // red bodies as vectors

    // Without a size the picture takes the chart's own.
    EXPECT_EQ(ChartPicture(chart).Image().size(), QSize(400, 300));
}

TEST_F(ExportTest, TheDialogsChooseTheFileThePrinterAndShowThePreview)
{
    TwoColours picture({40, 20});
    // A name without suffix gets the chosen filter's; the dialog offers name.png first.
    QString offered;
    SetDialogRunner([&](QDialog &d) {
        auto &files = dynamic_cast<QFileDialog &>(d);
        offered = files.selectedFiles().value(0);
        files.selectNameFilter(QStringLiteral("SVG drawing (*.svg)"));
        files.selectFile(Path("chosen"));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(SavePictureAs(nullptr, picture, QStringLiteral("pf")));
    EXPECT_TRUE(offered.endsWith(QStringLiteral("pf.png"))) << offered.toStdString();
    EXPECT_EQ(Entries(dir), QStringList{QStringLiteral("chosen.svg")});

    SetDialogRunner([&](QDialog &d) {
        QPrinter *printer = dynamic_cast<QPrintDialog &>(d).printer();
        EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Landscape); // 40 × 20
        ToPdf(printer, Path("printed.pdf"));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(PrintPictureAs(nullptr, picture));
    EXPECT_TRUE(IsPdf(Bytes(Path("printed.pdf"))));
    SetDialogRunner([](QDialog &) { return int(QDialog::Rejected); });
    const int rendered = picture.renders;
    EXPECT_FALSE(PrintPictureAs(nullptr, picture));
    EXPECT_EQ(picture.renders, rendered);

    SetDialogRunner([&](QDialog &d) { // the preview draws the picture when it shows
        dynamic_cast<QPrintPreviewDialog &>(d).show();
        QCoreApplication::processEvents();
        return int(QDialog::Accepted);
    });
    PreviewPicture(nullptr, picture);
    EXPECT_GT(picture.renders, rendered);
}

TEST_F(ExportTest, TheContextMenuOfAChartInAWindowOfItsOwn)
{
    Chart chart;
    chart.resize(300, 200);
    int asked = 0;
    bool give = true;
    AddExportActions(
        &chart,
        [&]() -> std::unique_ptr<ExportPicture> {
            ++asked;
            return give ? std::make_unique<TwoColours>(PictureSize{24, 12}) : nullptr;
        },
        QStringLiteral("thing"));
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    // A right click on the plot, which keeps mouse events from its parent, opens them.
    QWidget *plot = chart.childAt(150, 100);
    ASSERT_TRUE(plot && plot->testAttribute(Qt::WA_NoMousePropagation));
    QStringList shown;
    QTimer::singleShot(0, [&] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            for (const QAction *a : popup->actions())
                shown << a->text();
            popup->close();
        }
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(150, 100), plot->mapToGlobal(QPoint(150, 100)));
    QApplication::sendEvent(plot, &click);
    EXPECT_EQ(shown.join(QLatin1Char('|')).toStdString(),
              "Export chart...|Copy chart|Print chart...|Print preview...");

    QGuiApplication::clipboard()->clear();
    chart.findChild<QAction *>(QStringLiteral("aCopyChart"))->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(24, 12));
    give = false; // nothing to picture: nothing happens
    chart.findChild<QAction *>(QStringLiteral("aCopyChart"))->trigger();
    EXPECT_EQ(asked, 2);
}
