#include "exportgen.h"

#include "platform/cp1252.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string_view>
#include <vector>

namespace bench {
namespace {

struct Subject {
    const char8_t *code;
    const char8_t *room; // nullptr: the class's own room
    int weight;
};

const std::array<Subject, 18> kSubjects = {{
    {u8"da", nullptr, 8},
    {u8"ma", nullptr, 6},
    {u8"eng", nullptr, 4},
    {u8"ty", nullptr, 2},
    {u8"fr", nullptr, 1},
    {u8"idr", u8"Hal", 3},
    {u8"fy/ke", u8"Fys", 2},
    {u8"bio", u8"Bio", 1},
    {u8"geo", u8"Geo", 1},
    {u8"hi", nullptr, 2},
    {u8"kr", nullptr, 1},
    {u8"sam", nullptr, 1},
    {u8"nat/tek", u8"Nat", 2},
    {u8"mu", u8"Musik", 2},
    {u8"bil", u8"Billed", 1},
    {u8"hå", u8"Håndarb", 1},
    {u8"sløjd", u8"Sløjd", 1},
    {u8"madk", u8"Skolekøkken", 1},
}};

const std::array<const char8_t *, 24> kFirstNames = {
    u8"Anne", u8"Bent",     u8"Birgitte", u8"Jørgen", u8"Søren", u8"Åse",    u8"Ærø",   u8"Mette",
    u8"Ole",  u8"Pia",      u8"Henrik",   u8"Karen",  u8"Lars",  u8"Øjvind", u8"Hanne", u8"Niels",
    u8"Inge", u8"Frederik", u8"Gitte",    u8"Claus",  u8"Dorte", u8"Erik",   u8"Tove",  u8"Ulla"};
const std::array<const char8_t *, 20> kSurnames = {
    u8"Hansen", u8"Jensen",   u8"Nielsen",     u8"Ødegaard",   u8"Åkjær",
    u8"Mørk",   u8"Kjær",     u8"Bæk",         u8"Holm",       u8"Lund",
    u8"Dahl",   u8"Sørensen", u8"Madsen",      u8"Østergaard", u8"Rasmussen",
    u8"Juul",   u8"Krogh",    u8"Vestergaard", u8"Thygesen",   u8"Brønd"};
const std::array<const char8_t *, 5> kDays = {u8"Ma", u8"Ti", u8"On", u8"To", u8"Fr"};
constexpr int kPeriodsPerDay = 7;

std::string firstLetter(const char8_t *word)
{
    // Æ, Ø and Å are two UTF-8 bytes; the rest of the initials are ASCII.
    const std::string cp = platform::cp1252(word);
    return cp.substr(0, 1);
}

std::vector<std::string> makeClasses(int count)
{
    std::vector<std::string> classes;
    for (int letter = 0; static_cast<int>(classes.size()) < count; ++letter) {
        for (int grade = 0; grade <= 9 && static_cast<int>(classes.size()) < count; ++grade)
            classes.push_back(std::to_string(grade) + static_cast<char>('a' + letter % 26) +
                              (letter >= 26 ? std::to_string(letter / 26) : ""));
        for (int g = 1; g <= 3 && letter < 2 && static_cast<int>(classes.size()) < count; ++g)
            classes.push_back(std::to_string(g) + (letter == 0 ? ".g" : ".hf"));
    }
    return classes;
}

std::vector<std::string> makeTeachers(int count, std::mt19937 &rng)
{
    std::vector<std::string> teachers;
    std::set<std::string> taken;
    while (static_cast<int>(teachers.size()) < count) {
        const auto *first = kFirstNames[rng() % kFirstNames.size()];
        const auto *last = kSurnames[rng() % kSurnames.size()];
        std::string initials = firstLetter(first) + firstLetter(last);
        for (int n = 2; !taken.insert(initials).second; ++n)
            initials = firstLetter(first) + firstLetter(last) + std::to_string(n);
        teachers.push_back(initials);
    }
    return teachers;
}

} // namespace

std::string generateExport(int lessons, unsigned seed)
{
    std::mt19937 rng(seed);
    const int classCount = std::max(25, lessons / 32);
    const int teacherCount = std::max(40, lessons / 20);
    const auto classes = makeClasses(classCount);
    const auto teachers = makeTeachers(teacherCount, rng);

    std::vector<int> weights;
    for (const auto &s : kSubjects)
        weights.push_back(s.weight);
    std::discrete_distribution<std::size_t> pickSubject(weights.begin(), weights.end());

    std::string out = platform::cp1252(
        u8"[SKEMAID];[UGEDAG];[PERIODEBETEGNELSE];[FAGBETEGNELSE];[KLASSEBETEGNELSE];"
        u8"[LÆRERBETEGNELSE];[LOKALEBETEGNELSE];[BEMÆRKNING]\r\n");
    out.reserve(static_cast<std::size_t>(lessons) * 48);
    const int perClass = (lessons + classCount - 1) / classCount;
    int written = 0;
    for (int c = 0; c < classCount && written < lessons; ++c) {
        // Each class has one teacher per subject and a home room.
        std::vector<std::size_t> teacherOf(kSubjects.size());
        for (auto &t : teacherOf)
            t = rng() % teachers.size();
        const std::string homeRoom =
            std::string(1, static_cast<char>('A' + c % 4)) + std::to_string(1 + c % 20);
        for (int k = 0; k < perClass && written < lessons; ++k, ++written) {
            const std::size_t s = pickSubject(rng);
            const int slot = k % (static_cast<int>(kDays.size()) * kPeriodsPerDay);
            const std::string day = platform::cp1252(kDays[slot / kPeriodsPerDay]);
            const std::string period = day + " " + std::to_string(1 + slot % kPeriodsPerDay);
            const std::string room =
                kSubjects[s].room ? platform::cp1252(kSubjects[s].room) : homeRoom;
            out += std::to_string(written + 1) + ";" + day + ";" + period + ";" +
                   platform::cp1252(kSubjects[s].code) + ";" + classes[c] + ";" +
                   teachers[teacherOf[s]] + ";" + room + ";" + (k % 17 == 0 ? "ulige uger" : "") +
                   "\r\n";
        }
    }
    return out;
}

namespace {

// The fields of the generated layout: id, day, period, subject, class, teacher, room, note.
enum GeneratedField { fDay = 1, fPeriod = 2, fTeacher = 5, fRoom = 6 };

std::vector<std::string> split(std::string_view line)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(';', start);
        fields.emplace_back(line.substr(start, end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

std::string joined(const std::vector<std::string> &fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? ";" : "") + fields[i];
    return line;
}

} // namespace

std::string changeExport(const std::string &generated, double percent, unsigned seed)
{
    std::vector<std::vector<std::string>> lines;
    std::string header;
    for (std::size_t start = 0; start < generated.size();) {
        std::size_t end = generated.find("\r\n", start);
        if (end == std::string::npos)
            end = generated.size();
        const std::string_view line(generated.data() + start, end - start);
        if (header.empty())
            header = line;
        else if (!line.empty())
            lines.push_back(split(line));
        start = end + 2;
    }
    std::mt19937 rng(seed);
    const auto target = static_cast<std::size_t>(lines.size() * percent / 100.0 + 0.5);

    // The teacher on leave: the one whose lesson count is nearest the average.
    std::map<std::string, std::size_t> perTeacher;
    std::set<std::string> rooms;
    for (const auto &fields : lines) {
        ++perTeacher[fields[fTeacher]];
        rooms.insert(fields[fRoom]);
    }
    const double average = static_cast<double>(lines.size()) / perTeacher.size();
    std::string onLeave;
    for (const auto &[teacher, count] : perTeacher)
        if (onLeave.empty() || std::abs(count - average) < std::abs(perTeacher[onLeave] - average))
            onLeave = teacher;
    std::vector<std::size_t> others;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i][fTeacher] == onLeave && changed < target) {
            lines[i][fTeacher] = "VIK";
            ++changed;
        } else {
            others.push_back(i);
        }
    }

    std::shuffle(others.begin(), others.end(), rng);
    const std::vector<std::string> roomList(rooms.begin(), rooms.end());
    for (std::size_t k = 0; changed < target && k < others.size(); ++k, ++changed) {
        auto &fields = lines[others[k]];
        if (k % 2 == 0) {
            std::string room = fields[fRoom];
            while (room == fields[fRoom])
                room = roomList[rng() % roomList.size()];
            fields[fRoom] = room;
        } else {
            const std::string old = fields[fPeriod];
            while (fields[fPeriod] == old) {
                const std::string day = platform::cp1252(kDays[rng() % kDays.size()]);
                fields[fDay] = day;
                fields[fPeriod] = day + " " + std::to_string(1 + rng() % kPeriodsPerDay);
            }
        }
    }

    std::string out = header + "\r\n";
    for (const auto &fields : lines)
        out += joined(fields) + "\r\n";
    return out;
}

} // namespace bench
