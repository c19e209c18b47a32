#include <string>
#include <vector>

#include "view/blocking_reasons.h"
#include "view/escape.h"
#include "view/explanations.h"
#include "view/renderers.h"

namespace View {

namespace {

const char* const pageStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; color: #222; margin: 1.5em; }
h1 { margin: 0 0 .2em; }
h2 { margin: 0 0 .4em; font-size: 1.3em; }
h2 .kind { color: #666; font-weight: normal; }
p.files { color: #555; margin: 0 0 1em; }
table.terms { border-collapse: collapse; margin-bottom: 1em; }
table.terms th, table.terms td { border: 1px solid #bbb; padding: 2px 10px; text-align: left; }
table.terms td.n { text-align: right; font-variant-numeric: tabular-nums; }
table.terms tr.total { font-weight: bold; background: #f0f0f0; }
nav { margin-bottom: 1.5em; }
nav h3 { margin: .6em 0 .2em; font-size: 1em; }
nav ul { margin: 0; padding: 0; list-style: none; }
nav li { display: inline-block; margin: 0 .8em .2em 0; }
section.grid { margin-bottom: 2em; }
table.week { border-collapse: collapse; width: 100%; table-layout: fixed; }
table.week th, table.week td { border: 1px solid #999; padding: 2px 4px; vertical-align: top;
  font-size: 12px; overflow-wrap: anywhere; }
table.week thead th { background: #eee; }
table.week th.slot { width: 3em; background: #eee; text-align: center; }
table.week th small { font-weight: normal; color: #555; }
table.week tbody tr { height: 2.8em; }
td.lesson { background: #dde8f7; }
td.lesson.even { background: #dff0d8; }
td.lesson.odd { background: #fbe7c6; }
td.free.unavailable {
  background: repeating-linear-gradient(45deg, #c8c8c8 0 3px, #eeeeee 3px 8px); }
td.lesson.penalised { border: 2px dashed #c0392b; }
td.lesson.broken, td.clash { border: 3px solid #b00020; }
td.clash { background: #f6c9cf; }
td.lesson.unavailable { background-image:
  repeating-linear-gradient(45deg, rgba(0,0,0,.18) 0 3px, transparent 3px 8px); }
.broken-mark { color: #b00020; font-weight: bold; }
section.broken { border: 2px solid #b00020; padding: .2em 1em; margin-bottom: 1.5em; }
section.broken h2 { color: #b00020; }
ul.notes { font-size: 12px; margin: .4em 0 0; padding-left: 1.4em; }
ul.notes li.rule { color: #b00020; }
section.penalties li, section.broken li { margin-bottom: .2em; }
.lesson .id { font-weight: bold; }
.lesson .res { color: #333; font-size: 11px; }
.wk { font-size: 10px; font-weight: bold; letter-spacing: .05em; color: #555; }
.mark { color: #c0392b; font-weight: bold; }
p.legend { font-size: 11px; color: #555; }
.sw { display: inline-block; width: 1.2em; height: .9em; border: 1px solid #999;
  vertical-align: middle; }
section.unassigned table { border-collapse: collapse; margin-bottom: 1.2em; }
section.unassigned th, section.unassigned td { border: 1px solid #bbb; padding: 2px 6px;
  vertical-align: top; font-size: 12px; text-align: left; }
section.unassigned .fits { color: #1e7b34; font-weight: bold; }
@media print {
  body { margin: 0; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  nav { display: none; }
  section.grid { break-before: page; page-break-before: always; break-inside: avoid; }
  section.unassigned, section.penalties { break-before: page; page-break-before: always; }
  a { color: inherit; text-decoration: none; }
}
)";

class HtmlPage {
public:
    HtmlPage(const CheckedTimetable& checked, const TimetableLayout& layout)
        : checked(checked), layout(layout), problem(layout.problem) {}

    std::string render() {
        out +=
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
            "<title>Timetable</title>\n<style>";
        out += pageStyle;
        out += "</style>\n</head>\n<body>\n";
        header();
        brokenRules();
        contents();
        for (ResourceKind kind : shownKinds)
            for (std::size_t r = 0; r < problem.resources.size(); ++r)
                if (checked.kinds[r] == kind) grid(static_cast<int>(r));
        penalties();
        unassigned();
        out += "</body>\n</html>\n";
        return out;
    }

private:
    std::string name(int resource) const { return htmlEscape(problem.resourceName(resource)); }
    std::string lesson(int activity) const { return htmlEscape(problem.activityName(activity)); }

    void header() {
        out += "<header>\n<h1>Timetable</h1>\n<p class=\"files\">Problem " +
               htmlEscape(checked.problemFile) + ", solution " + htmlEscape(checked.solutionFile) +
               "</p>\n";
        if (checked.judged) {
            out += "<table class=\"terms\">\n<tr class=\"total\"><th>Score</th><td class=\"n\">" +
                   std::to_string(checked.score) + "</td></tr>\n";
            for (const auto& [label, value] : labelledTerms(checked.terms))
                out += "<tr><th>" + htmlEscape(label) + "</th><td class=\"n\">" +
                       std::to_string(value) + "</td></tr>\n";
            out += "</table>\n";
        } else {
            out += "<p class=\"broken-mark\">Score: not counted. The timetable breaks " +
                   std::to_string(layout.rules.size()) +
                   " hard rules (listed below), so quorvex -c refuses it.</p>\n";
        }
        out += "<p>" + std::to_string(layout.placements.size()) + " lessons placed, " +
               std::to_string(layout.unassigned.size()) + " unassigned.</p>\n";
        out += "<p class=\"legend\">" + htmlEscape(weekLegend) + "</p>\n</header>\n";
    }

    void brokenRules() {
        if (layout.rules.empty()) return;
        out += "<section class=\"broken\" id=\"broken\">\n<h2>Broken hard rules (" +
               std::to_string(layout.rules.size()) + ")</h2>\n<ol>\n";
        for (const std::string& note : ruleNotes(layout, -1))
            out += "<li>" + htmlEscape(note) + "</li>\n";
        out += "</ol>\n</section>\n";
    }

    void penalties() {
        out += "<section class=\"penalties\" id=\"penalties\">\n<h2>Soft penalties</h2>\n";
        const std::vector<std::string> notes = penaltyNotes(layout, -1);
        if (notes.empty())
            out += "<p>None.</p>\n";
        else {
            out += "<ul>\n";
            for (const std::string& note : notes) out += "<li>" + htmlEscape(note) + "</li>\n";
            out += "</ul>\n";
        }
        out += "</section>\n";
    }

    void contents() {
        out += "<nav>\n<h2>Contents</h2>\n";
        for (ResourceKind kind : shownKinds) {
            std::string links;
            for (std::size_t r = 0; r < problem.resources.size(); ++r)
                if (checked.kinds[r] == kind)
                    links += "<li><a href=\"#r" + std::to_string(r) + "\">" +
                             name(static_cast<int>(r)) + "</a></li>";
            if (links.empty()) continue;
            out += std::string("<h3>") + kindTitle(kind) + "</h3>\n<ul>" + links + "</ul>\n";
        }
        out += "<h3><a href=\"#penalties\">Soft penalties</a></h3>\n";
        out += "<h3><a href=\"#unassigned\">Unassigned lessons (" +
               std::to_string(layout.unassigned.size()) + ")</a></h3>\n</nav>\n";
    }

    void grid(int resource) {
        const ResourceGrid g = layout.gridOf(resource);
        out += "<section class=\"grid\" id=\"r" + std::to_string(resource) +
               "\">\n<h2><span class=\"kind\">" + kindLabel(checked.kinds[resource]) + "</span> " +
               name(resource) + "</h2>\n";
        out += "<table class=\"week\">\n<colgroup><col class=\"slot\"/>";
        for (int d = 0; d < problem.days; ++d) out += "<col/><col/>";
        out += "</colgroup>\n<thead><tr><th class=\"slot\">Period</th>";
        for (int d = 0; d < problem.days; ++d)
            out += "<th colspan=\"2\">" + htmlEscape(layout.calendar.day(d)) +
                   "<br/><small>slots " + std::to_string(layout.fileSlot(d, 0)) + "&#8211;" +
                   std::to_string(layout.fileSlot(d, layout.fileSlotsPerDay - 1)) + "</small></th>";
        out += "</tr>\n</thead>\n<tbody>\n";
        for (int hour = 0; hour < layout.fileSlotsPerDay; ++hour) {
            out +=
                "<tr><th class=\"slot\">" + htmlEscape(layout.calendar.periodLabel(hour)) + "</th>";
            for (const GridCell& cell : g.cells[hour]) gridCell(resource, cell);
            out += "</tr>\n";
        }
        out += "</tbody>\n</table>\n";
        legend(g.splitWeeks);
        notes(resource);
        out += "</section>\n";
    }

    // The reasons of the grid's marks, printed with it.
    void notes(int resource) {
        const std::vector<std::string> rules = ruleNotes(layout, resource);
        const std::vector<std::string> penalties = penaltyNotes(layout, resource);
        if (rules.empty() && penalties.empty()) return;
        out += "<ul class=\"notes\">\n";
        for (const std::string& note : rules)
            out += "<li class=\"rule\"><span class=\"broken-mark\">!!</span> " + htmlEscape(note) +
                   "</li>\n";
        for (const std::string& note : penalties)
            out += "<li><span class=\"mark\">!</span> " + htmlEscape(note) + "</li>\n";
        out += "</ul>\n";
    }

    void weekTag(int week) {
        if (week == 2) out += "<div class=\"wk\">EVEN WEEK</div>";
        if (week == 1) out += "<div class=\"wk\">ODD WEEK</div>";
    }

    // Everything held at one slot of a crowded day.
    void clashCell(const GridCell& cell, const std::string& span) {
        out += "<td class=\"clash\"" + span + " title=\"clash\">";
        weekTag(cell.week);
        out += "<div class=\"broken-mark\">!! CLASH</div>";
        for (const Holder& h : cell.holders) {
            const Placement& p = layout.placements[h.placement];
            if (h.isBreak) {
                out += "<div class=\"res\">(break after " + lesson(p.activity) + ")</div>";
            } else {
                out += "<div class=\"id\">" + std::string(p.hour != cell.hour ? "&#8593; " : "") +
                       lesson(p.activity) + "</div>";
            }
        }
        out += "</td>";
    }

    void gridCell(int resource, const GridCell& cell) {
        const std::string span = cell.week == 3 ? " colspan=\"2\"" : "";
        if (cell.clash) {
            clashCell(cell, span);
            return;
        }
        if (cell.placement < 0) {
            out += std::string("<td class=\"free") + (cell.unavailable ? " unavailable" : "") +
                   "\"" + span + (cell.unavailable ? " title=\"unavailable\"" : "") + ">";
            // The free half beside a lesson of the other week says which week it is.
            if (cell.week == 2)
                out += "<div class=\"wk\">EVEN WEEK</div><div class=\"res\">free</div>";
            if (cell.week == 1)
                out += "<div class=\"wk\">ODD WEEK</div><div class=\"res\">free</div>";
            out += "</td>";
            return;
        }
        const Placement& p = layout.placements[cell.placement];
        std::string classes = "lesson";
        if (cell.week == 2) classes += " even";
        if (cell.week == 1) classes += " odd";
        if (p.penalised()) classes += " penalised";
        if (p.broken()) classes += " broken";
        if (cell.unavailable) classes += " unavailable";
        out += "<td class=\"" + classes + "\"" + span;
        if (cell.rows > 1) out += " rowspan=\"" + std::to_string(cell.rows) + "\"";
        out += " title=\"" + placementTitle(p) + "\">";
        weekTag(cell.week);
        out += "<div class=\"id\">";
        if (p.hour != cell.hour) out += "&#8593; ";
        if (p.broken()) out += "<span class=\"broken-mark\">!!</span> ";
        out += lesson(p.activity);
        if (p.penalised()) out += " <span class=\"mark\">!</span>";
        out += "</div>";
        if (cell.unavailable) out += "<div class=\"broken-mark\">unavailable</div>";
        if (p.hour != cell.hour) {
            out += "</td>";
            return;
        }
        out += "<div class=\"res\">";
        std::vector<int> others = layout.otherResources(p, resource);
        for (std::size_t i = 0; i < others.size(); ++i)
            out += (i > 0 ? ", " : "") + name(others[i]);
        out += "</div></td>";
    }

    // What a pointer over the lesson tells: its slots, weeks and penalties.
    std::string placementTitle(const Placement& p) const {
        std::string text = std::string(problem.activityName(p.activity)) + ": " +
                           layout.whereLesson(p) + ", " + weekWords(p.week);
        if (p.softCost > 0) text += ", soft preference cost " + std::to_string(p.softCost);
        for (int i : p.brokenDependences)
            text += ", breaks soft dependence " + std::to_string(i) + " (" +
                    std::to_string(problem.dependences[i].score) + ")";
        return htmlEscape(text);
    }

    void legend(bool splitWeeks) {
        out += "<p class=\"legend\">";
        if (splitWeeks)
            out +=
                "<span class=\"sw\" style=\"background:#dff0d8\"></span> even week only "
                "&#160; <span class=\"sw\" style=\"background:#fbe7c6\"></span> odd week only "
                "&#160; ";
        out +=
            "<span class=\"sw\" style=\"background:#dde8f7\"></span> every week &#160; "
            "<span class=\"sw\" style=\"background:#c8c8c8\"></span> unavailable &#160; "
            "<span class=\"mark\">!</span> soft penalty (dashed border; the reasons are listed "
            "below) &#160; <span class=\"broken-mark\">!!</span> breaks a hard rule (red border) "
            "&#160; &#8593; continues from the period above. " +
            htmlEscape(weekLegend) + "</p>\n";
    }

    void unassigned() {
        out += "<section class=\"unassigned\" id=\"unassigned\">\n<h2>Unassigned lessons</h2>\n";
        if (layout.unassigned.empty()) out += "<p>Every lesson has a place.</p>\n";
        for (int a : layout.unassigned) unassignedLesson(a);
        out += "</section>\n";
    }

    void unassignedLesson(int a) {
        const Activity& activity = problem.activities[a];
        out += "<h3>" + lesson(a) + "</h3>\n<p>Length " + std::to_string(activity.length) + ", " +
               weekWords(activity.week) + " (" + weekLetter(activity.week) + "), needs " +
               htmlEscape(needsText(problem, a)) +
               ".</p>\n<table>\n<tr><th>Day</th><th>Starts</th><th>First reason no start "
               "fits</th></tr>\n";
        for (const DayBlocking& day : blockingOf(layout, a)) {
            bool firstRow = true;
            for (const BlockedRun& run : day.runs) {
                out += "<tr>";
                if (firstRow)
                    out += "<th rowspan=\"" + std::to_string(day.runs.size()) + "\">" +
                           htmlEscape(layout.calendar.day(day.day)) + "</th>";
                firstRow = false;
                const int first = layout.fileSlot(day.day, run.firstHour);
                const int last = layout.fileSlot(day.day, run.lastHour);
                const std::string periods =
                    layout.calendar.period(run.firstHour) +
                    (last > first ? " to " + layout.calendar.period(run.lastHour) : "");
                out += "<td>" + htmlEscape(periods) + " (slot" + (last > first ? "s " : " ") +
                       std::to_string(first) +
                       (last > first ? "&#8211;" + std::to_string(last) : "") + ")</td><td" +
                       (run.reason.kind == Block::fits ? " class=\"fits\"" : "") + ">" +
                       htmlEscape(describe(layout, a, run)) + "</td></tr>\n";
            }
        }
        out += "</table>\n";
    }

    const CheckedTimetable& checked;
    const TimetableLayout& layout;
    const ProblemData& problem;
    std::string out;
};

}  // namespace

std::string renderHtml(const CheckedTimetable& checked, const TimetableLayout& layout) {
    return HtmlPage(checked, layout).render();
}

}  // namespace View
