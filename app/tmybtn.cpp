#include "app/tmybtn.h"

int Tmybtn::LinkList::IndexOf(const QString &key) const
{
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Tmybtn *Tmybtn::LinkList::Find(const QString &key) const
{
    const int i = IndexOf(key);
    return i < 0 ? nullptr : m_entries[i].button;
}

void Tmybtn::LinkList::Add(const QString &key, Tmybtn *button) { m_entries.append({key, button}); }

void Tmybtn::LinkList::Remove(const QString &key)
{
    const int i = IndexOf(key);
    if (i >= 0)
        m_entries.removeAt(i);
}

Tmybtn::Tmybtn(QWidget *parent) : QPushButton(parent) {}
