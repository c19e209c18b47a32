#!/usr/bin/env python3
"""Judges the school rules of a timetable, and nothing else.

  check_rules.py [--all] PROBLEM.xml SOLUTION.xml

Reads the school rules of the problem (the resource rules MaxPerDay,
MinPerDay, MaxGaps, MaxGapsPerDay, MinDays, MaxConsecutive and
MaxLateStarts, and the ActivityRules DifferentDays, SameDay, SamePeriod,
Consecutive, DailyLimit and LastOfDay) and the starts of the timetable, and
prints per rule kind how many rules there are, every breach of a hard rule
(the rule, the resource or lessons, the day and the week) and the units and
cost of the soft ones; --all lists the soft breaches too. The other rules
(clashes, time preferences, breaks, dependences, ...) are not looked at.

Exit status: 0 when no hard school rule is broken, 1 when one is, 2 when
the arguments or the files cannot be judged.

The words used below:
  busy      a slot of a week (even or odd) covered by a placed lesson held
            that week that uses the resource (lessons of every week, A, are
            held in both);
  break     a free slot that the resource's Break keeps after a lesson it
            serves, on the lesson's day and in the lesson's weeks; it is
            neither busy nor a gap;
  unavailable  a slot the resource's own time preferences forbid (Hard, or
            outside its Avail); it is not a gap;
  working day  a day of a week with a busy slot.
Days, periods and slots are those of the problem file; days and periods
are printed counted from 1.
"""
import sys
import xml.etree.ElementTree as ET

RESOURCE_RULES = ["MaxPerDay", "MinPerDay", "MaxGaps", "MaxGapsPerDay", "MinDays",
                  "MaxConsecutive", "MaxLateStarts"]
ACTIVITY_RULES = ["DifferentDays", "SameDay", "SamePeriod", "Consecutive", "DailyLimit", "LastOfDay"]
WEEKS = {"A": (0, 1), "E": (0,), "O": (1,)}
WEEK_NAMES = ("even week", "odd week")
USAGE = "usage: check_rules.py [--all] PROBLEM.xml SOLUTION.xml"


class InputError(Exception):
    pass


def integer(text, what):
    text = (text or "").strip()
    if not text.isdigit():
        raise InputError(f"{what}: a number is needed, not {text!r}")
    return int(text)


def slot_list(text, what):
    """The slots of a Hard or Avail text: one slot, or an interval a#b."""
    if "#" in text:
        first, last = text.split("#", 1)
        return range(integer(first, what), integer(last, what) + 1)
    return [integer(text, what)]


class Resource:
    def __init__(self, rid, category):
        self.id, self.category = rid, category
        self.unavailable = set()
        self.brk = 0
        self.rules = []  # (kind, value, score or None)


class Activity:
    def __init__(self, aid):
        self.id = aid
        self.length = 1
        self.week = "A"
        self.required = []  # resources required directly (conjunctive members too)
        self.groups = []    # choice groups of two or more members


class Rule:
    def __init__(self, kind, value, score, lessons=(), resource=None, attributes=None):
        self.kind, self.value, self.score = kind, value, score
        self.lessons = list(lessons)
        self.resource = resource
        self.attributes = attributes or {}

    def hard(self):
        return self.score is None

    def name(self):
        """The rule as a reader would recognise it in the file."""
        attributes = "".join(f' {k}="{v}"' for k, v in self.attributes.items())
        if self.resource is not None:
            return f"{self.kind} {self.value} on {self.resource}"
        return f"{self.kind}{attributes} ({', '.join(self.lessons)})"


def score_of(element, what):
    if "score" not in element.attrib:
        return None
    return integer(element.get("score"), f"{what}: score")


