#pragma once
// A channel button of the routing panel. Its link list records the
// crosspoints: an input holds "Op" + output number -> output button for each
// output routed from it; an output holds at most "in" -> its input button.
#include <QList>
#include <QPushButton>
#include <QString>

class Tmybtn : public QPushButton {
    Q_OBJECT
public:
    // Keys compare without letter case; entries keep their insertion order,
    // which is the order outputs are coloured in.
    class LinkList {
    public:
        int IndexOf(const QString &key) const;
        Tmybtn *Find(const QString &key) const;
        void Add(const QString &key, Tmybtn *button);
        void Remove(const QString &key);
        void Clear() { m_entries.clear(); }
        int Count() const { return m_entries.size(); }
        const QString &Key(int i) const { return m_entries[i].key; }
        Tmybtn *Object(int i) const { return m_entries[i].button; }

    private:
        struct Entry {
            QString key;
            Tmybtn *button;
        };
        QList<Entry> m_entries;
    };

    explicit Tmybtn(QWidget *parent);

    int Tag = 0;
    LinkList Links;
};
