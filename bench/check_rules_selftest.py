#!/usr/bin/env python3
"""Tiny timetables whose school-rule breaches are worked out by hand, judged
by check_rules.py. Run: python3 bench/check_rules_selftest.py"""
import io
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_rules  # noqa: E402


def problem_xml(days, slots, resources, activities, rules=""):
    """resources: {category: [xml of Resource]}; activities: [(id, length, week, required xml)]."""
    parts = [f"<Timetable><Problem><General><DaysPerWeek>{days}</DaysPerWeek>"
             f"<SlotsPerDay>{slots}</SlotsPerDay></General><Resources>"]
    for category in ("Classrooms", "Teachers", "Classes", "Special"):
        parts.append(f"<{category}>{''.join(resources.get(category, []))}</{category}>")
    parts.append("</Resources><Activities>")
    for aid, length, week, required in activities:
        parts.append(f'<Activity id="{aid}"><Length>{length}</Length><Week>{week}</Week>'
                     f"<RequiredResources>{required}</RequiredResources></Activity>")
    parts.append(f"</Activities><ActivityRules>{rules}</ActivityRules></Problem></Timetable>")
    return "".join(parts)


def solution_xml(starts, used=None):
    """starts: {id: slot or None}; used: {id: [resources]} (the chosen members)."""
    parts = ["<Timetable><Solution>"]
    for aid, start in starts.items():
        if start is None:
            parts.append(f'<Activity id="{aid}"/>')
        else:
            names = "".join(f"<Resource>{r}</Resource>" for r in (used or {}).get(aid, []))
            parts.append(f'<Activity id="{aid}"><StartTime>{start}</StartTime>'
                         f"<UsedResources>{names}</UsedResources></Activity>")
    parts.append("</Solution></Timetable>")
    return "".join(parts)


def judge(problem, solution):
    parsed = check_rules.Problem(ET.fromstring(problem))
    timetable = check_rules.Timetable(parsed, ET.fromstring(solution))
    return check_rules.Verdict(parsed, timetable)


def teacher(rules, extra=""):
    return {"Teachers": [f'<Resource id="T">{extra}{rules}</Resource>']}


def lessons(*shapes):
    """shapes: (id, length, week); each requires T directly."""
    return [(aid, length, week, "<Resource>T</Resource>") for aid, length, week in shapes]


