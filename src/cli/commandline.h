#pragma once
// tavleprint's command line read from tables: each command with its synopsis and description
// (what `tavleprint --help` and `tavleprint COMMAND --help` print) and the usage shown after a
// mistake, and each command's options with what they do. One parser walks a command's words
// by its table, taking each option's value, and stops at the first problem.

#include "timetable/timetable.h"

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A command of tavleprint: its help, and what it runs with the words after its name.
struct Command {
    std::string_view name;
    std::string_view synopsis;    // after "usage: " or its indent, with its line breaks
    std::string_view description; // indented, with its line breaks
    // The usage shown after a mistake on its command line; empty: the full usage.
    std::string_view mistakeUsage;
    bool marginsNote = false;        // its help ends with what margins may be
    bool nothingChangedNote = false; // ... and with what happens when nothing changed
    bool needsQt = true;             // it draws or prints
    int (*run)(const std::vector<std::string> &args, std::ostream &out,
               std::ostream &err) = nullptr;
};

// Every command's synopsis, the help and version lines, every description and the notes.
std::string fullUsage(std::span<const Command> commands);
// One command's synopsis and description with the notes it takes.
std::string commandUsage(const Command &command);

// One option of a command.
struct Option {
    std::string_view name; // "--pdf"
    // What the option does with its value, or (with no value) that it was given; sets
    // `problem` when it cannot take it.
    std::function<void(const std::string &value, std::string &problem)> take;
    // What is said when the value is missing; empty for an option that takes no value. The
    // value is the next word, whatever it is ("--since --board").
    std::string_view valueMissing = {};
};

// A command's words: its options, what a word that is no option does, and what an option it
// does not know says.
struct Words {
    std::vector<Option> options;
    std::function<void(const std::string &word, std::string &problem)> positional;
    std::function<std::string(const std::string &word)> unknown = [](const std::string &word) {
        return "unknown option " + word;
    };
};

// Reads `args` by `words` up to the first problem; false, with `problem` said, when there is one.
bool readWords(const Words &words, const std::vector<std::string> &args, std::string &problem);

// One of several options that exclude each other (--teachers or --classes; one destination):
// the handler of each marks it given, a second one is the problem `twice`.
class OneOf {
public:
    explicit OneOf(std::string twice) : twice_(std::move(twice)) {}
    void given(std::string &problem)
    {
        if (given_)
            problem = twice_;
        given_ = true;
    }
    explicit operator bool() const { return given_; }

private:
    std::string twice_;
    bool given_ = false;
};

// --teachers or --classes (of `mode` for `m`), the two excluding each other through `given`.
Option modeOption(timetable::SelectionMode m, OneOf &given, timetable::SelectionMode &mode);
// What `given` says when both are given.
inline constexpr std::string_view kOneModeOnly = "give only one of --teachers and --classes";

} // namespace cli
