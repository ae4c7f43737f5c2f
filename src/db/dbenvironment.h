#pragma once

#include <QString>
#include <functional>

// What the database layer needs from the program around it, handed in by the start-up so that
// this layer stays below it: the directory of the daily log, the folder of the message sounds,
// and the operator whose workload the counter adds to. Unset, there is no log, no sound and no
// worker (the workload count then fails, silently as it always does).
namespace DbEnvironment {

void setLogDirectory(const QString& directory); // ends in "/"
QString logDirectory();

void setSoundDirectory(const QString& directory); // ends in "/"
QString soundDirectory();

// Asked at every count, so that a re-login takes effect at once.
void setWorkerNumberSource(std::function<QString()> source);
QString workerNumber();

} // namespace DbEnvironment