class Problem:
    def __init__(self, root):
        problem = root.find("Problem") if root.tag == "Timetable" else None
        if problem is None:
            raise InputError("no Timetable/Problem element")
        general = problem.find("General")
        if general is None:
            raise InputError("no General element")
        self.days = integer(general.findtext("DaysPerWeek"), "DaysPerWeek")
        self.slots = integer(general.findtext("SlotsPerDay"), "SlotsPerDay")
        if self.days < 1 or self.slots < 1:
            raise InputError("DaysPerWeek and SlotsPerDay should be at least 1")
        self.resources = {}
        self.rules = []
        resources = problem.find("Resources")
        for category in ("Classrooms", "Teachers", "Classes", "Special"):
            node = resources.find(category) if resources is not None else None
            for element in node.findall("Resource") if node is not None else []:
                self.read_resource(element, category)
        self.activities = {}
        activities = problem.find("Activities")
        for element in activities.findall("Activity") if activities is not None else []:
            self.read_activity(element)
        self.members = {r for a in self.activities.values() for g in a.groups for r in g}
        for rule in self.rules:
            if rule.resource in self.members:
                raise InputError(f"{rule.kind} on {rule.resource}, a member of a group")
        node = problem.find("ActivityRules")
        for element in list(node) if node is not None else []:
            self.read_activity_rule(element)

    def read_resource(self, element, category):
        rid = (element.get("id") or "").strip()
        if rid in self.resources:
            raise InputError(f"resource {rid} declared twice")
        resource = Resource(rid, category)
        self.resources[rid] = resource
        week = self.days * self.slots
        prefs = element.find("TimePreferences")
        if prefs is not None:
            hard = set()
            for child in prefs.findall("Hard"):
                hard.update(slot_list(child.text or "", f"Hard of {rid}"))
            avail = None
            for child in prefs.findall("Avail"):
                avail = (avail or set()) | set(slot_list(child.text or "", f"Avail of {rid}"))
            resource.unavailable = {s for s in range(week) if s in hard or (avail is not None and s not in avail)}
        if element.find("Break") is not None:
            resource.brk = integer(element.findtext("Break"), f"Break of {rid}")
        for kind in RESOURCE_RULES:
            found = element.findall(kind)
            if len(found) > 1:
                raise InputError(f"{kind} twice on {rid}")
            if found:
                value = integer(found[0].text, f"{kind} of {rid}")
                low = 0 if kind in ("MaxGaps", "MaxGapsPerDay", "MaxLateStarts") else 1
                if value < low or (kind == "MinDays" and value > self.days):
                    raise InputError(f"{kind} of {rid} out of range ({value})")
                self.rules.append(Rule(kind, value, score_of(found[0], f"{kind} of {rid}"), resource=rid))

    def read_activity(self, element):
        aid = (element.get("id") or "").strip()
        if aid in self.activities:
            raise InputError(f"activity {aid} declared twice")
        activity = Activity(aid)
        self.activities[aid] = activity
        activity.length = integer(element.findtext("Length"), f"Length of {aid}")
        activity.week = (element.findtext("Week") or "A").strip()
        if activity.week not in WEEKS:
            raise InputError(f"Week of {aid} should be A, E or O")
        required = element.find("RequiredResources")
        for child in list(required) if required is not None else []:
            names = [(r.text or "").strip() for r in child.findall("Resource")] if child.tag == "Group" \
                else [(child.text or "").strip()]
            for name in names:
                if name not in self.resources:
                    raise InputError(f"activity {aid} requires unknown resource {name}")
            # A conjunctive group needs all its members, a group of one member
            # that one: both are resources the lesson requires directly.
            if child.tag == "Group" and child.get("conjunctive", "no") != "yes" and len(names) > 1:
                activity.groups.append(names)
            else:
                activity.required.extend(names)

    def read_activity_rule(self, element):
        kind = element.tag
        if kind not in ACTIVITY_RULES:
            raise InputError(f"unknown activity rule {kind}")
        lessons = [(a.text or "").strip() for a in element.findall("Activity")]
        what = f"{kind} ({', '.join(lessons)})"
        for aid in lessons:
            if aid not in self.activities:
                raise InputError(f"{what}: unknown activity {aid}")
        if len(set(lessons)) != len(lessons):
            raise InputError(f"{what}: an activity listed twice")
        if len(lessons) < (1 if kind == "LastOfDay" else 2):
            raise InputError(f"{what}: too few activities")
        attributes, value = {}, None
        if kind == "DifferentDays":
            value = integer(element.get("days", "1"), f"{what}: days")
            if "days" in element.attrib:
                attributes["days"] = value
            if value < 1:
                raise InputError(f"{what}: days should be at least 1")
        elif kind == "Consecutive":
            ordered = element.get("ordered", "yes")
            if ordered not in ("yes", "no"):
                raise InputError(f"{what}: ordered should be yes or no")
            value = ordered == "yes"
            if "ordered" in element.attrib:
                attributes["ordered"] = ordered
        elif kind == "DailyLimit":
            if "slots" not in element.attrib:
                raise InputError(f"{what}: slots needed")
            value = integer(element.get("slots"), f"{what}: slots")
            attributes["slots"] = value
            if value < 1:
                raise InputError(f"{what}: slots should be at least 1")
        self.rules.append(Rule(kind, value, score_of(element, what), lessons, attributes=attributes))


