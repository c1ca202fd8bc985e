#include "pictureexport.h"

#include "chart.h"
#include "numtext.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>

namespace korvala::chart {

namespace {

// Pixels per metre at 96 dots per inch: the size a picture has on screen.
constexpr int kDotsPerMeter = 3780;
constexpr int kScreenDpi = 96;
// The largest page side PDF readers open: 200 inches.
constexpr double kMaxPdfPagePoints = 14400;

struct FormatInfo
{
    PictureFormat format;
    const char *suffix;
    const char *filter;
};

constexpr FormatInfo kFormats[] = {
    {PictureFormat::Png, "png", "PNG image (*.png)"},
    {PictureFormat::Svg, "svg", "SVG drawing (*.svg)"},
    {PictureFormat::Pdf, "pdf", "PDF document (*.pdf)"},
};

DialogRunner &Runner()
{
    static DialogRunner runner;
    return runner;
}

int RunDialog(QDialog &dialog)
{
    return Runner() ? Runner()(dialog) : dialog.exec();
}

// The folder of the last export in this run of the program.
QString &LastFolder()
{
    static QString folder;
    return folder;
}

QString CannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
}

void Fail(const QString &text) { throw ExportError(text.toStdString()); }

void CheckSize(const ExportPicture &picture)
{
    const QString refusal = SizeRefusal(picture.Size());
    if (!refusal.isEmpty())
        Fail(refusal);
}

QSize SmallSize(PictureSize size)
{
    return QSize(static_cast<int>(size.width), static_cast<int>(size.height));
}

bool WriteSvg(ExportPicture &picture, QIODevice &out)
{
    const QSize size = SmallSize(picture.Size());
    QSvgGenerator generator;
    generator.setOutputDevice(&out);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(kScreenDpi);
    // The generator writes these texts as they are: markup characters must be escaped.
    generator.setTitle(QCoreApplication::applicationName().toHtmlEscaped());
    generator.setDescription(QStringLiteral("Корвала").toHtmlEscaped());
    picture.Render(generator, QRectF(QPointF(0, 0), QSizeF(size)));
    return true;
}

bool DeviceFine(const QIODevice &out)
{
    const auto *file = qobject_cast<const QFileDevice *>(&out);
    return !file || file->error() == QFileDevice::NoError;
}

// A printer for the picture, once its size has passed: with the screen's resolution, so
// that texts keep their size against the lines (the output stays vectors); a wide
// picture turns the page.
std::unique_ptr<QPrinter> PrinterFor(const ExportPicture &picture)
{
    CheckSize(picture);
    auto printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    printer->setColorMode(QPrinter::Color);
    printer->setDocName(QCoreApplication::applicationName());
    const PictureSize size = picture.Size();
    printer->setPageOrientation(size.width > size.height ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait);
    return printer;
}

} // namespace

// --- ExportPicture -----------------------------------------------------------------

QImage ExportPicture::Image()
{
    const PictureSize size = Size();
    if (!SizeRefusal(size).isEmpty() || size.width <= 0 || size.height <= 0)
        return {};
    QImage image(SmallSize(size), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    Render(image, QRectF(image.rect()));
    return image;
}

bool ExportPicture::WritePdf(QIODevice &out)
{
    const PictureSize size = Size();
    // One pixel is one point, as the plotting library's PDF output has it; a page larger
    // than readers open is scaled down (the drawing is vectors and stays sharp).
    const double longest = static_cast<double>(std::max(size.width, size.height));
    const double scale = std::min(1.0, kMaxPdfPagePoints / std::max(1.0, longest));
    QPdfWriter writer(&out);
    writer.setResolution(kScreenDpi);
    writer.setCreator(QCoreApplication::applicationName());
    const QPageSize page(QSizeF(static_cast<double>(size.width) * scale,
                                static_cast<double>(size.height) * scale),
                         QPageSize::Point, QString(), QPageSize::ExactMatch);
    if (!writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF())))
        return false;
    Render(writer, QRectF(0, 0, writer.width(), writer.height()));
    return DeviceFine(out);
}

// --- ChartPicture ------------------------------------------------------------------

ChartPicture::ChartPicture(Chart &chart, QSize size)
    : m_chart(chart)
    , m_size(size.isEmpty() ? chart.size() : size)
{
}

PictureSize ChartPicture::Size() const { return {m_size.width(), m_size.height()}; }

void ChartPicture::Render(QPaintDevice &device, const QRectF &target)
{
    m_chart.Render(device, target, m_size);
}

QImage ChartPicture::Image()
{
    QImage image = m_chart.ToImage(m_size).convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

bool ChartPicture::WritePdf(QIODevice &out)
{
    // The plotting library writes its PDF to a file of its own; it reaches out from there.
    const QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    const QString path = folder.filePath(QStringLiteral("chart.pdf"));
    if (!m_chart.SavePdf(path, m_size))
        return false;
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly))
        return false;
    while (!pdf.atEnd()) {
        const QByteArray chunk = pdf.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            return false;
    }
    return DeviceFine(out);
}

// --- Files, clipboard, printer ------------------------------------------------------

std::optional<PictureFormat> FormatOfPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FormatInfo &f : kFormats) {
        if (suffix == QLatin1String(f.suffix))
            return f.format;
    }
    return std::nullopt;
}

