#pragma once

// The import preview: what was recognised in a file, its first rows as the import will
// read them, and the corrections the user may make (separator, decimal mark, order of
// the date's parts).

#include "quoteimport.h"

#include <QDialog>
#include <QString>

#include <string_view>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace korvala {

class ImportDialog final : public QDialog
{
    Q_OBJECT

public:
    // bytes: the whole file, which must outlive the dialog.
    ImportDialog(QWidget *parent, std::string_view bytes, const QString &fileName,
                 const ImportOptions &options = {});

    // The corrections chosen (0 and Auto where the guess stands).
    ImportOptions Options() const;

    QLabel *lblLayout = nullptr;      // the recognised layout, or why none was found
    QTableWidget *grdRows = nullptr;  // the first rows as they will be read
    QComboBox *cbSeparator = nullptr;
    QComboBox *cbDecimal = nullptr;
    QComboBox *cbDates = nullptr;
    QDialogButtonBox *Buttons = nullptr;
    QPushButton *btnImport = nullptr;

    // A correction changed: the preview is read again.
    void OptionsChange();

private:
    void SetOptions(const ImportOptions &options);

    std::string_view m_bytes;
};

} // namespace korvala