class Placed:
    def __init__(self, activity, start, uses):
        self.id, self.start, self.length = activity.id, start, activity.length
        self.end = start + activity.length
        self.weeks = WEEKS[activity.week]
        self.uses = uses  # every resource the lesson uses


class Timetable:
    """The placed lessons, and for each resource its busy and break slots per week."""

    def __init__(self, problem, root):
        solution = root.find("Solution") if root.tag == "Timetable" else None
        if solution is None:
            raise InputError("no Timetable/Solution element in the timetable file")
        self.problem = problem
        self.placed = {}
        self.notes = []
        week_slots = problem.days * problem.slots
        seen = set()
        for element in solution.findall("Activity"):
            aid = (element.get("id") or "").strip()
            activity = problem.activities.get(aid)
            if activity is None:
                raise InputError(f"timetable names unknown activity {aid}")
            if aid in seen:
                raise InputError(f"timetable names activity {aid} twice")
            seen.add(aid)
            if element.find("StartTime") is None:
                continue  # unassigned
            start = integer(element.findtext("StartTime"), f"StartTime of {aid}")
            chosen = [(r.text or "").strip() for r in element.iter("Resource")]
            members = {r for g in activity.groups for r in g}
            uses = list(activity.required) + [r for r in chosen if r in members]
            self.placed[aid] = Placed(activity, start, uses)
            if start + activity.length > week_slots or self.day(start) != self.day(start + activity.length - 1):
                self.notes.append(f"note: {aid} runs past the end of its day or week; "
                                  f"each slot it covers counts on its own day")
        self.busy = {r: (set(), set()) for r in problem.resources}
        self.kept_free = {r: (set(), set()) for r in problem.resources}
        for lesson in self.placed.values():
            for r in lesson.uses:
                for w in lesson.weeks:
                    self.busy[r][w].update(s for s in range(lesson.start, lesson.end) if s < week_slots)
        for lesson in self.placed.values():
            day_end = (self.day(lesson.start) + 1) * problem.slots
            for r in lesson.uses:
                brk = problem.resources[r].brk
                for w in lesson.weeks:
                    after = range(lesson.end, min(lesson.end + brk, day_end))
                    self.kept_free[r][w].update(s for s in after if s not in self.busy[r][w])

    def day(self, slot):
        return slot // self.problem.slots

    def period(self, slot):
        return slot % self.problem.slots

    def day_slots(self, d):
        return range(d * self.problem.slots, (d + 1) * self.problem.slots)

    def busy_in_day(self, r, w, d):
        return [s for s in self.day_slots(d) if s in self.busy[r][w]]

    def gaps_in_day(self, r, w, d):
        used = self.busy_in_day(r, w, d)
        if not used:
            return 0
        unavailable = self.problem.resources[r].unavailable
        return sum(1 for s in range(used[0], used[-1] + 1)
                   if s not in self.busy[r][w] and s not in unavailable and s not in self.kept_free[r][w])


def where(d, w=None):
    return f"day {d + 1}" + ("" if w is None else f", {WEEK_NAMES[w]}")


# Each judge yields (units, where) for one rule: where names the day and week.

def judge_max_per_day(tt, rule):
    for w in (0, 1):
        for d in range(tt.problem.days):
            n = len(tt.busy_in_day(rule.resource, w, d))
            if n > rule.value:
                yield n - rule.value, f"{where(d, w)}: {n} busy slots"


