#pragma once
// The running processes, as far as screen-reader detection needs them: whose they are
// and what they are called. Behind an interface so that tests bring their own list.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lorvane {

struct TProzess {
    uid_t Uid = 0;
    std::string Name;                   // the kernel's short name (comm)
    std::vector<std::string> Argumente; // the command line
};

class IProzessListe {
public:
    virtual ~IProzessListe() = default;
    virtual std::vector<TProzess> Prozesse() = 0;
};

// Reads the process folders of /proc (or of another root, for tests). Processes that
// end while being read, or whose files cannot be read, are left out.
class TProcProzessListe : public IProzessListe {
public:
    explicit TProcProzessListe(std::filesystem::path wurzel = "/proc");
    std::vector<TProzess> Prozesse() override;

private:
    std::filesystem::path fWurzel;
};

// Whether a process named `programm` belongs to `uid`: started directly, or as the
// script of an interpreter (Orca is a Python program).
bool ProgrammLaeuft(const std::vector<TProzess>& prozesse, uid_t uid, const std::string& programm);

} // namespace lorvane
