#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One search path offered by the book search: an index group (or 91 call number, 92 property
// number, 93 barcode) and its caption.
struct MarcSearchPath
{
    QString group;
    QString caption;
    QStringList parts; // every ":"-separated part of the entry, group first
};

// The search paths of the cataloguing file BM_MarcIDX.ini, section "使用检索途径", keys "000",
// "001", ... read in order up to the first missing key; at most 20.
class MarcSearchPaths
{
public:
    static constexpr int MaxPaths = 20;
    enum class Status { Loaded, Missing, Broken };

    static MarcSearchPaths& instance();

    // Reads the file; on failure the paths read before stay.
    Status load(const QString& filePath);
    const QList<MarcSearchPath>& paths() const { return m_paths; }

    // The file in the cataloguing base-parameter directory.
    static QString defaultFile();

private:
    QList<MarcSearchPath> m_paths;
};
