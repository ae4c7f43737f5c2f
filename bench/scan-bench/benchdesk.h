#pragma once

#include "db/dbsession.h"
#include "db/messages.h"

#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Where the benchmark runs: the generated database and the desk it pretends to be.
struct BenchTarget
{
    ConnectionValues connection;
    QString location = QStringLiteral("R1");
    QString worker = QStringLiteral("A001");
    QString workerPassword = QStringLiteral("DEMO");
    QString copyLendRule = QStringLiteral("COPY01");
};

// Counts the message boxes instead of showing them: with valid keys every box is a surprise that
// the report names.
class SilentPresenter : public MessagePresenter
{
public:
    int show(const Box& box) override
    {
        texts.append(box.text);
        return 1;
    }
    QStringList texts;
};

// A contiguous key range of the generated database (table bench_keys).
struct KeyRange
{
    QString prefix;
    qint64 first = 0;
    qint64 last = -1;
    qint64 count() const { return last - first + 1; }
    QString key(qint64 offset) const { return prefix + QString::number(first + offset); }
};

// The desk as it stands after a first login at the reading room: a program directory of its
// own (a copy of the runtime tree), a private settings store, the session connected, the base data,
// desk locations, MARC index parameters and code tables loaded, the operator at the location, and
// the desk's switches as shipped with the admission checks and photocopy lending switched on.
class BenchDesk
{
public:
    explicit BenchDesk(const BenchTarget& target) : m_target(target) {}

    // false with the reason in error().
    bool open();
    QString error() const { return m_error; }

    const BenchTarget& target() const { return m_target; }
    QString programDirectory() const { return m_home.path(); }
    SilentPresenter& presenter() { return *m_presenter; }

    // The key ranges of the generated database; false when the database has none.
    bool loadKeys();
    KeyRange range(const QString& name) const { return m_keys.value(name); }

    // A workstation registered at the desk's location, for a desk that logs in.
    QString workstation();

private:
    bool fail(const QString& reason);

    BenchTarget m_target;
    QString m_error;
    QTemporaryDir m_home;
    SilentPresenter* m_presenter = nullptr;
    QHash<QString, KeyRange> m_keys;
};

// The runtime tree of the source checkout, copied into a program directory.
bool copyRuntimeTree(const QString& target);
