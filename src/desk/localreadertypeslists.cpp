#include "localreadertypeslists.h"

#include "localreadertypes.h"

namespace {

bool moveEntry(QStringList& from, int index, QStringList& to)
{
    if (index < 0 || index >= from.size())
        return false;
    to.append(from.takeAt(index));
    return true;
}

} // namespace

void LocalReaderTypeLists::load(const QStringList& fileLines)
{
    m_local.clear();
    m_nonLocal.clear();
    for (const QString& line : fileLines) {
        if (line.startsWith(LocalReaderTypes::LocalMark))
            m_local.append(line.mid(4));
        else if (line.startsWith(LocalReaderTypes::NonLocalMark))
            m_nonLocal.append(line.mid(4));
    }
}

bool LocalReaderTypeLists::makeLocal(int nonLocalIndex)
{
    return moveEntry(m_nonLocal, nonLocalIndex, m_local);
}

bool LocalReaderTypeLists::makeNonLocal(int localIndex)
{
    return moveEntry(m_local, localIndex, m_nonLocal);
}

void LocalReaderTypeLists::makeAllLocal()
{
    m_local += m_nonLocal;
    m_nonLocal.clear();
}

void LocalReaderTypeLists::makeAllNonLocal()
{
    m_nonLocal += m_local;
    m_local.clear();
}

QStringList LocalReaderTypeLists::fileLines() const
{
    QStringList lines;
    for (const QString& entry : m_local)
        lines.append(LocalReaderTypes::LocalMark + QStringLiteral("  ") + entry);
    for (const QString& entry : m_nonLocal)
        lines.append(LocalReaderTypes::NonLocalMark + QStringLiteral("  ") + entry);
    return lines;
}
