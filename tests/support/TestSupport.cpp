#include "support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <random>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace lorvane::test {

fs::path CorpusDir() {
    const fs::path dir = LORVANE_CORPUS_DIR;
    std::error_code ec;
    if (fs::is_regular_file(dir / "oracles.tsv", ec) && fs::is_directory(dir / "mp3", ec)) {
        return dir;
    }
    return {};
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Cells escape \\ \t \n \r \xNN and use \0 between values of one frame.
std::string Unescape(const std::string& cell) {
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\' || i + 1 >= cell.size()) {
            out.push_back(cell[i]);
            continue;
        }
        const char c = cell[++i];
        switch (c) {
        case 't':
            out.push_back('\t');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 'r':
            out.push_back('\r');
            break;
        case '0':
            out.push_back('\0');
            break;
        case 'x':
            if (i + 2 < cell.size() + 0 && HexValue(cell[i + 1]) >= 0 &&
                HexValue(cell[i + 2]) >= 0) {
                out.push_back(
                    static_cast<char>(HexValue(cell[i + 1]) * 16 + HexValue(cell[i + 2])));
                i += 2;
            } else {
                out.push_back('x');
            }
            break;
        default:
            out.push_back(c);
            break;
        }
    }
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, '\t')) {
        cells.push_back(cell);
    }
    if (!line.empty() && line.back() == '\t') {
        cells.emplace_back();
    }
    return cells;
}

} // namespace

const std::map<std::string, OracleRow>& Oracles() {
    static const std::map<std::string, OracleRow> rows = [] {
        std::map<std::string, OracleRow> result;
        const fs::path dir = CorpusDir();
        if (dir.empty()) {
            return result;
        }
        std::ifstream in(dir / "oracles.tsv");
        std::string line;
        std::getline(in, line);
        const std::vector<std::string> header = SplitTabs(line);
        while (std::getline(in, line)) {
            const std::vector<std::string> cells = SplitTabs(line);
            OracleRow row;
            for (std::size_t i = 0; i < header.size(); ++i) {
                row[header[i]] = i < cells.size() ? Unescape(cells[i]) : std::string();
            }
            result[row["file"]] = row;
        }
        return result;
    }();
    return rows;
}

TempDir::TempDir() {
    std::random_device device;
    std::mt19937_64 random(device());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("lorvane-test-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            fPath = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(fPath, ec);
}

std::vector<std::uint8_t> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteShellScript(const fs::path& path, const std::string& body) {
    const std::string text = "#!/bin/sh\n" + body + "\n";
    WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    fs::permissions(path, fs::perms::owner_all);
}

ImmutableFile::ImmutableFile(fs::path path) : fPath(std::move(path)) {
    fSet = Mark(true);
}

ImmutableFile::~ImmutableFile() {
    if (fSet) {
        Mark(false);
    }
}

bool ImmutableFile::Mark(bool immutable) const {
    const int fd = ::open(fPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int RunCommand(const std::string& command, std::string* out, std::string* err) {
    TempDir dir;
    const fs::path outFile = dir / "out";
    const fs::path errFile = dir / "err";
    const std::string full = "(" + command + ") >" + ShellQuote(outFile.string()) + " 2>" +
                             ShellQuote(errFile.string()) + " </dev/null";
    const int status = std::system(full.c_str());
    if (out) {
        *out = Slurp(outFile);
    }
    if (err) {
        *err = Slurp(errFile);
    }
    if (status == -1) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

CliRun RunCli(const std::vector<std::string>& args, const std::string& redirect) {
    std::string command = ShellQuote(LORVANE_CLI_PATH);
    for (const std::string& arg : args) {
        // Two appends: for " " + std::string&& GCC 12 reports a false -Wrestrict at -O3.
        command += ' ';
        command += ShellQuote(arg);
    }
    command += redirect;
    CliRun run;
    run.status = RunCommand(command, &run.out, &run.err);
    return run;
}

std::string ShellQuote(const std::string& word) {
    std::string out = "'";
    for (char c : word) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out.push_back(c);
        }
    }
    out += "'";
    return out;
}

} // namespace lorvane::test
