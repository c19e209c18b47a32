#include <algorithm>
#include <string>
#include <vector>

#include "view/blocking_reasons.h"
#include "view/renderers.h"

namespace View {

namespace {

constexpr int labelWidth = 4;  // "  0 " before the first day column

// Names may hold line breaks and tabs; on a text grid they read as blanks.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return text;
}

// The text cut to width (a cut shown by "~") and padded with blanks.
std::string fit(const std::string& raw, int width) {
    if (width <= 0) return "";
    const std::string text = oneLine(raw);
    if (static_cast<int>(text.size()) > width) {
        // Never cut inside a UTF-8 sequence; a shorter cell still fits.
        std::size_t cut = width - 1;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        return text.substr(0, cut) + "~" + std::string(width - 1 - cut, ' ');
    }
    return text + std::string(width - text.size(), ' ');
}

// prefix, then the words of text on lines no longer than textWidth; later
// lines start with indent.
std::string wrap(const std::string& prefix, const std::string& raw, const std::string& indent) {
    const std::string text = oneLine(raw);
    std::string out, line = prefix;
    bool fresh = true;  // nothing but the prefix or the indent on the line yet
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = text.find(' ', pos);
        if (next == std::string::npos) next = text.size();
        const std::string word = text.substr(pos, next - pos);
        pos = next + 1;
        if (word.empty()) continue;
        if (!fresh && static_cast<int>(line.size() + 1 + word.size()) > textWidth) {
            out += line + "\n";
            line = indent;
        } else if (!fresh) {
            line += " ";
        }
        line += word;
        fresh = false;
    }
    out += line + "\n";
    // A word longer than a whole line is cut where the line ends.
    std::string cut;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        std::string piece = out.substr(start, end - start);
        while (static_cast<int>(piece.size()) > textWidth) {
            cut += piece.substr(0, textWidth) + "\n";
            piece = indent + piece.substr(textWidth);
        }
        cut += piece + "\n";
        start = end + 1;
    }
    return cut;
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
        : checked(checked),
          layout(layout),
          problem(layout.problem),
          cellWidth(std::max(3, (textWidth - labelWidth) / std::max(1, problem.days) - 1)) {}

    std::string render() {
        header();
        for (ResourceKind kind : shownKinds) {
            bool titled = false;
            for (std::size_t r = 0; r < problem.resources.size(); ++r) {
                if (checked.kinds[r] != kind) continue;
                if (!titled) out += std::string("\n==== ") + kindTitle(kind) + " ====\n";
                titled = true;
                grid(static_cast<int>(r));
            }
        }
        unassigned();
        return withoutTrailingBlanks(out);
    }

