#include <algorithm>
#include <string>
#include <vector>

#include "view/blocking_reasons.h"
#include "view/explanations.h"
#include "view/renderers.h"

namespace View {

namespace {

// Names may hold line breaks and tabs; on a text grid they read as blanks.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return text;
}

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Columns a text takes: one per character, a UTF-8 sequence being one.
int columns(const std::string& text) {
    int n = 0;
    for (char c : text)
        if (!continuationByte(c)) ++n;
    return n;
}

// The byte length of the first `width` characters of text.
std::size_t prefixBytes(const std::string& text, int width) {
    std::size_t i = 0;
    for (int n = 0; i < text.size(); ++i) {
        if (!continuationByte(text[i]) && n++ == width) break;
    }
    return i;
}

std::string pad(const std::string& text, int width) {
    return text + std::string(std::max(0, width - columns(text)), ' ');
}

// The words of text on lines of at most width columns, nothing cut: a word
// too long for a line of its own goes on over the next lines. Blanks in
// front of the text stay, after head if one is given; later lines start
// with indent.
std::vector<std::string> wrapLines(const std::string& raw, int width,
                                   const std::string& indent = "", const std::string& head = "") {
    const std::string text = oneLine(raw);
    const std::string lead = columns(indent) < width ? indent : "";
    std::vector<std::string> lines;
    // The head and blanks in front of the text stay as they are on the first line.
    std::string line = head + text.substr(0, std::min(text.find_first_not_of(' '), text.size()));
    if (columns(line) >= width) {
        lines.push_back(line);
        line = lead;
    }
    bool fresh = true;  // nothing on the line but its indent
    auto newLine = [&] {
        lines.push_back(line);
        line = lead;
        fresh = true;
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = text.find(' ', pos);
        if (next == std::string::npos) next = text.size();
        std::string word = text.substr(pos, next - pos);
        pos = next + 1;
        if (word.empty()) continue;
        if (!fresh) {
            const bool fitsHere = columns(line) + 1 + columns(word) <= width;
            const bool fitsAlone = columns(lead) + columns(word) <= width;
            if (!fitsHere && fitsAlone)
                newLine();
            else
                line += " ";
        }
        while (columns(line) + columns(word) > width) {
            const int room = width - columns(line);
            if (room > 0) {
                const std::size_t cut = prefixBytes(word, room);
                line += word.substr(0, cut);
                word = word.substr(cut);
            }
            newLine();
        }
        line += word;
        fresh = false;
    }
    if (!fresh || lines.empty()) lines.push_back(line);
    return lines;
}

// prefix, kept as it is, then text wrapped within textWidth.
std::string wrap(const std::string& prefix, const std::string& text, const std::string& indent) {
    std::string out;
    for (const std::string& line : wrapLines(text, textWidth, indent, oneLine(prefix)))
        out += line + "\n";
    return out;
}

std::string withoutTrailingBlanks(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t last = text.find_last_not_of(' ', end == start ? start : end - 1);
        if (last != std::string::npos && last >= start && last < end)
            out.append(text, start, last + 1 - start);
        out += '\n';
        start = end + 1;
    }
    return out;
}

class TextGrids {
public:
    TextGrids(const CheckedTimetable& checked, const TimetableLayout& layout)
        : checked(checked), layout(layout), problem(layout.problem) {
        for (int h = 0; h < layout.fileSlotsPerDay; ++h)
            labelWidth = std::max(labelWidth, columns(layout.calendar.periodLabel(h)) + 1);
        cellWidth = std::max(8, (textWidth - labelWidth) / std::max(1, problem.days) - 1);
    }

