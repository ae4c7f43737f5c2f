#pragma once

#include <QStringList>

// The two lists of the local reader selection: the file's lines marked local and those marked not
// local, each entry being its line from the fifth character on (code and name). Moving an entry
// appends it to the other list.
class LocalReaderTypeLists
{
public:
    // Lines marked neither "00" nor "01" belong to no list.
    void load(const QStringList& fileLines);

    const QStringList& local() const { return m_local; }
    const QStringList& nonLocal() const { return m_nonLocal; }

    // Out-of-range indexes do nothing and return false.
    bool makeLocal(int nonLocalIndex);
    bool makeNonLocal(int localIndex);
    void makeAllLocal();
    void makeAllNonLocal();

    // The file's lines: the local entries first, then the others.
    QStringList fileLines() const;

private:
    QStringList m_local;
    QStringList m_nonLocal;
};
