#include "vokram/command_line.hpp"

#include <exception>
#include <system_error>

#include "console_io.hpp"
#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/platform.hpp"

namespace vk {

std::string_view suite_version() {
    return VOKRAM_VERSION;
}

CommandLine::CommandLine(std::string program, std::string files)
    : program_(std::move(program)), files_(std::move(files)) {}

CommandLine& CommandLine::flag(std::string name, std::string help) {
    options_.push_back({std::move(name), {}, std::move(help), {}});
    return *this;
}

CommandLine& CommandLine::value(std::string name, std::string meta, std::string help,
                                std::vector<std::string> choices) {
    options_.push_back({std::move(name), std::move(meta), std::move(help), std::move(choices)});
    return *this;
}

CommandLine& CommandLine::operands(std::string meta, std::string help) {
    operands_meta_ = std::move(meta);
    operands_help_ = std::move(help);
    return *this;
}

const CommandLine::Option* CommandLine::find(std::string_view name) const {
    for (const Option& o : options_)
        if (o.name == name) return &o;
    return nullptr;
}

std::string CommandLine::get(std::string_view name) const {
    const auto it = given_.find(std::string(name));
    return it == given_.end() ? std::string() : it->second;
}

std::vector<std::string> CommandLine::values(std::string_view name) const {
    const auto it = repeated_.find(std::string(name));
    return it == repeated_.end() ? std::vector<std::string>() : it->second;
}

CommandLine::Outcome CommandLine::parse(const std::vector<std::string>& args) {
    bool folder_given = false;
    bool options_end = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options_end && a == "--") {
            options_end = true;
        } else if (!options_end && (a == "-h" || a == "--help")) {
            return Outcome::help;
        } else if (!options_end && a == "--version") {
            return Outcome::version;
        } else if (!options_end && a.size() > 1 && a[0] == '-') {
            const std::size_t eq = a.find('=');
            const std::string name = a.substr(0, eq);
            const Option* o = find(name);
            if (!o) {
                error_ = "непозната опция " + a;
                return Outcome::usage_error;
            }
            if (o->meta.empty()) {
                if (eq != std::string::npos) {
                    error_ = "опцията " + name + " не приема стойност";
                    return Outcome::usage_error;
                }
                given_[name];
                continue;
            }
            std::string v;
            if (eq != std::string::npos) {
                v = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                v = args[++i];
            } else {
                error_ = "опцията " + name + " иска стойност " + o->meta;
                return Outcome::usage_error;
            }
            bool allowed = o->choices.empty();
            for (const std::string& c : o->choices) allowed = allowed || c == v;
            if (!allowed || v.empty()) {
                error_ = "неприета стойност \"" + v + "\" на опцията " + name;
                return Outcome::usage_error;
            }
            given_[name] = v;
            repeated_[name].push_back(v);
        } else if (!operands_meta_.empty()) {
            operands_.push_back(a);
        } else if (folder_given) {
            error_ = "повече от една папка: " + path_to_utf8(folder_) + " и " + a;
            return Outcome::usage_error;
        } else {
            folder_ = path_from_utf8(a);
            folder_given = true;
        }
    }
    if (!operands_meta_.empty()) {
        std::error_code ec;
        if (operands_.size() > 1 && std::filesystem::is_directory(path_from_utf8(operands_.front()), ec)) {
            folder_ = path_from_utf8(operands_.front());
            operands_.erase(operands_.begin());
        }
        if (operands_.empty() || std::filesystem::is_directory(path_from_utf8(operands_.front()), ec)) {
            error_ = "липсва " + operands_meta_;
            return Outcome::usage_error;
        }
    }
    return Outcome::run;
}

std::string CommandLine::usage() const {
    std::string s = "Употреба: " + program_ + " [ОПЦИИ] [ПАПКА]";
    if (!operands_meta_.empty()) s += " " + operands_meta_ + "...";
    return s;
}

std::string CommandLine::help() const {
    std::string s = usage() + "\n\n" + files_ + "\n\n";
    s += "ПАПКА е папката на измерването (подразбира се текущата); всички файлове се търсят в нея.\n";
    if (!operands_meta_.empty()) s += operands_meta_ + " " + operands_help_ + "\n";
    s += "\n";
    s += "Опции:\n";
    auto row = [&s](const std::string& left, const std::string& text) {
        std::size_t width = 0;  // in characters, not in bytes of UTF-8
        for (const char c : left) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        s += "  " + left;
        s += width < 20 ? std::string(20 - width, ' ') : std::string("  ");
        s += text + "\n";
    };
    row("-h, --help", "тази помощ");
    row("--version", "името и версията на програмата");
    for (const Option& o : options_) {
        std::string text = o.help;
        if (!o.choices.empty()) {
            text += " (";
            for (std::size_t i = 0; i < o.choices.size(); ++i) text += (i ? ", " : "") + o.choices[i];
            text += ")";
        }
        row(o.meta.empty() ? o.name : o.name + " " + o.meta, text);
    }
    s += "\nИзходен код:\n";
    row("0", "програмата завърши");
    row("1", "прекъсване поради грешка в данните (причината е в протокола и на стандартния");
    row("", "изход за грешки) или нищо не е направено, защото Temp/Key.tmp е 0");
    row("2, 3, 5", "липсващ файл, липсваща папка, отказан достъп");
    row("4", "твърде много отворени файлове");
    row("100, 101", "грешка или неочакван край при четене, грешка при запис (пълен диск)");
    row("106", "неправилно число в междинен файл или във файла с параметри");
    row("64", "грешка в командния ред");
    row("70", "неочаквана грешка в програмата");
    return s;
}

namespace {

using console_io::Stream;

// UTF-8 whatever the terminal, so that a script can read it.
bool put_line(Stream to, const std::string& s) {
    return console_io::write(s + "\n", to);
}

}  // namespace

int program_main(int argc, char** argv, CommandLine& cl,
                 const std::function<int(Console&, const std::filesystem::path&)>& run) {
    const std::string& name = cl.program();
    try {
        std::vector<std::string> args = utf8_arguments(argc, argv);
        if (!args.empty()) args.erase(args.begin());
        switch (cl.parse(args)) {
            case CommandLine::Outcome::help:
                return console_io::write(cl.help(), Stream::output) ? 0 : kWriteError;
            case CommandLine::Outcome::version:
                return put_line(Stream::output, name + " " + std::string(suite_version())) ? 0 : kWriteError;
            case CommandLine::Outcome::usage_error:
                put_line(Stream::error,
                         name + ": " + cl.error() + " (" + cl.usage() + "; виж " + name + " --help)");
                return kUsageError;
            case CommandLine::Outcome::run:
                break;
        }
        std::error_code ec;
        if (!std::filesystem::is_directory(cl.folder(), ec)) {
            put_line(Stream::error, name + ": " + path_to_utf8(cl.folder()) + ": папката не съществува");
            return kFolderNotFound;
        }
        auto console = make_console(name);
        return run(*console, cl.folder());
    } catch (const FatalIo& e) {
        put_line(Stream::error, name + ": " + e.message);
        return e.code;
    } catch (const std::exception& e) {
        put_line(Stream::error, name + ": неочаквана грешка: " + e.what());
    } catch (...) {
        put_line(Stream::error, name + ": неочаквана грешка");
    }
    return kInternalError;
}

}  // namespace vk