private:
    void header() {
        out += wrap(
            "", "Timetable: problem " + checked.problemFile + ", solution " + checked.solutionFile,
            "  ");
        const auto rows = labelledTerms(checked.terms);
        out += "Score: " + std::to_string(checked.score) + "\n";
        for (const auto& [label, value] : rows)
            out += "  " + fit(label, 38) + std::to_string(value) + "\n";
        out += std::to_string(layout.placements.size()) + " lessons placed, " +
               std::to_string(layout.unassigned.size()) + " unassigned.\n";
        out +=
            "Marks: * soft penalty, ^ continues from above, E/O even/odd week only, "
            "//// unavailable\n";
    }

    std::string ruler() const {
        std::string line(labelWidth - 1, '-');
        for (int d = 0; d < problem.days; ++d) line += "+" + std::string(cellWidth, '-');
        return line + "\n";
    }

    void grid(int resource) {
        out += "\n" + wrap("",
                           std::string(kindLabel(checked.kinds[resource])) + " " +
                               problem.resourceName(resource),
                           "  ");
        out += std::string(labelWidth - 1, ' ');
        for (int d = 0; d < problem.days; ++d) out += "|" + fit(dayTitle(d), cellWidth);
        out += "\n" + std::string(labelWidth - 1, ' ');
        for (int d = 0; d < problem.days; ++d)
            out += "|" + fit("slots " + std::to_string(layout.fileSlot(d, 0)) + "-" +
                                 std::to_string(layout.fileSlot(d, layout.fileSlotsPerDay - 1)),
                             cellWidth);
        out += "\n" + ruler();
        for (int hour = 0; hour < layout.fileSlotsPerDay; ++hour) {
            for (int line = 0; line < 2; ++line) {
                std::string label = line == 0 ? std::to_string(hour) : "";
                out +=
                    std::string(labelWidth - 1 - std::min<int>(label.size(), labelWidth - 1), ' ') +
                    label;
                for (int d = 0; d < problem.days; ++d)
                    out += "|" + cellLine(resource, d, hour, line);
                out += "\n";
            }
            out += ruler();
        }
    }

    // Line 0 of a cell names the lesson, line 1 its other resources. When the
    // weeks differ, line 0 shows the even week and line 1 the odd one,
    // marked E and O, without resources: the names need the width.
    std::string cellLine(int resource, int day, int hour, int line) const {
        const int slot = layout.internalSlot(day, hour);
        int held[2];
        for (int w = 0; w < 2; ++w) {
            const Holder& h = layout.holder(w, resource, slot);
            held[w] = h.isBreak ? -1 : h.placement;
        }
        if (held[0] == held[1]) return fit(part(resource, slot, hour, held[0], line), cellWidth);
        return fit((line == 0 ? "E " : "O ") + part(resource, slot, hour, held[line], 0),
                   cellWidth);
    }

    std::string part(int resource, int slot, int hour, int p, int line) const {
        if (p < 0) return layout.unavailable(resource, slot) ? std::string(cellWidth, '/') : "";
        const Placement& placement = layout.placements[p];
        const std::string id = problem.activityName(placement.activity);
        if (placement.hour != hour) return line == 0 ? "^ " + id : "";
        if (line == 0) return id + (placement.penalised() ? " *" : "");
        std::string others;
        for (int r : layout.otherResources(placement, resource))
            others += (others.empty() ? "" : ",") + std::string(problem.resourceName(r));
        return others;
    }

    void unassigned() {
        out += "\n==== Unassigned lessons ====\n";
        if (layout.unassigned.empty()) out += "Every lesson has a place.\n";
        for (int a : layout.unassigned) {
            const Activity& activity = problem.activities[a];
            std::string needs;
            for (int r : activity.reqRes)
                needs += (needs.empty() ? "" : ", ") + std::string(problem.resourceName(r));
            for (int g : activity.reqGroups) {
                std::string members;
                for (int r : problem.groups[g].resources)
                    members +=
                        (members.empty() ? "" : " or ") + std::string(problem.resourceName(r));
                needs += (needs.empty() ? "one of " : ", one of ") + members;
            }
            out += "\n" + wrap("",
                               std::string(problem.activityName(a)) + " (length " +
                                   std::to_string(activity.length) + ", weeks " +
                                   weekLetter(activity.week) + ", needs " + needs + ")",
                               "    ");
            for (const DayBlocking& day : blockingOf(layout, a)) {
                std::string dayLabel = fit(dayTitle(day.day), 8);
                for (const BlockedRun& run : day.runs) {
                    const int first = layout.fileSlot(day.day, run.firstHour);
                    const int last = layout.fileSlot(day.day, run.lastHour);
                    const std::string starts =
                        last > first ? "slots " + std::to_string(first) + "-" + std::to_string(last)
                                     : "slot " + std::to_string(first);
                    out += wrap("  " + dayLabel, starts + ": " + describe(layout, a, run),
                                std::string(12, ' '));
                    dayLabel = std::string(8, ' ');
                }
            }
        }
    }

    const CheckedTimetable& checked;
    const TimetableLayout& layout;
    const ProblemData& problem;
    const int cellWidth;
    std::string out;
};

}  // namespace

std::string renderText(const CheckedTimetable& checked, const TimetableLayout& layout) {
    return TextGrids(checked, layout).render();
}

}  // namespace View
