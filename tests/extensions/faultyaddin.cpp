// An add-in library whose procedure crashes the process it runs in.
#include <csignal>

extern "C" __attribute__((visibility("default"))) void Crash()
{
    std::raise(SIGSEGV);
}
