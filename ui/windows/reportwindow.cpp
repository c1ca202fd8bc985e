#include "reportwindow.h"
#include "appmessages.h"

#include "reportfile.h"
#include "reports.h"
#include "texts.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvala {

namespace {

QString RunSaveDialog(QFileDialog &sd)
{
    if (sd.exec() != QDialog::Accepted || sd.selectedFiles().isEmpty())
        return {};
    return sd.selectedFiles().constFirst();
}

} // namespace

TfReport::TfReport(QWidget *parent)
    : QDialog(parent)
    , re(new QPlainTextEdit(this))
    , MainMenu1(new QMenuBar(this))
    , N1(new QAction(QStringLiteral("Save"), this))
    , sd(new QFileDialog(this))
    , m_askSavePath(RunSaveDialog)
{
    setObjectName(QStringLiteral("fReport"));
    setWindowTitle(QStringLiteral("Отчет"));
    resize(696, 480);

    re->setObjectName(QStringLiteral("re"));
    re->setLineWrapMode(QPlainTextEdit::NoWrap);
    re->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    re->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    N1->setObjectName(QStringLiteral("N1"));
    N1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    MainMenu1->addAction(N1);
    connect(N1, &QAction::triggered, this, Guarded(this, &TfReport::N1Click));

    sd->setObjectName(QStringLiteral("sd"));
    sd->setAcceptMode(QFileDialog::AcceptSave);
    sd->setFileMode(QFileDialog::AnyFile);
    sd->setOption(QFileDialog::DontConfirmOverwrite);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(re);
}

TfReport::~TfReport() = default;

void TfReport::Clear() { re->clear(); }

void TfReport::AddLine(const std::string &line)
{
    std::vector<std::string> lines = Lines();
    lines.push_back(line);
    SetLines(lines);
}

void TfReport::SetLines(const std::vector<std::string> &lines)
{
    re->setPlainText(QString::fromStdString(MemoText(lines)));
}

std::vector<std::string> TfReport::Lines() const
{
    return MemoLines(re->toPlainText().toStdString());
}

void TfReport::ShowModal() { exec(); }

bool TfReport::ConfirmLoss(const QString &warning)
{
    if (m_confirmLoss)
        return m_confirmLoss(warning);
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kAppTitle), warning,
                    QMessageBox::Save | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Сохранить"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

void TfReport::N1Click()
{
    const std::vector<std::string> lines = Lines();
    const std::string warning = ReportFileLossWarning(lines);
    if (!warning.empty() && !ConfirmLoss(QString::fromStdString(warning)))
        return;
    sd->selectFile(QStringLiteral("rep0001.txt"));
    const QString path = m_askSavePath(*sd);
    if (path.isEmpty())
        return;
    SaveReportFile(QFile::encodeName(path).toStdString(), lines);
}

} // namespace korvala