    std::string render() {
        header();
        if (!layout.rules.empty()) {
            out += "\n==== Broken hard rules (" + std::to_string(layout.rules.size()) + ") ====\n";
            int n = 0;
            for (const std::string& note : ruleNotes(layout, -1)) {
                const std::string number = std::to_string(++n) + ". ";
                out += wrap(number, note, std::string(number.size(), ' '));
            }
        }
        for (ResourceKind kind : shownKinds) {
            bool titled = false;
            for (std::size_t r = 0; r < problem.resources.size(); ++r) {
                if (checked.kinds[r] != kind) continue;
                if (!titled) out += std::string("\n==== ") + kindTitle(kind) + " ====\n";
                titled = true;
                grid(static_cast<int>(r));
            }
        }
        const std::vector<std::string> penalties = penaltyNotes(layout, -1);
        out += "\n==== Soft penalties ====\n";
        if (penalties.empty()) out += "None.\n";
        for (const std::string& note : penalties) out += wrap("- ", note, "  ");
        unassigned();
        return withoutTrailingBlanks(out);
    }

private:
    void header() {
        out += wrap(
            "", "Timetable: problem " + checked.problemFile + ", solution " + checked.solutionFile,
            "  ");
        if (checked.judged) {
            out += "Score: " + std::to_string(checked.score) + "\n";
            for (const auto& [label, value] : labelledTerms(checked.terms))
                out += "  " + pad(label, 38) + std::to_string(value) + "\n";
        } else {
            out += wrap("",
                        "Score: not counted. The timetable breaks " +
                            std::to_string(layout.rules.size()) +
                            " hard rules (listed below), so quorvex -c refuses it.",
                        "  ");
        }
        out += std::to_string(layout.placements.size()) + " lessons placed, " +
               std::to_string(layout.unassigned.size()) + " unassigned.\n";
        out += wrap("",
                    "Marks: * soft penalty (the reasons follow each grid), !! breaks a hard "
                    "rule, ^ continues from above, //// unavailable.",
                    "  ");
        out += wrap("",
                    std::string(weekLegend) +
                        " In a grid, E and O mark the half of a slot "
                        "that holds a lesson of one week.",
                    "  ");
    }

    std::string ruler() const {
        std::string line(labelWidth - 1, '-');
        for (int d = 0; d < problem.days; ++d) line += "+" + std::string(cellWidth, '-');
        return line + "\n";
    }

    // One row of cells, each a list of lines; the row is as high as its
    // highest cell, and at least minLines.
    void row(const std::string& label, const std::vector<std::vector<std::string>>& cells,
             std::size_t minLines) {
        std::size_t height = minLines;
        for (const auto& cell : cells) height = std::max(height, cell.size());
        for (std::size_t line = 0; line < height; ++line) {
            const std::string left = line == 0 ? label : "";
            out += std::string(std::max(0, labelWidth - 1 - columns(left)), ' ') + left;
            for (const auto& cell : cells)
                out += "|" + pad(line < cell.size() ? cell[line] : "", cellWidth);
            out += "\n";
        }
    }

    void grid(int resource) {
        out += "\n" + wrap("",
                           std::string(kindLabel(checked.kinds[resource])) + " " +
                               problem.resourceName(resource),
                           "  ");
        std::vector<std::vector<std::string>> titles, ranges;
        for (int d = 0; d < problem.days; ++d) {
            titles.push_back(wrapLines(layout.calendar.day(d), cellWidth));
            ranges.push_back({"slots " + std::to_string(layout.fileSlot(d, 0)) + "-" +
                              std::to_string(layout.fileSlot(d, layout.fileSlotsPerDay - 1))});
        }
        row("", titles, 1);
        row("", ranges, 1);
        out += ruler();
        for (int hour = 0; hour < layout.fileSlotsPerDay; ++hour) {
            std::vector<std::vector<std::string>> cells;
            for (int d = 0; d < problem.days; ++d) cells.push_back(cellLines(resource, d, hour));
            row(layout.calendar.periodLabel(hour), cells, 2);
            out += ruler();
        }
        const std::vector<std::string> rules = ruleNotes(layout, resource);
        for (const std::string& note : rules) out += wrap("!! ", note, "   ");
        for (const std::string& note : penaltyNotes(layout, resource))
            out += wrap("* ", note, "  ");
    }

    // A cell names its lesson and, below, the lesson's other resources. When
    // the weeks differ, the even week's half comes first, marked E, then the
    // odd week's, marked O. A clash lists everything held there.
    std::vector<std::string> cellLines(int resource, int day, int hour) const {
        const int slot = layout.internalSlot(day, hour);
        const bool shut = layout.unavailable(resource, slot);
        std::vector<Holder> held[2];
        for (int w = 0; w < 2; ++w) held[w] = layout.holdersAt(w, resource, slot);
        auto same = [&] {
            if (held[0].size() != held[1].size()) return false;
            for (std::size_t i = 0; i < held[0].size(); ++i)
                if (held[0][i].placement != held[1][i].placement ||
                    held[0][i].isBreak != held[1][i].isBreak)
                    return false;
            return true;
        };
        if (same()) return part(resource, hour, held[0], "", shut);
        std::vector<std::string> lines = part(resource, hour, held[0], "E ", shut);
        for (std::string& line : part(resource, hour, held[1], "O ", shut))
            lines.push_back(std::move(line));
        return lines;
    }