class ResourceRules(unittest.TestCase):
    def test_max_per_day_counts_each_week(self):
        # Three every-week lessons and one even-week lesson on one day: the
        # even week has 4 busy slots (2 above), the odd week 3 (1 above).
        p = problem_xml(1, 6, teacher("<MaxPerDay>2</MaxPerDay>"),
                        lessons(("a", 1, "A"), ("b", 1, "A"), ("c", 1, "A"), ("e", 1, "E")))
        verdict = judge(p, solution_xml({"a": 0, "b": 1, "c": 2, "e": 3}))
        self.assertEqual(verdict.units("MaxPerDay"), (3, 0))
        self.assertEqual(verdict.hard_breaches(), 2)

    def test_min_per_day_only_on_working_days(self):
        # Day 1: an every-week lesson (2 missing in each week); day 2: an
        # even-week lesson (2 missing in the even week, nothing in the odd week,
        # which does not work that day); day 3 is free in both weeks.
        p = problem_xml(3, 4, teacher('<MinPerDay score="5">3</MinPerDay>'),
                        lessons(("a", 1, "A"), ("e", 1, "E")))
        verdict = judge(p, solution_xml({"a": 0, "e": 4}))
        self.assertEqual(verdict.units("MinPerDay"), (0, 6))
        self.assertEqual(verdict.cost(), 30)
        self.assertEqual(verdict.hard_breaches(), 0)

    def test_gaps_leave_out_break_and_unavailable_slots(self):
        # Lessons at 0, 3, 7 of a day of 8; Break 1 keeps 1 and 4 free,
        # slot 5 is unavailable: the gaps are 2 and 6, in each week.
        rules = "<Break>1</Break><MaxGaps>1</MaxGaps><MaxGapsPerDay score=\"1\">0</MaxGapsPerDay>"
        p = problem_xml(1, 8, teacher(rules, "<TimePreferences><Hard>5</Hard></TimePreferences>"),
                        lessons(("a", 1, "A"), ("b", 1, "A"), ("c", 1, "A")))
        verdict = judge(p, solution_xml({"a": 0, "b": 3, "c": 7}))
        self.assertEqual(verdict.units("MaxGaps"), (2, 0))
        self.assertEqual(verdict.units("MaxGapsPerDay"), (0, 4))

    def test_gaps_with_avail_and_one_week_lessons(self):
        # Avail 0#2 and 4#5 (slot 3 unavailable). Even week: lessons at 0 and
        # 5 -> gaps 1, 2, 4; odd week: only the every-week lesson at 0 -> none.
        p = problem_xml(1, 6, teacher("<MaxGaps>0</MaxGaps>",
                                      "<TimePreferences><Avail>0#2</Avail><Avail>4#5</Avail></TimePreferences>"),
                        lessons(("a", 1, "A"), ("e", 1, "E")))
        verdict = judge(p, solution_xml({"a": 0, "e": 5}))
        self.assertEqual(verdict.units("MaxGaps"), (3, 0))

    def test_min_days_counts_a_day_of_either_week_once(self):
        p = problem_xml(5, 2, teacher("<MinDays>4</MinDays>"), lessons(("a", 1, "A"), ("e", 1, "E"), ("o", 1, "O")))
        verdict = judge(p, solution_xml({"a": 0, "e": 2, "o": 3}))
        self.assertEqual(verdict.units("MinDays"), (2, 0))  # days 1 and 2 worked
        unplaced = judge(p, solution_xml({"a": None, "e": None, "o": None}))
        self.assertEqual(unplaced.units("MinDays"), (0, 0))  # no lesson placed, nothing asked

    def test_max_consecutive_per_run_and_week(self):
        # Even week: 0-1, 2-3 and an even lesson at 4: one run of 5 (3 beyond 2);
        # odd week: a run of 4 (2 beyond). The lesson at 7 after a free slot starts anew.
        p = problem_xml(1, 8, teacher("<MaxConsecutive>2</MaxConsecutive>"),
                        lessons(("a", 2, "A"), ("b", 2, "A"), ("e", 1, "E"), ("c", 1, "A")))
        verdict = judge(p, solution_xml({"a": 0, "b": 2, "e": 4, "c": 6}))
        self.assertEqual(verdict.units("MaxConsecutive"), (5, 0))

    def test_max_consecutive_does_not_run_over_days(self):
        p = problem_xml(2, 2, teacher("<MaxConsecutive>2</MaxConsecutive>"), lessons(("a", 2, "A"), ("b", 2, "A")))
        self.assertEqual(judge(p, solution_xml({"a": 0, "b": 2})).units("MaxConsecutive"), (0, 0))

    def test_late_starts_count_from_available_slots(self):
        # Day 1: slot 0 is unavailable, a start at 1 is on time; day 2 starts at
        # its second slot (late); day 3 at its third (too late, always a unit).
        classes = {"Classes": ['<Resource id="C"><TimePreferences><Hard>0</Hard></TimePreferences>'
                               "<MaxLateStarts>0</MaxLateStarts></Resource>"]}
        acts = [(x, 1, "A", "<Resource>C</Resource>") for x in "abc"]
        p = problem_xml(3, 4, classes, acts)
        self.assertEqual(judge(p, solution_xml({"a": 1, "b": 5, "c": 10})).units("MaxLateStarts"), (4, 0))
        one = p.replace("<MaxLateStarts>0", "<MaxLateStarts>1")
        self.assertEqual(judge(one, solution_xml({"a": 1, "b": 5, "c": 10})).units("MaxLateStarts"), (2, 0))
        self.assertEqual(judge(one, solution_xml({"a": 1, "b": 5, "c": 8})).units("MaxLateStarts"), (0, 0))

    def test_busy_slots_of_a_chosen_member_and_of_other_resources(self):
        # T's lessons count, whatever room they chose; the room is no concern of T's rules.
        rooms = {"Classrooms": ['<Resource id="R1"/>', '<Resource id="R2"/>']}
        rooms.update(teacher("<MaxPerDay>1</MaxPerDay>"))
        acts = [(x, 1, "A", "<Resource>T</Resource><Group><Resource>R1</Resource><Resource>R2</Resource></Group>")
                for x in "ab"]
        p = problem_xml(1, 4, rooms, acts)
        verdict = judge(p, solution_xml({"a": 0, "b": 1}, {"a": ["R1", "T"], "b": ["R2", "T"]}))
        self.assertEqual(verdict.units("MaxPerDay"), (2, 0))


