#include "engine/prozess/RoCommandLine.h"

namespace lorvane {

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

// Escapes text for the inside of a quoted group: a run of backslashes is doubled
// where a quote follows it (an escaped one or the closing one of the format).
std::string EscapeInsideQuotes(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            out.push_back(c);
            continue;
        }
        if (c == '"') {
            out.append(backslashes + 1, '\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes, '\\');
    return out;
}

} // namespace

std::vector<std::string> RoSplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool inQuotes = false;
    std::size_t i = 0;
    while (i < commandLine.size()) {
        const char c = commandLine[i];
        if (c == '\\') {
            std::size_t run = 0;
            while (i < commandLine.size() && commandLine[i] == '\\') {
                ++run;
                ++i;
            }
            inArgument = true;
            if (i < commandLine.size() && commandLine[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current.push_back('"');
                    ++i;
                }
                // An even run leaves the quote for the next pass, which toggles the group.
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            inArgument = true;
        } else if (IsSeparator(c) && !inQuotes) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
        } else {
            current.push_back(c);
            inArgument = true;
        }
        ++i;
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

std::string RoQuotePath(const std::filesystem::path& path) {
    std::string text = path.string();
    if (!text.empty() && text.front() != '/') {
        text.insert(0, "./");
    }
    return EscapeInsideQuotes(text);
}

} // namespace lorvane
