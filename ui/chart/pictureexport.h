#pragma once

// Pictures of the charts leave the program: as PNG, SVG or PDF files, through the
// clipboard and on paper. A chart that can be pictured says how large its picture is
// and draws it onto any paint device; what follows here is the same for every chart.

#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QAction;
class QDialog;
class QIODevice;
class QPaintDevice;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace korvala::chart {

class Chart;

// A picture's size in pixels, wide enough for charts far larger than any image.
struct PictureSize
{
    long long width = 0;
    long long height = 0;
};

// Something drawn as a picture of Size() pixels.
class ExportPicture
{
public:
    virtual ~ExportPicture() = default;

    virtual PictureSize Size() const = 0;
    // Draws the picture onto device, scaled into target (device coordinates). The
    // caller has checked the size (SizeRefusal).
    virtual void Render(QPaintDevice &device, const QRectF &target) = 0;
    // The picture at its own size on a white ground (null when it cannot be made).
    virtual QImage Image();
    // A PDF document of one page that holds the picture, written to out; false when it
    // could not be written.
    virtual bool WritePdf(QIODevice &out);
};

// The chart control's picture at size (the chart's own size when empty), drawn by the
// plotting library: its raster and PDF output for images and PDF files.
class ChartPicture final : public ExportPicture
{
public:
    explicit ChartPicture(Chart &chart, QSize size = {});

    PictureSize Size() const override;
    void Render(QPaintDevice &device, const QRectF &target) override;
    QImage Image() override;
    bool WritePdf(QIODevice &out) override;

private:
    Chart &m_chart;
    QSize m_size;
};

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name's suffix names (any case), none for another suffix.
std::optional<PictureFormat> FormatOfPath(const QString &path);

// Pictures beyond these sizes are refused: most programs cannot open an image wider or
// taller than 32 767 pixels, and 100 million pixels take 400 MB to show.
inline constexpr long long kMaxPictureSide = 32767;
inline constexpr long long kMaxPicturePixels = 100'000'000;

// Empty when a picture of this size can be made; else why not, for the user.
QString SizeRefusal(PictureSize size);

// An export that could not be done; the text says why.
class ExportError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes the picture to path in the format its suffix names. The file is written to a
// temporary file beside it that replaces path only when whole: a failure leaves an
// earlier file as it was and no temporary file behind. Throws ExportError.
void SavePicture(ExportPicture &picture, const QString &path);
// The picture as an image on the clipboard. Throws ExportError for a refused size.
void CopyPicture(ExportPicture &picture);
// The picture on one page of printer, as large as the printable area allows with its
// proportions kept, centred. Throws ExportError for a refused size.
void PrintPicture(ExportPicture &picture, QPrinter &printer);

// --- The dialogs. Each is run modally by a runner that tests replace: it gets the dialog
// ready to run and returns its result code.
using DialogRunner = std::function<int(QDialog &dialog)>;
// Installs runner (empty: exec) and returns the previous one.
DialogRunner SetDialogRunner(DialogRunner runner);

// Asks where to save the picture (PNG, SVG or PDF, by the chosen filter when the name
// has no suffix) and writes it there. name: the suggested file name without suffix.
// False when the user cancelled. Throws ExportError.
bool SavePictureAs(QWidget *parent, ExportPicture &picture, const QString &name);
// The print dialog, then the picture on the chosen printer. False when cancelled.
bool PrintPictureAs(QWidget *parent, ExportPicture &picture);
// The print preview of the picture; it prints from there.
void PreviewPicture(QWidget *parent, ExportPicture &picture);

// The commands for a chart in a window of its own: "Export chart...", "Copy chart",
// "Print chart..." and "Print preview..." (Ctrl+E, Ctrl+C, Ctrl+P), added to widget's
// context menu and answering their shortcuts while the widget's window is active.
// picture makes the picture when a command runs; name is the suggested file name.
using PictureSource = std::function<std::unique_ptr<ExportPicture>()>;
void AddExportActions(QWidget *widget, PictureSource picture, const QString &name);

} // namespace korvala::chart