def lesson_rules(rules, *shapes, days=5, slots=4, classes=("C",)):
    """Lessons (id, length, week, class) of classes under Classes, with ActivityRules."""
    resources = {"Classes": [f'<Resource id="{c}"/>' for c in classes], "Teachers": ['<Resource id="T"/>']}
    acts = [(aid, length, week, f"<Resource>{c}</Resource>") for aid, length, week, c in shapes]
    return problem_xml(days, slots, resources, acts, rules)


def listed(element, ids, attributes=""):
    return f"<{element}{attributes}>" + "".join(f"<Activity>{i}</Activity>" for i in ids) + f"</{element}>"


class ActivityRules(unittest.TestCase):
    def test_different_days(self):
        shapes = [(x, 1, "A", "C") for x in "abcd"]
        p = lesson_rules(listed("DifferentDays", "abcd", ' days="2"'), *shapes)
        # Days 1, 2, 4 and d unplaced: only (a, b) are closer than 2 days.
        self.assertEqual(judge(p, solution_xml({"a": 0, "b": 4, "c": 12, "d": None})).units("DifferentDays"), (1, 0))
        p = lesson_rules(listed("DifferentDays", "abc"), *shapes)
        # Weeks do not matter: a and b on day 1 are a pair on one day.
        self.assertEqual(judge(p, solution_xml({"a": 0, "b": 1, "c": 4, "d": 5})).units("DifferentDays"), (1, 0))

    def test_same_day_and_same_period_count_pairs(self):
        shapes = [(x, 1, "A", "C") for x in "abc"]
        p = lesson_rules(listed("SameDay", "abc") + listed("SamePeriod", "abc", ' score="2"'), *shapes)
        verdict = judge(p, solution_xml({"a": 0, "b": 1, "c": 5}))  # days 1,1,2; periods 1,2,2
        self.assertEqual(verdict.units("SameDay"), (2, 0))
        self.assertEqual(verdict.units("SamePeriod"), (0, 2))
        self.assertEqual(verdict.cost(), 4)

    def test_consecutive_in_listed_order(self):
        shapes = [("a", 2, "A", "C"), ("b", 1, "A", "C"), ("c", 1, "A", "C")]
        p = lesson_rules(listed("Consecutive", "abc"), *shapes, slots=8)
        self.assertEqual(judge(p, solution_xml({"a": 0, "b": 2, "c": 3})).units("Consecutive"), (0, 0))
        self.assertEqual(judge(p, solution_xml({"a": 0, "b": 2, "c": 4})).units("Consecutive"), (1, 0))
        # Listed order a, b, c but held b, a, c: neither neighbour follows.
        self.assertEqual(judge(p, solution_xml({"a": 1, "b": 0, "c": 3})).units("Consecutive"), (2, 0))
        # An unplaced lesson drops out: a then c must follow directly.
        self.assertEqual(judge(p, solution_xml({"a": 0, "b": None, "c": 2})).units("Consecutive"), (0, 0))

    def test_consecutive_unordered_and_over_the_end_of_a_day(self):
        shapes = [("a", 2, "A", "C"), ("b", 1, "A", "C")]
        p = lesson_rules(listed("Consecutive", "ab", ' ordered="no"'), *shapes)
        self.assertEqual(judge(p, solution_xml({"a": 1, "b": 0})).units("Consecutive"), (0, 0))
        # a ends the first day at slot 4, where b starts the second day: not the same day.
        self.assertEqual(judge(p, solution_xml({"a": 2, "b": 4})).units("Consecutive"), (1, 0))

    def test_daily_limit_per_week(self):
        shapes = [("a", 2, "A", "C"), ("e", 1, "E", "C"), ("o", 1, "O", "C")]
        p = lesson_rules(listed("DailyLimit", "aeo", ' slots="2"'), *shapes, slots=6)
        # Day 1: even week 2 + 1 = 3 (1 above), odd week 2 (o is on day 2).
        self.assertEqual(judge(p, solution_xml({"a": 0, "e": 2, "o": 6})).units("DailyLimit"), (1, 0))
        # A lesson's whole length counts on its start day; each week on its own.
        self.assertEqual(judge(p, solution_xml({"a": 0, "e": 2, "o": 3})).units("DailyLimit"), (2, 0))

    def test_last_of_day(self):
        shapes = [("last", 1, "A", "C"), ("later", 1, "E", "C"), ("odd", 1, "O", "C"), ("other", 1, "A", "D")]
        p = lesson_rules(listed("LastOfDay", ["last"]), *shapes, classes=("C", "D"))
        # A lesson of the class in the even week after it: not last.
        self.assertEqual(judge(p, solution_xml({"last": 1, "later": 2, "odd": 0, "other": 3})).units("LastOfDay"),
                         (1, 0))
        # Before it, on another day, or of another class: still last.
        self.assertEqual(judge(p, solution_xml({"last": 1, "later": 0, "odd": 4, "other": 3})).units("LastOfDay"),
                         (0, 0))
        # An odd-week listed lesson shares no week with an even-week one after it.
        p = lesson_rules(listed("LastOfDay", ["odd"]), *shapes, classes=("C", "D"))
        self.assertEqual(judge(p, solution_xml({"last": 0, "later": 3, "odd": 1, "other": 2})).units("LastOfDay"),
                         (0, 0))

    def test_last_of_day_looks_at_classes_only(self):
        # "first" needs C and T; a later lesson of T alone, or of a room, is no concern.
        resources = {"Classes": ['<Resource id="C"/>'], "Teachers": ['<Resource id="T"/>']}
        acts = [("first", 1, "A", "<Resource>C</Resource><Resource>T</Resource>"),
                ("teacher", 1, "A", "<Resource>T</Resource>"),
                ("class", 1, "A", '<Group conjunctive="yes"><Resource>C</Resource></Group>')]
        p = problem_xml(1, 4, resources, acts, listed("LastOfDay", ["first"], ' score="0"'))
        verdict = judge(p, solution_xml({"first": 0, "teacher": 1, "class": None}))
        self.assertEqual(verdict.units("LastOfDay"), (0, 0))
        verdict = judge(p, solution_xml({"first": 0, "teacher": 1, "class": 3}))
        self.assertEqual(verdict.units("LastOfDay"), (0, 1))
        self.assertEqual(verdict.cost(), 0)  # a score of 0 costs nothing


