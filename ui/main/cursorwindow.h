#pragma once

// The cursor window: a small tool-tip style pop-up next to the mouse pointer that
// describes the cell under it. Top-most, never takes the focus, owned by the main
// window; shown, moved and re-texted by the grid's mouse handler.

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCursor;

namespace korvala {

class CursorWindow final : public QWidget
{
    Q_OBJECT

public:
    static const QColor kBackColor; // RGB 240, 240, 255
    static constexpr int kTextInset = 2;

    explicit CursorWindow(QWidget *owner);

    // Line height and widest line of a text in the pop-up's font.
    int LineHeight() const;
    int MaxLineWidth(const QString &text) const;

    // Shows text over rect (screen coordinates) and brings the pop-up to the front
    // without taking the focus.
    void ShowText(const QString &text, const QRect &rect);
    QString Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QStringList m_lines;
};

// The standard cursor height, used when a cursor's image cannot be read.
inline constexpr int kStandardCursorHeight = 32;

// The lowest image row that shows a pixel, minus the hot spot's row; -1 - hotSpotY for
// an image without visible pixels.
int CursorMarginFromImage(const QImage &image, int hotSpotY);
// The vertical extent of a cursor below its hot spot: from its own image where the
// toolkit gives one (bitmap and pixmap cursors), else the standard cursor height.
int CursorHeightMargin(const QCursor &cursor);

} // namespace korvala
