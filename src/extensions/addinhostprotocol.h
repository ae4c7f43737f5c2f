#pragma once

// The add-in host. The procedures of an add-in library ("Interface" shortcuts) run in a process
// of their own, readdesk-addinhost, one per library, started at the first call and ended when the
// desk releases its add-ins. A library that crashes ends only its host: the desk reports it and
// goes on scanning, and the next call starts a fresh host.
//
// An add-in library exports its procedures with C linkage, each taking 0 to 5 arguments:
//
//     extern "C" void Show(const char* workerNumber);
//
// Every argument is UTF-8 text, or a null pointer for an argument without a value. References to
// the desk's objects (%B001%, %OBJECT%<name>) arrive as the object's address in the desk's process
// written as a decimal number: they tell objects apart but cannot be followed from the host.
// What a procedure writes to its standard output is handed back to the desk.
//
// The desk writes one request per line to the host's standard input, a JSON object
// {"library": path, "procedure": name, "arguments": [text or null, ...]}, and waits for the
// answer: after whatever the procedure wrote, the host writes the marker below, a JSON object
// {"status": ..., "detail": text} and a line end to its standard output.

namespace AddinHostProtocol {

inline constexpr char answerMarker[] = "\x1eREADDESK-ADDIN-ANSWER ";
inline constexpr int maxArguments = 5;

// Answer statuses.
inline constexpr char done[] = "done";
inline constexpr char noLibrary[] = "library";     // the library cannot be loaded
inline constexpr char noProcedure[] = "procedure"; // the library lacks the procedure
inline constexpr char badRequest[] = "request";    // unreadable request or too many arguments

} // namespace AddinHostProtocol