def judge_min_per_day(tt, rule):
    for w in (0, 1):
        for d in range(tt.problem.days):
            n = len(tt.busy_in_day(rule.resource, w, d))
            if 0 < n < rule.value:
                yield rule.value - n, f"{where(d, w)}: {n} busy slots"


def judge_max_gaps(tt, rule):
    for w in (0, 1):
        n = sum(tt.gaps_in_day(rule.resource, w, d) for d in range(tt.problem.days))
        if n > rule.value:
            yield n - rule.value, f"{WEEK_NAMES[w]}: {n} gap slots"


def judge_max_gaps_per_day(tt, rule):
    for w in (0, 1):
        for d in range(tt.problem.days):
            n = tt.gaps_in_day(rule.resource, w, d)
            if n > rule.value:
                yield n - rule.value, f"{where(d, w)}: {n} gap slots"


def judge_min_days(tt, rule):
    r = rule.resource
    n = sum(1 for d in range(tt.problem.days) if tt.busy_in_day(r, 0, d) or tt.busy_in_day(r, 1, d))
    if 0 < n < rule.value:
        yield rule.value - n, f"the week: works on {n} days"


def judge_max_consecutive(tt, rule):
    for w in (0, 1):
        for d in range(tt.problem.days):
            run = 0
            for s in tt.day_slots(d):
                run = run + 1 if s in tt.busy[rule.resource][w] else 0
                if run > rule.value:
                    yield 1, f"{where(d, w)}: busy slot {run} in a row at period {tt.period(s) + 1}"


def judge_max_late_starts(tt, rule):
    unavailable = tt.problem.resources[rule.resource].unavailable
    for w in (0, 1):
        late = 0
        for d in range(tt.problem.days):
            used = tt.busy_in_day(rule.resource, w, d)
            if not used:
                continue
            # How many available slots of the day pass before the first lesson.
            before = sum(1 for s in range(d * tt.problem.slots, used[0]) if s not in unavailable)
            if before == 1:
                late += 1
                if late > rule.value:
                    yield 1, f"{where(d, w)}: starts at the second available slot, late day {late}"
            elif before > 1:
                yield 1, f"{where(d, w)}: starts after {before} available slots"


def placed_of(tt, rule):
    return [tt.placed[a] for a in rule.lessons if a in tt.placed]


def pairs(items):
    return [(a, b) for i, a in enumerate(items) for b in items[i + 1:]]


def judge_different_days(tt, rule):
    for a, b in pairs(placed_of(tt, rule)):
        da, db = tt.day(a.start), tt.day(b.start)
        if abs(da - db) < rule.value:
            yield 1, f"{a.id} on {where(da)}, {b.id} on {where(db)}"


def judge_same_day(tt, rule):
    for a, b in pairs(placed_of(tt, rule)):
        da, db = tt.day(a.start), tt.day(b.start)
        if da != db:
            yield 1, f"{a.id} on {where(da)}, {b.id} on {where(db)}"


def judge_same_period(tt, rule):
    for a, b in pairs(placed_of(tt, rule)):
        pa, pb = tt.period(a.start), tt.period(b.start)
        if pa != pb:
            yield 1, f"{a.id} at period {pa + 1} of {where(tt.day(a.start))}, " \
                     f"{b.id} at period {pb + 1} of {where(tt.day(b.start))}"


def judge_consecutive(tt, rule):
    lessons = placed_of(tt, rule)
    if not rule.value:  # ordered="no": in the order of their starts, ties as listed
        lessons = sorted(lessons, key=lambda lesson: lesson.start)
    for a, b in zip(lessons, lessons[1:]):
        if b.start != a.end or tt.day(b.start) != tt.day(a.start):
            yield 1, f"{b.id} (slot {b.start}, {where(tt.day(b.start))}) does not follow " \
                     f"{a.id} (slot {a.start}, length {a.length}, {where(tt.day(a.start))})"


def judge_daily_limit(tt, rule):
    lessons = placed_of(tt, rule)
    for w in (0, 1):
        for d in range(tt.problem.days):
            n = sum(x.length for x in lessons if w in x.weeks and tt.day(x.start) == d)
            if n > rule.value:
                yield n - rule.value, f"{where(d, w)}: {n} slots"


