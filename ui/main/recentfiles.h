#pragma once

// RecentFiles: the File menu's list of the quote files opened last.

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

namespace korvala {

// The list with path put first: once only, at most max entries.
QStringList WithRecentFile(QStringList files, const QString &path, int max);

// Fills a menu with the files, newest first ("&1 /path/quotes.txt" …); the menu is
// disabled while the list is empty. Choosing one asks for it to be opened.
class RecentFiles final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMax = 10;

    explicit RecentFiles(QMenu *menu, QObject *parent = nullptr);

    QStringList Files() const { return m_files; }
    void SetFiles(const QStringList &files);
    // The file was opened: it goes first.
    void Add(const QString &path);
    void Remove(const QString &path);
    QMenu *Menu() const { return m_menu; }

signals:
    void OpenRequested(const QString &path);

private:
    void Fill();

    QMenu *m_menu;
    QStringList m_files;
};

} // namespace korvala