class Program(unittest.TestCase):
    def run_files(self, problem, solution, *flags):
        with tempfile.TemporaryDirectory() as folder:
            paths = [os.path.join(folder, name) for name in ("p.xml", "s.xml")]
            for path, text in zip(paths, (problem, solution)):
                with open(path, "w") as f:
                    f.write(text)
            out, err = io.StringIO(), io.StringIO()
            real, sys.stderr = sys.stderr, err
            try:
                return check_rules.main(list(flags) + paths, out), out.getvalue()
            finally:
                sys.stderr = real

    def test_exit_status_and_report(self):
        p = problem_xml(1, 4, teacher('<MaxPerDay>1</MaxPerDay><MaxConsecutive score="3">1</MaxConsecutive>'),
                        lessons(("a", 1, "A"), ("b", 1, "E")))
        status, text = self.run_files(p, solution_xml({"a": 0, "b": 2}))
        self.assertEqual(status, 1)
        self.assertIn("broken: MaxPerDay 1 on T: day 1, even week: 2 busy slots (1 unit)", text)
        status, text = self.run_files(p, solution_xml({"a": 0, "b": 1}), "--all")
        self.assertEqual(status, 1)
        self.assertIn("MaxConsecutive: 1 rules, 0 hard breaches (0 units), soft 1 units costing 3", text)
        self.assertIn("soft: MaxConsecutive 1 on T score 3: day 1, even week", text)
        status, _ = self.run_files(p, solution_xml({"a": 0, "b": None}))
        self.assertEqual(status, 0)

    def test_problems_the_format_refuses(self):
        rooms = {"Classrooms": ['<Resource id="R1"><MaxPerDay>1</MaxPerDay></Resource>', '<Resource id="R2"/>']}
        acts = [("a", 1, "A", "<Group><Resource>R1</Resource><Resource>R2</Resource></Group>")]
        refused = [problem_xml(1, 4, rooms, acts),  # a rule on a member of a group
                   problem_xml(1, 4, teacher(""), lessons(("a", 1, "A")), listed("SameDay", ["a", "x"])),
                   problem_xml(1, 4, teacher(""), lessons(("a", 1, "A")), listed("SameDay", ["a", "a"])),
                   problem_xml(1, 4, teacher(""), lessons(("a", 1, "A")), listed("SameDay", ["a"])),
                   problem_xml(1, 4, teacher(""), lessons(("a", 1, "A"), ("b", 1, "A")),
                               listed("DailyLimit", ["a", "b"])),
                   problem_xml(2, 4, teacher("<MinDays>3</MinDays>"), lessons(("a", 1, "A")))]
        for problem in refused:
            status, _ = self.run_files(problem, solution_xml({"a": 0}))
            self.assertEqual(status, 2, problem)

    def test_timetable_naming_an_activity_twice(self):
        p = problem_xml(1, 4, teacher(""), lessons(("a", 1, "A")))
        status, _ = self.run_files(p, solution_xml({"a": 0}).replace("</Solution>", '<Activity id="a"/></Solution>'))
        self.assertEqual(status, 2)

    def test_usage(self):
        err = io.StringIO()
        real, sys.stderr = sys.stderr, err
        try:
            self.assertEqual(check_rules.main(["only-one.xml"]), 2)
        finally:
            sys.stderr = real
        self.assertIn("usage:", err.getvalue())