def judge_last_of_day(tt, rule):
    for lesson in placed_of(tt, rule):
        activity = tt.problem.activities[lesson.id]
        classes = {r for r in activity.required if tt.problem.resources[r].category == "Classes"}
        d = tt.day(lesson.start)
        later = [other for other in tt.placed.values()
                 if other is not lesson and classes & set(other.uses) and set(other.weeks) & set(lesson.weeks)
                 and tt.day(other.start) == d and other.start >= lesson.end]
        if later:
            names = ", ".join(sorted(other.id for other in later))
            yield 1, f"{lesson.id} on {where(d)} is followed by {names}"


JUDGES = {"MaxPerDay": judge_max_per_day, "MinPerDay": judge_min_per_day, "MaxGaps": judge_max_gaps,
          "MaxGapsPerDay": judge_max_gaps_per_day, "MinDays": judge_min_days,
          "MaxConsecutive": judge_max_consecutive, "MaxLateStarts": judge_max_late_starts,
          "DifferentDays": judge_different_days, "SameDay": judge_same_day,
          "SamePeriod": judge_same_period, "Consecutive": judge_consecutive,
          "DailyLimit": judge_daily_limit, "LastOfDay": judge_last_of_day}


class Verdict:
    """Per rule kind: the rules, the hard breaches, the soft units and cost."""

    def __init__(self, problem, timetable):
        self.kinds = {kind: {"rules": 0, "hard": [], "soft_units": 0, "cost": 0, "soft": []}
                      for kind in RESOURCE_RULES + ACTIVITY_RULES}
        for rule in problem.rules:
            entry = self.kinds[rule.kind]
            entry["rules"] += 1
            for units, place in JUDGES[rule.kind](timetable, rule):
                if rule.hard():
                    entry["hard"].append((rule, units, place))
                else:
                    entry["soft_units"] += units
                    entry["cost"] += units * rule.score
                    entry["soft"].append((rule, units, place))

    def hard_breaches(self):
        return sum(len(entry["hard"]) for entry in self.kinds.values())

    def hard_units(self):
        return sum(units for entry in self.kinds.values() for _, units, _ in entry["hard"])

    def cost(self):
        return sum(entry["cost"] for entry in self.kinds.values())

    def units(self, kind):
        """Hard and soft units of a kind, for tests."""
        entry = self.kinds[kind]
        return sum(units for _, units, _ in entry["hard"]), entry["soft_units"]

    def print(self, out, all_soft):
        for kind, entry in self.kinds.items():
            if not entry["rules"]:
                continue
            hard_units = sum(units for _, units, _ in entry["hard"])
            print(f"{kind}: {entry['rules']} rules, {len(entry['hard'])} hard breaches ({hard_units} units), "
                  f"soft {entry['soft_units']} units costing {entry['cost']}", file=out)
            for rule, units, place in entry["hard"]:
                print(f"  broken: {rule.name()}: {place} ({units} unit{'s' if units != 1 else ''})", file=out)
            if all_soft:
                for rule, units, place in entry["soft"]:
                    print(f"  soft: {rule.name()} score {rule.score}: {place} "
                          f"({units} x {rule.score})", file=out)
        print(f"School rules: {self.hard_breaches()} hard breaches, soft cost {self.cost()}", file=out)


def judge_files(problem_path, solution_path):
    problem = Problem(ET.parse(problem_path).getroot())
    timetable = Timetable(problem, ET.parse(solution_path).getroot())
    return problem, timetable, Verdict(problem, timetable)


def main(argv, out=sys.stdout):
    all_soft = "--all" in argv
    paths = [a for a in argv if a != "--all"]
    if len(paths) != 2 or any(p.startswith("-") for p in paths):
        print(USAGE, file=sys.stderr)
        return 2
    try:
        problem, timetable, verdict = judge_files(*paths)
    except (InputError, ET.ParseError, OSError) as error:
        print(f"check_rules.py: {error}", file=sys.stderr)
        return 2
    for note in timetable.notes:
        print(note, file=out)
    print(f"{len(timetable.placed)} of {len(problem.activities)} lessons placed, "
          f"{len(problem.rules)} school rules", file=out)
    verdict.print(out, all_soft)
    return 1 if verdict.hard_breaches() else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