    std::vector<std::string> part(int resource, int hour, const std::vector<Holder>& held,
                                  const std::string& prefix, bool shut) const {
        const std::string indent(prefix.size(), ' ');
        const bool onlyBreak = held.size() == 1 && held[0].isBreak;
        if (held.empty() || onlyBreak) {
            if (shut) return {prefix + std::string(cellWidth - prefix.size(), '/')};
            return prefix.empty() ? std::vector<std::string>{}
                                  : std::vector<std::string>{prefix + "free"};
        }
        std::vector<std::string> lines;
        auto add = [&](const std::string& text) {
            for (std::string& line : wrapLines(text, cellWidth, indent)) lines.push_back(line);
        };
        if (held.size() > 1) {
            add(prefix + "!! CLASH");
            for (const Holder& h : held) {
                const std::string id =
                    problem.activityName(layout.placements[h.placement].activity);
                add(indent +
                    (h.isBreak ? "(break after " + id + ")" : lessonTitle(h.placement, hour)));
            }
            return lines;
        }
        const Placement& placement = layout.placements[held[0].placement];
        add(prefix + lessonTitle(held[0].placement, hour));
        if (placement.hour != hour) return lines;
        std::string others;
        for (int r : layout.otherResources(placement, resource))
            others += (others.empty() ? "" : ", ") + std::string(problem.resourceName(r));
        if (!others.empty()) add(indent + others);
        if (shut) add(indent + "!! unavailable");
        return lines;
    }

    std::string lessonTitle(int p, int hour) const {
        const Placement& placement = layout.placements[p];
        const std::string id = problem.activityName(placement.activity);
        if (placement.hour != hour) return "^ " + id;
        return (placement.broken() ? "!! " : "") + id + (placement.penalised() ? " *" : "");
    }

    void unassigned() {
        out += "\n==== Unassigned lessons ====\n";
        if (layout.unassigned.empty()) out += "Every lesson has a place.\n";
        int dayWidth = 0;
        for (int d = 0; d < problem.days; ++d)
            dayWidth = std::max(dayWidth, columns(layout.calendar.day(d)) + 2);
        for (int a : layout.unassigned) {
            const Activity& activity = problem.activities[a];
            out += "\n" +
                   wrap("",
                        std::string(problem.activityName(a)) + " (length " +
                            std::to_string(activity.length) + ", weeks " +
                            weekLetter(activity.week) + ", needs " + needsText(problem, a) + ")",
                        "    ");
            for (const DayBlocking& day : blockingOf(layout, a)) {
                std::string dayLabel = pad(layout.calendar.day(day.day), dayWidth);
                for (const BlockedRun& run : day.runs) {
                    out += wrap("  " + dayLabel,
                                startsText(day.day, run) + ": " + describe(layout, a, run),
                                std::string(dayWidth + 4, ' '));
                    dayLabel = std::string(dayWidth, ' ');
                }
            }
        }
    }

    std::string startsText(int day, const BlockedRun& run) const {
        const int first = layout.fileSlot(day, run.firstHour);
        const int last = layout.fileSlot(day, run.lastHour);
        if (last == first)
            return layout.calendar.period(run.firstHour) + " (slot " + std::to_string(first) + ")";
        if (layout.calendar.periodNames.empty())
            return "periods " + std::to_string(run.firstHour + 1) + "-" +
                   std::to_string(run.lastHour + 1) + " (slots " + std::to_string(first) + "-" +
                   std::to_string(last) + ")";
        return layout.calendar.period(run.firstHour) + " to " +
               layout.calendar.period(run.lastHour) + " (slots " + std::to_string(first) + "-" +
               std::to_string(last) + ")";
    }

    const CheckedTimetable& checked;
    const TimetableLayout& layout;
    const ProblemData& problem;
    int labelWidth = 4;  // "  1 " before the first day column
    int cellWidth = 8;
    std::string out;
};

}  // namespace

std::string renderText(const CheckedTimetable& checked, const TimetableLayout& layout) {
    return TextGrids(checked, layout).render();
}

}  // namespace View
