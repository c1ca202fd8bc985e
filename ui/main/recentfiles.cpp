#include "recentfiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace korvala {

QStringList WithRecentFile(QStringList files, const QString &path, int max)
{
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > max)
        files.removeLast();
    return files;
}

RecentFiles::RecentFiles(QMenu *menu, QObject *parent) : QObject(parent), m_menu(menu)
{
    Fill();
}

void RecentFiles::SetFiles(const QStringList &files)
{
    m_files.clear();
    for (const QString &file : files)
        if (!file.isEmpty() && !m_files.contains(file) && m_files.size() < kMax)
            m_files.append(file);
    Fill();
}

void RecentFiles::Add(const QString &path)
{
    m_files = WithRecentFile(m_files, QFileInfo(path).absoluteFilePath(), kMax);
    Fill();
}

void RecentFiles::Remove(const QString &path)
{
    m_files.removeAll(path);
    Fill();
}

void RecentFiles::Fill()
{
    // The list may change from the slot of one of its own items: those go later.
    for (QAction *action : m_menu->actions()) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    for (int i = 0; i < m_files.size(); ++i) {
        const QString path = m_files[i];
        // "&&" keeps an ampersand of the path from becoming an access key.
        QString text = QDir::toNativeSeparators(path);
        text.replace(u'&', QStringLiteral("&&"));
        auto *action = new QAction(
            (i < 9 ? u'&' + QString::number(i + 1) : QString::number(i + 1)) + u' ' + text, m_menu);
        action->setData(path);
        m_menu->addAction(action);
        connect(action, &QAction::triggered, this, [this, path] { emit OpenRequested(path); });
    }
    m_menu->setEnabled(!m_files.isEmpty());
}

} // namespace korvala
