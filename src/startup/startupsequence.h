#pragma once

#include <QObject>
#include <QString>
#include <functional>

class SingleInstance;

// What the start-up loads for the subsystems above it, handed in by the program: the MARC index
// parameters (0, or -1 after showing and logging why) and the reader display captions.
struct StartupLoads
{
    std::function<int()> marcIndexParameters;
    std::function<void()> readerCaptions;
};

// The desk's start-up from the instance check to the loads before the login. Each step announces
// itself through statusChanged (the login window shows it). A failing step shows its message and
// writes its log line itself; the caller then ends the program with LIB_Shutdown.
class StartupSequence : public QObject
{
    Q_OBJECT
public:
    // The steps in the order they run, numbered as the start-up counts them.
    enum Step {
        NotRun = 0,
        InstanceCheck = 4,
        ReadEnvironment = 5,
        ConnectDatabase = 6,
        LoadBaseData = 7,
        LoadSounds = 8,
        LoadDeskLocations = 9,
        LoadMarcIndex = 10,
        LoadSearchLists = 11,
        WaitForLogin = 12,
    };

    StartupSequence(SingleInstance& instance, StartupLoads loads, QObject* parent = nullptr);

    // Tells other programs that the desk runs (the suite's mutex). Never stops the start-up.
    void announce();

    // Runs the steps. true when the desk is ready for the login; false when a step failed (see
    // failedStep()); its message has then been shown.
    bool run();
    Step failedStep() const { return m_failedStep; }

    static QString instanceMessage();

Q_SIGNALS:
    void statusChanged(const QString& text);

private:
    bool fail(Step step, const QString& message);
    bool checkInstance();
    bool readEnvironment();
    bool connectDatabase();
    bool loadBaseData();
    void loadSounds();
    void loadDeskLocations();
    bool loadMarcIndex();
    void loadSearchLists();

    SingleInstance& m_instance;
    StartupLoads m_loads;
    Step m_failedStep = NotRun;
};