QString SizeRefusal(PictureSize size)
{
    const auto pixels = [](long long n) {
        return QString::fromStdString(FormatN(static_cast<double>(n), 0));
    };
    if (size.width <= 0 || size.height <= 0)
        return QStringLiteral("There is no picture to export");
    const QString dims = pixels(size.width) + QStringLiteral(" × ") + pixels(size.height);
    if (size.width > kMaxPictureSide || size.height > kMaxPictureSide)
        return QStringLiteral("The picture would be %1 pixels; pictures wider or taller than %2 "
                              "pixels cannot be opened by most programs")
            .arg(dims, pixels(kMaxPictureSide));
    if (size.width * size.height > kMaxPicturePixels)
        return QStringLiteral("The picture would be %1 pixels, more than %2 million pixels")
            .arg(dims, pixels(kMaxPicturePixels / 1'000'000));
    return {};
}

void SavePicture(ExportPicture &picture, const QString &path)
{
    const std::optional<PictureFormat> format = FormatOfPath(path);
    if (!format)
        Fail(CannotWrite(path, QStringLiteral("the name must end in .png, .svg or .pdf")));
    CheckSize(picture);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Fail(CannotWrite(path, file.errorString()));
    bool written = false;
    switch (*format) {
    case PictureFormat::Png: {
        const QImage image = picture.Image();
        written = !image.isNull() && image.save(&file, "PNG");
        break;
    }
    case PictureFormat::Svg:
        written = WriteSvg(picture, file);
        break;
    case PictureFormat::Pdf:
        written = picture.WritePdf(file);
        break;
    }
    if (!written || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("the picture could not be made");
        file.cancelWriting();
        Fail(CannotWrite(path, reason));
    }
    if (!file.commit())
        Fail(CannotWrite(path, file.errorString()));
}

void CopyPicture(ExportPicture &picture)
{
    CheckSize(picture);
    const QImage image = picture.Image();
    if (image.isNull())
        Fail(QStringLiteral("The picture could not be made"));
    QGuiApplication::clipboard()->setImage(image);
}

void PrintPicture(ExportPicture &picture, QPrinter &printer)
{
    CheckSize(picture);
    const PictureSize size = picture.Size();
    const QSizeF area(printer.width(), printer.height());
    const double scale = std::min(area.width() / static_cast<double>(size.width),
                                  area.height() / static_cast<double>(size.height));
    const QSizeF fitted(static_cast<double>(size.width) * scale,
                        static_cast<double>(size.height) * scale);
    const QPointF corner((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2);
    picture.Render(printer, QRectF(corner, fitted));
}

// --- Dialogs ---------------------------------------------------------------------------

DialogRunner SetDialogRunner(DialogRunner runner)
{
    DialogRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}

bool SavePictureAs(QWidget *parent, ExportPicture &picture, const QString &name)
{
    CheckSize(picture);
    QFileDialog dialog(parent, QStringLiteral("Export chart"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FormatInfo &f : kFormats)
        filters << QString::fromLatin1(f.filter);
    dialog.setNameFilters(filters);
    if (!LastFolder().isEmpty())
        dialog.setDirectory(LastFolder());
    dialog.selectFile(name + QStringLiteral(".png"));
    if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QString path = dialog.selectedFiles().constFirst();
    if (!FormatOfPath(path)) {
        const qsizetype i = filters.indexOf(dialog.selectedNameFilter());
        path += QLatin1Char('.') + QLatin1String(kFormats[std::max<qsizetype>(0, i)].suffix);
    }
    LastFolder() = QFileInfo(path).absolutePath();
    SavePicture(picture, path);
    return true;
}

bool PrintPictureAs(QWidget *parent, ExportPicture &picture)
{
    const std::unique_ptr<QPrinter> printer = PrinterFor(picture);
    QPrintDialog dialog(printer.get(), parent);
    if (RunDialog(dialog) != QDialog::Accepted)
        return false;
    PrintPicture(picture, *printer);
    return true;
}

void PreviewPicture(QWidget *parent, ExportPicture &picture)
{
    const std::unique_ptr<QPrinter> printer = PrinterFor(picture);
    QPrintPreviewDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Print preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&picture](QPrinter *p) { PrintPicture(picture, *p); });
    RunDialog(dialog);
}

void AddExportActions(QWidget *widget, PictureSource picture, const QString &name)
{
    const auto add = [widget, picture](const QString &text, const QKeySequence &keys,
                                       const char *objectName, auto command) {
        auto *action = new QAction(text, widget);
        action->setObjectName(QString::fromLatin1(objectName));
        action->setShortcut(keys);
        QObject::connect(action, &QAction::triggered, widget, [widget, picture, command] {
            const std::unique_ptr<ExportPicture> p = picture();
            if (p)
                command(widget, *p);
        });
        widget->addAction(action);
    };
    add(QStringLiteral("Export chart..."), QKeySequence(Qt::CTRL | Qt::Key_E), "aExportChart",
        [name](QWidget *w, ExportPicture &p) { SavePictureAs(w, p, name); });
    add(QStringLiteral("Copy chart"), QKeySequence(Qt::CTRL | Qt::Key_C), "aCopyChart",
        [](QWidget *, ExportPicture &p) { CopyPicture(p); });
    add(QStringLiteral("Print chart..."), QKeySequence(Qt::CTRL | Qt::Key_P), "aPrintChart",
        [](QWidget *w, ExportPicture &p) { PrintPictureAs(w, p); });
    add(QStringLiteral("Print preview..."), QKeySequence(), "aPrintPreview",
        [](QWidget *w, ExportPicture &p) { PreviewPicture(w, p); });
    widget->setContextMenuPolicy(Qt::ActionsContextMenu);
}

} // namespace korvala::chart