class DrawnSchool(unittest.TestCase):
    """make_rules_school.py: its drawn timetable keeps every rule it writes."""

    def draw(self, folder, *flags, hash_seed="0"):
        problem, solution = os.path.join(folder, "p.xml"), os.path.join(folder, "s.xml")
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "make_rules_school.py")
        env = dict(os.environ, PYTHONHASHSEED=hash_seed)
        subprocess.run([sys.executable, script, *flags, "--solution", solution, "-o", problem],
                       check=True, env=env, stderr=subprocess.DEVNULL)
        with open(problem) as f, open(solution) as g:
            return problem, solution, f.read(), g.read()

    def test_drawn_timetable_keeps_every_rule_of_every_kind(self):
        with tempfile.TemporaryDirectory() as folder:
            problem, solution, _, _ = self.draw(folder, "5", "--lessons", "300")
            parsed, timetable, verdict = check_rules.judge_files(problem, solution)
            self.assertEqual(len(timetable.placed), len(parsed.activities))
            self.assertEqual((verdict.hard_breaches(), verdict.cost()), (0, 0))
            kinds = {rule.kind for rule in parsed.rules}
            self.assertEqual(kinds, set(check_rules.RESOURCE_RULES + check_rules.ACTIVITY_RULES))
            self.assertTrue(any(not rule.hard() for rule in parsed.rules))
            self.assertTrue(any(rule.kind == "DifferentDays" and rule.value > 1 for rule in parsed.rules))
            self.assertTrue(any(rule.kind == "Consecutive" and not rule.value for rule in parsed.rules))

    def test_same_school_whatever_the_hash_seed_and_without_rules(self):
        with tempfile.TemporaryDirectory() as folder:
            _, _, first, planted = self.draw(folder, "3", "--lessons", "300", hash_seed="1")
            _, _, again, planted_again = self.draw(folder, "3", "--lessons", "300", hash_seed="2")
            _, _, plain, planted_plain = self.draw(folder, "3", "--lessons", "300", "--no-rules")
        self.assertEqual((first, planted), (again, planted_again))
        self.assertEqual(planted, planted_plain)
        self.assertNotIn("ActivityRules", plain)
        self.assertNotIn("<MaxPerDay", plain)


if __name__ == "__main__":
    unittest.main()
