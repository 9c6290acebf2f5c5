// openpyxl and LibreOffice run as child processes over the written files,
// and a file-size limit for a while.
#include "ExternalReaders.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "TempEnvironment.h"

namespace ortktest {

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command; answers its standard output, raises with its
// errors when it fails.
std::string Run(const std::string& command, const std::string& what) {
    TempFolder scratch;
    std::string errors = scratch.Path() + "errors.txt";
    FILE* pipe = popen((command + " 2>" + Quote(errors)).c_str(), "r");
    if (!pipe) throw std::runtime_error(what + ": cannot start");
    std::string out;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream in(errors);
        std::stringstream text;
        text << in.rdbuf();
        throw std::runtime_error(what + " failed: " + text.str());
    }
    return out;
}

// Debian's openpyxl belongs to the system's interpreter, which need not be
// the first python3 on the PATH.
std::string Python() { return fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

constexpr char kDumpScript[] = R"PY(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = lambda *f: print("\t".join(json.dumps(str(x), ensure_ascii=False) for x in f))
out("active", wb.active.title)
for ws in wb.worksheets:
    out("sheet", ws.title)
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            color = c.font.color.rgb if c.font is not None and c.font.color is not None and c.font.color.type == "rgb" else ""
            out(ws.title, c.coordinate, c.data_type, c.value, c.number_format, color)
)PY";

// The JSON strings of one line (json.dumps of str values).
std::vector<std::string> JsonStrings(const std::string& line) {
    std::vector<std::string> fields;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        std::string s;
        for (++i; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] != '\\') {
                s += line[i];
                continue;
            }
            char e = line[++i];
            switch (e) {
            case 'n': s += '\n'; break;
            case 'r': s += '\r'; break;
            case 't': s += '\t'; break;
            case 'b': s += '\b'; break;
            case 'f': s += '\f'; break;
            case 'u': s += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16)); i += 4; break;   // control characters only
            default: s += e; break;
            }
        }
        fields.push_back(s);
    }
    return fields;
}

std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        any = true;
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field), field.clear();
        } else if (c == '\n') {
            row.push_back(field), field.clear();
            rows.push_back(row), row.clear();
            any = false;
        } else if (c != '\r') {
            field += c;
        }
    }
    if (any) row.push_back(field), rows.push_back(row);
    return rows;
}

}  // namespace

const PyxlCell& PyxlBook::At(const std::string& sheet, const std::string& reference) const {
    static const PyxlCell none;
    auto s = Cells.find(sheet);
    if (s == Cells.end()) return none;
    auto c = s->second.find(reference);
    return c == s->second.end() ? none : c->second;
}

PyxlBook ReadWithOpenpyxl(const std::string& path) {
    TempFolder scratch;
    std::string script = scratch.Write("dump.py", kDumpScript);
    std::istringstream lines(Run(Python() + " " + Quote(script) + " " + Quote(path), "openpyxl on " + path));
    PyxlBook book;
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> f = JsonStrings(line);
        if (f.size() == 2 && f[0] == "active") book.ActiveSheet = f[1];
        else if (f.size() == 2 && f[0] == "sheet") book.SheetNames.push_back(f[1]);
        else if (f.size() == 6) book.Cells[f[0]][f[1]] = PyxlCell{f[2], f[3], f[4], f[5]};
    }
    return book;
}

std::map<std::string, std::vector<std::vector<std::string>>> ConvertWithLibreOffice(const std::vector<std::string>& paths) {
    TempFolder scratch;
    std::string command = "soffice -env:UserInstallation=file://" + scratch.Path() +
                          "profile --headless --norestore --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir " +
                          Quote(scratch.Path() + "csv");
    for (const std::string& p : paths) command += " " + Quote(p);
    Run(command + " >/dev/null", "LibreOffice");
    std::map<std::string, std::vector<std::vector<std::string>>> sheets;
    for (const std::string& p : paths) {
        std::ifstream in(scratch.Path() + "csv/" + fs::path(p).stem().string() + ".csv", std::ios::binary);
        if (!in) throw std::runtime_error("LibreOffice gave no CSV for " + p);
        std::stringstream text;
        text << in.rdbuf();
        sheets[p] = ParseCsv(text.str());
    }
    return sheets;
}

std::string WithFileSizeLimit(long bytes, const std::function<std::string()>& work) {
    rlimit before{};
    if (getrlimit(RLIMIT_FSIZE, &before) != 0) throw std::runtime_error("cannot read the file-size limit");
    if (before.rlim_max != RLIM_INFINITY && before.rlim_max < static_cast<rlim_t>(bytes))
        throw std::runtime_error("the file-size limit is already below the one asked for");
    struct sigaction ignore {}, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limited = before;
    limited.rlim_cur = static_cast<rlim_t>(bytes);   // the soft limit only, so that it can be lifted again
    setrlimit(RLIMIT_FSIZE, &limited);
    std::string answer;
    try {
        answer = work();
    } catch (...) {
        setrlimit(RLIMIT_FSIZE, &before);
        sigaction(SIGXFSZ, &previous, nullptr);
        throw;
    }
    setrlimit(RLIMIT_FSIZE, &before);
    sigaction(SIGXFSZ, &previous, nullptr);
    return answer;
}

}  // namespace ortktest
